// The lexer's token actions: number conversions, name classification through
// the parse context, and string literals (short ones in the value record, long
// ones on the heap).
#pragma once

#include <cstdint>

#include "engine/kernel/Parser/token_value.h"

namespace parser {
class context;
}

namespace parser::lex {

// Token number for a text the grammar does not know: it makes the parse stop
// with a syntax error that names the text.
constexpr int refused_token = 257;

// Decimal integer text ("-" and digits); out-of-range values saturate.
int32_t decimal(const char* text);
// "0x" hexadecimal text, accumulated in 32 bits so that it wraps; "-" negates.
int32_t hexadecimal(const char* text);
// Decimal text with a point, converted as a double and narrowed to float.
float decimal_float(const char* text);
// A visible variable's token (323 + its type code) with the variable, or
// TOK_IDENTIFIER with the name copied. Names longer than 63 characters do not
// fit the value record and are refused.
int name(context* ctx, const char* text, int length, token_value* value);
// The line feeds in a matched text (a carriage return alone ends no line).
int line_feeds(const char* text, int length);
// A quoted literal, quotes included in text and length.
int string_literal(const char* text, int length, token_value* value);

} // namespace parser::lex
