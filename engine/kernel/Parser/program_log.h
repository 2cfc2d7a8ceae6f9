// Where the records of the script language and of the settings reader say they
// come from: the source module each names and the fixed lines some carry. The
// texts and numbers are those of the game's own records, kept byte for byte.
#pragma once

#include "engine/kernel/log_record.h"

namespace parser {

// Every variable, statement, context, walk and unit loading message.
constexpr const char* nodes_module = "engine/kernel/Parser/ParserNodes";
// The syntax error record of the grammar.
constexpr const char* grammar_module = "engine/kernel/Parser/parser_y";
// The settings reader's record of a game.ini that cannot be parsed.
constexpr const char* settings_module = "engine/game/gameini_parser";

// The syntax error record names the line of the generated parser's error call,
// not a line of this source tree.
constexpr int syntax_error_line = 3990;
// The unparsable game.ini record names the line of the reader's load function
// in the game's build, not a line of this source tree.
constexpr int unparsable_settings_line = 47;

inline Log::Where nodes_where(int line, const char* function) { return Log::Where { nodes_module, line, function }; }

} // namespace parser
