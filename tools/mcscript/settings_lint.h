// "mcscript settings": the game.ini record as the host builds it, and warnings
// at the statements the host passes over or reads otherwise than written
// (names close to a key, arguments of another type, TitleId text that is not
// wholly hexadecimal). The game's own reading does not change.
#pragma once

#include <string>

#include "engine/kernel/Parser/diagnostics.h"

namespace parser {
class subtree;
namespace diag {
class statement_positions;
}
} // namespace parser

namespace mcscript {

// Adds a warning to out for each problem of the settings reached from main:
// directly, through calls, in both branches of each if/else and in
// "SkuOverride" sections. positions holds the statements of main's parse.
void lint_settings(parser::subtree& main, const parser::diag::statement_positions& positions, parser::diag::sink& out);

struct settings_result {
    int status = 0; // 0, or 1 when the file is missing or fails, the host's walk stops, or (strict) a warning
    std::string record; // the record's lines, for standard output
    parser::diag::sink diagnostics; // the parse's and the lint's, for standard error
};

// Reads file as the host does and lints it.
settings_result run_settings(const std::string& file, bool strict);

} // namespace mcscript
