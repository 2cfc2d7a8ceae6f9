// The reentrant scanner's entry points, as flex generates them from lexer.l:
// the unit loader and the grammar drive the lexer through these.
#pragma once

#include <cstddef>

#include "engine/kernel/Parser/token_value.h"

namespace parser {
class context;
}

typedef void* yyscan_t;
struct yy_buffer_state;

int yylex_init(yyscan_t* scanner);
int yylex_destroy(yyscan_t scanner);
void yyset_extra(parser::context* extra, yyscan_t scanner);
void yyset_lineno(int line, yyscan_t scanner);
int yyget_lineno(yyscan_t scanner);
char* yyget_text(yyscan_t scanner);
yy_buffer_state* yy_scan_buffer(char* base, size_t size, yyscan_t scanner);
parser::context* yyget_extra(yyscan_t scanner);
// The next token: the automaton's, or a refused token once an expression has
// nested too deep (the parse then stops with a syntax error).
int yylex(parser::token_value* value, yyscan_t scanner);
