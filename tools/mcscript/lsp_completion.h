// What a completion at a place in a script should offer, read from the text
// before the cursor (while a line is being typed the parse has usually
// stopped at it, so the tokens are no help there).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mcscript::lsp {

enum class completion_kind {
    none, // inside a comment or a string
    subtree, // the name after 'call' (or 'use')
    argument, // a parameter name inside a call's parentheses
    expression, // anywhere else: variables and built-in functions
};

struct completion_context {
    completion_kind kind = completion_kind::expression;
    std::string call; // the subtree whose parentheses the cursor is in
    std::string prefix; // the part of a name already typed
};

completion_context completion_at(std::string_view text, uint32_t offset);

// Whether offset is where a statement of subtree main, or of a "SkuOverride"
// section in it, starts (conditionals on the way count as their block): the
// places a settings file's keys are written.
bool at_settings_statement(std::string_view text, uint32_t offset);

} // namespace mcscript::lsp
