// mcscript lsp: a Language Server Protocol server over standard input and
// output. It parses each open document as the game does and answers with the
// tool's own diagnostics, hovers, definitions, completions and symbols.
#pragma once

#include <cstdio>

namespace parser {
class extern_interface;
}

namespace mcscript::lsp {

// Serves until the client's exit notification or the end of the input.
// Returns the exit status: 0 after a shutdown request, 1 without one. With
// settings_everywhere every document is read as a settings file (game.ini).
int serve(std::FILE* in, std::FILE* out, parser::extern_interface* externs, const char* version,
    bool settings_everywhere = false);

} // namespace mcscript::lsp
