/* The script grammar: an LALR(1) automaton whose actions build typed nodes
   straight from the node pool and call the parse context to declare names and
   open and close blocks. One expression symbol per value type, so a type
   mismatch is a syntax error. */
%require "3.8"
%define api.pure full
%define api.value.type {parser::token_value}
%define parse.error custom
%lex-param {yyscan_t scanner}
%parse-param {yyscan_t scanner} {parser::context* ctx} {void* environment}

%code requires {
#include "engine/kernel/Parser/source_span.h"
#include "engine/kernel/Parser/token_value.h"
namespace parser {
class context;
}
typedef void* yyscan_t;
}

%code {
#include <vector>

#include "engine/kernel/Parser/grammar_actions.h"

using namespace parser;
using namespace parser::grammar;

#include "engine/kernel/Parser/front_end_trace.h"
#include "engine/kernel/Parser/scanner.h"

/* Stack exhaustion: the syntax error record, as for any other syntax error. */
static void yyerror(yyscan_t scanner, parser::context* ctx, void*, const char* message)
{
    parser::grammar::report_syntax_error(scanner, message);
    if (ctx->trace) {
        parser::diag::syntax_report report;
        report.stack_exhausted = true;
        ctx->trace->syntax_error(report, *ctx);
    }
}

/* The construct an action hands to the context, for its diagnostics, taken
   from the trace's recent tokens (the automaton keeps no positions): back 0
   is the token the rule shifted last, 1 the one before it. lookahead is
   bison's yychar, which says whether the next token was read already. */
static inline void at_token(parser::context* ctx, int lookahead, uint32_t back)
{
    if (ctx->trace)
        ctx->here = ctx->trace->shifted(lookahead != YYEMPTY, back);
}

/* A declaration from its type word through the token shifted back tokens ago. */
static inline void at_declaration(parser::context* ctx, int lookahead, uint32_t back)
{
    if (ctx->trace)
        ctx->here = ctx->trace->declaration_through(ctx->trace->shifted(lookahead != YYEMPTY, back));
}

/* A named argument, at its name: the last name read, as an expression
   reads no names of its own (its variables are tokens of their own). */
static inline void at_last_name(parser::context* ctx)
{
    if (ctx->trace)
        ctx->here = ctx->trace->last_name();
}

/* The name a declaration declares. */
static inline void at_declared_name(parser::context* ctx)
{
    if (ctx->trace)
        ctx->here = ctx->trace->declared_name();
}

/* A name was just read: the trace keeps where, and after a type word it is
   the name a declaration declares (an extern's key and a named argument
   follow other tokens). */
static inline void name_read(parser::context* ctx, int lookahead)
{
    if (!ctx->trace)
        return;
    bool read = lookahead != YYEMPTY;
    ctx->trace->name_read(ctx->trace->shifted(read, 0));
    int before = ctx->trace->shifted_number(read, 1);
    if (before >= TOK_BOOL && before <= TOK_STRING)
        ctx->trace->declaration_started(ctx->trace->shifted(read, 1), ctx->trace->shifted(read, 0));
}
}

%token TOK_IMPORT 258 TOK_SUB 259 TOK_CALL 260 TOK_IF 261 TOK_ELSEIF 262 TOK_ELSE 263
%token TOK_EXTERN 264 TOK_EXPORT 265 TOK_MODIFIED 266 TOK_EMPTY 267
%token TOK_BOOL 268 TOK_INT 269 TOK_FLOAT 270 TOK_VEC3 271 TOK_VEC4 272 TOK_MTX 273 TOK_STRING 274
%token TOK_XYZW 275 TOK_XYZ 276 TOK_X 277 TOK_Y 278 TOK_Z 279 TOK_W 280
%token TOK_EQ 281 TOK_NE 282 TOK_LE 283 TOK_GE 284 TOK_OR 285 TOK_AND 286
%token TOK_SIN 287 TOK_COS 288 TOK_TAN 289 TOK_LOG 290 TOK_LN 291 TOK_EXP 292 TOK_POW 293
%token TOK_MOD 294 TOK_MIN 295 TOK_MAX 296 TOK_ABS 297 TOK_CLAMP 298 TOK_FLOOR 299 TOK_CEIL 300
%token TOK_SCALE 301 TOK_ROTATE 302 TOK_TRANSLATE 303 TOK_ORIENT 304 TOK_TRANSPOSE 305
%token TOK_INVERT 306 TOK_DOT 307 TOK_CROSS 308 TOK_NORMALIZE 309 TOK_LENGTH 310 TOK_DIST 311
%token TOK_DIST2 312 TOK_MUL 313 TOK_MULV 314 TOK_MULP 315 TOK_SUBSTR 316 TOK_LOWERCASE 317
%token TOK_UPPERCASE 318
%token <b> TOK_BOOL_CONST 319
%token <i> TOK_INT_CONST 320
%token <f> TOK_FLOAT_CONST 321
%token <text> TOK_IDENTIFIER 322
%token <eb> TOK_BOOL_VAR 323
%token <ei> TOK_INT_VAR 324
%token <ef> TOK_FLOAT_VAR 325
%token <e3> TOK_VEC3_VAR 326
%token <e4> TOK_VEC4_VAR 327
%token <em> TOK_MTX44_VAR 328
%token <es> TOK_STRING_VAR 329
%token <text> TOK_STRING_CONST 330
%token <long_string> TOK_LONG_STRING_CONST 331

%type <modifiers> modifiers
%type <text> name
%type <declared> var_def extern_def
%type <ei> opt_index
%type <function> function_stmt
%type <eb> bool_expr
%type <ei> int_expr
%type <ef> float_expr
%type <e3> vec3_expr
%type <e4> vec4_expr
%type <em> mtx_expr
%type <es> string_expr
%type <any> any_expr

/* What a parse abandoned at an error still holds is released. */
%destructor { release_node($$); } <eb> <ei> <ef> <e3> <e4> <em> <es> <any>
%destructor { release_variable($$); } <declared>
%destructor { delete $$; } <long_string>

/* Loosest to tightest. */
%precedence '?' ':'
%left TOK_OR TOK_AND
%precedence '!'
%precedence TOK_EQ TOK_NE '<' '>' TOK_LE TOK_GE
%left '|' '&' '^'
%precedence '~'
%left '+' '-'
%left '*' '/' '%'
%precedence TOK_X TOK_Y TOK_Z TOK_W TOK_XYZ TOK_XYZW

%start script

%%

script: import_list item_list ;

import_list: %empty | import_list import ;

import
    : TOK_IMPORT TOK_STRING_CONST       { at_token(ctx, yychar, 0); ctx->import($2, environment); }
    | TOK_IMPORT TOK_LONG_STRING_CONST  { at_token(ctx, yychar, 0); ctx->import(long_text($2), environment); delete $2; }
    ;

item_list: %empty | item_list item ;

item: declaration | subtree_def ;

/* ---- declarations ---- */

declaration
    : modifiers var_def ';'                 { at_declaration(ctx, yychar, 1); declare_plain(ctx, $2, $1); }
    | TOK_EXTERN modifiers extern_def ';'   { finish_extern($3, $2); }
    ;

modifiers
    : %empty                 { $$ = 0; }
    | modifiers export_word  { $$ = $1 | export_bit; }
    ;

export_word: TOK_EXPORT ;

name
    : TOK_IDENTIFIER  { copy_text($$, $1); name_read(ctx, yychar); }
    | TOK_BOOL_VAR    { variable_name($$, $1); name_read(ctx, yychar); }
    | TOK_INT_VAR     { variable_name($$, $1); name_read(ctx, yychar); }
    | TOK_FLOAT_VAR   { variable_name($$, $1); name_read(ctx, yychar); }
    | TOK_VEC3_VAR    { variable_name($$, $1); name_read(ctx, yychar); }
    | TOK_VEC4_VAR    { variable_name($$, $1); name_read(ctx, yychar); }
    | TOK_MTX44_VAR   { variable_name($$, $1); name_read(ctx, yychar); }
    | TOK_STRING_VAR  { variable_name($$, $1); name_read(ctx, yychar); }
    ;

var_def
    : TOK_BOOL name '=' bool_expr      { $$ = make_var($2, $4); }
    | TOK_INT name '=' int_expr        { $$ = make_var($2, $4); }
    | TOK_FLOAT name '=' float_expr    { $$ = make_var($2, $4); }
    | TOK_VEC3 name '=' vec3_expr      { $$ = make_var($2, $4); }
    | TOK_VEC4 name '=' vec4_expr      { $$ = make_var($2, $4); }
    | TOK_MTX name '=' mtx_expr        { $$ = make_var($2, $4); }
    | TOK_STRING name '=' string_expr  { $$ = make_var($2, $4); }
    ;

extern_def
    : TOK_BOOL name                        { at_declared_name(ctx); $$ = add_extern<B>(ctx, $2, $2, {}); }
    | TOK_BOOL name '=' name opt_index     { at_declared_name(ctx); $$ = add_extern<B>(ctx, $2, $4, $5); }
    | TOK_INT name                         { at_declared_name(ctx); $$ = add_extern<I>(ctx, $2, $2, {}); }
    | TOK_INT name '=' name opt_index      { at_declared_name(ctx); $$ = add_extern<I>(ctx, $2, $4, $5); }
    | TOK_FLOAT name                       { at_declared_name(ctx); $$ = add_extern<F>(ctx, $2, $2, {}); }
    | TOK_FLOAT name '=' name opt_index    { at_declared_name(ctx); $$ = add_extern<F>(ctx, $2, $4, $5); }
    | TOK_VEC3 name                        { at_declared_name(ctx); $$ = add_extern<V3>(ctx, $2, $2, {}); }
    | TOK_VEC3 name '=' name opt_index     { at_declared_name(ctx); $$ = add_extern<V3>(ctx, $2, $4, $5); }
    | TOK_VEC4 name                        { at_declared_name(ctx); $$ = add_extern<V4>(ctx, $2, $2, {}); }
    | TOK_VEC4 name '=' name opt_index     { at_declared_name(ctx); $$ = add_extern<V4>(ctx, $2, $4, $5); }
    | TOK_MTX name                         { at_declared_name(ctx); $$ = add_extern<M>(ctx, $2, $2, {}); }
    | TOK_MTX name '=' name opt_index      { at_declared_name(ctx); $$ = add_extern<M>(ctx, $2, $4, $5); }
    | TOK_STRING name                      { at_declared_name(ctx); $$ = add_extern<S>(ctx, $2, $2, {}); }
    | TOK_STRING name '=' name opt_index   { at_declared_name(ctx); $$ = add_extern<S>(ctx, $2, $4, $5); }
    ;

opt_index
    : %empty    { $$ = {}; }
    | int_expr  { $$ = $1; }
    ;

/* ---- subtrees ---- */

subtree_def
    : TOK_SUB TOK_IDENTIFIER '('  { at_token(ctx, yychar, 1); begin_subtree(ctx, $2); }
      param_list ')' '{' statement_list '}'  { end_subtree(ctx, environment); }
    ;

param_list
    : %empty
    | var_def                 { at_declaration(ctx, yychar, 0); declare_param(ctx, $1); }
    | param_list ',' var_def  { at_declaration(ctx, yychar, 0); declare_param(ctx, $3); }
    ;

/* ---- statements ---- */

statement_list: %empty | statement_list statement ;

statement
    : declaration
    | call_stmt
    | if_stmt
    | function_stmt ';'
    | function_stmt '{'  { at_token(ctx, yychar, 0); open_body(ctx, $1); }  statement_list '}'  { end_block(ctx); }
    | function_stmt '=' TOK_STRING_CONST       { set_text(ctx, $3); }
    | function_stmt '=' TOK_LONG_STRING_CONST  { set_text(ctx, long_text($3)); delete $3; }
    ;

function_stmt
    : TOK_IDENTIFIER '('  { at_token(ctx, yychar, 1); ctx->begin_function($1); }  arg_list ')'  { $$ = ctx->current_function; }
    ;

arg_list: %empty | arg | arg_list ',' arg ;

arg: any_expr  { ctx->add_argument($1); } ;

call_stmt
    : TOK_CALL TOK_IDENTIFIER  { at_token(ctx, yychar, 0); ctx->begin_call($2); }  '(' named_arg_list ')' ';'
    ;

named_arg_list: %empty | named_arg | named_arg_list ',' named_arg ;

named_arg
    : name '=' bool_expr    { at_last_name(ctx); add_named_argument(ctx, $1, $3); }
    | name '=' int_expr     { at_last_name(ctx); add_named_argument(ctx, $1, $3); }
    | name '=' float_expr   { at_last_name(ctx); add_named_argument(ctx, $1, $3); }
    | name '=' vec3_expr    { at_last_name(ctx); add_named_argument(ctx, $1, $3); }
    | name '=' vec4_expr    { at_last_name(ctx); add_named_argument(ctx, $1, $3); }
    | name '=' mtx_expr     { at_last_name(ctx); add_named_argument(ctx, $1, $3); }
    | name '=' string_expr  { at_last_name(ctx); add_named_argument(ctx, $1, $3); }
    ;

if_stmt
    : TOK_IF '(' bool_expr ')' '{'  { at_token(ctx, yychar, 0); ctx->begin_if($3.node); $3 = {}; }
      statement_list '}'  { end_block(ctx); }  else_part
    ;

else_part
    : %empty
    | TOK_ELSE '{'  { at_token(ctx, yychar, 0); ctx->begin_else(); }  statement_list '}'  { end_block(ctx); }
    | TOK_ELSE  { at_token(ctx, yychar, 0); ctx->begin_else(); }  if_stmt  { end_block(ctx); }
    ;

/* ---- expressions ---- */

any_expr
    : bool_expr    { $$ = $1.node; }
    | int_expr     { $$ = $1.node; }
    | float_expr   { $$ = $1.node; }
    | vec3_expr    { $$ = $1.node; }
    | vec4_expr    { $$ = $1.node; }
    | mtx_expr     { $$ = $1.node; }
    | string_expr  { $$ = $1.node; }
    ;

bool_expr
    : TOK_BOOL_CONST                    { $$ = constant<B>($1); }
    | TOK_BOOL_VAR                      { $$ = $1; }
    | int_expr TOK_EQ int_expr          { $$ = op2<OP_equal, B, I, I>($1, $3); }
    | int_expr TOK_NE int_expr          { $$ = op2<OP_notequal, B, I, I>($1, $3); }
    | int_expr TOK_LE int_expr          { $$ = op2<OP_lequal, B, I, I>($1, $3); }
    | int_expr TOK_GE int_expr          { $$ = op2<OP_gequal, B, I, I>($1, $3); }
    | int_expr '<' int_expr             { $$ = op2<OP_less, B, I, I>($1, $3); }
    | int_expr '>' int_expr             { $$ = op2<OP_greater, B, I, I>($1, $3); }
    | float_expr TOK_EQ float_expr      { $$ = op2<OP_equal, B, F, F>($1, $3); }
    | float_expr TOK_NE float_expr      { $$ = op2<OP_notequal, B, F, F>($1, $3); }
    | float_expr TOK_LE float_expr      { $$ = op2<OP_lequal, B, F, F>($1, $3); }
    | float_expr TOK_GE float_expr      { $$ = op2<OP_gequal, B, F, F>($1, $3); }
    | float_expr '<' float_expr         { $$ = op2<OP_less, B, F, F>($1, $3); }
    | float_expr '>' float_expr         { $$ = op2<OP_greater, B, F, F>($1, $3); }
    | float_expr TOK_EQ int_expr        { $$ = op2<OP_equal, B, F, I>($1, $3); }
    | float_expr TOK_NE int_expr        { $$ = op2<OP_notequal, B, F, I>($1, $3); }
    | float_expr TOK_LE int_expr        { $$ = op2<OP_lequal, B, F, I>($1, $3); }
    | float_expr TOK_GE int_expr        { $$ = op2<OP_gequal, B, F, I>($1, $3); }
    | float_expr '<' int_expr           { $$ = op2<OP_less, B, F, I>($1, $3); }
    | float_expr '>' int_expr           { $$ = op2<OP_greater, B, F, I>($1, $3); }
    | string_expr TOK_EQ string_expr    { $$ = op2<OP_equal, B, S, S>($1, $3); }
    | string_expr TOK_NE string_expr    { $$ = op2<OP_notequal, B, S, S>($1, $3); }
    | bool_expr TOK_AND bool_expr       { $$ = op2<OP_and, B, B, B>($1, $3); }
    | bool_expr TOK_OR bool_expr        { $$ = op2<OP_or, B, B, B>($1, $3); }
    | '!' bool_expr                     { $$ = op1<OP_not, B, B>($2); }
    | '!' int_expr %prec '!'            { $$ = op1<OP_not, B, I>($2); }
    | TOK_SUBSTR '(' string_expr ',' string_expr ')'  { $$ = op2<OP_substr, B, S, S>($3, $5); }
    | TOK_EMPTY '(' string_expr ')'     { $$ = op1<OP_empty, B, S>($3); }
    | '(' bool_expr ')'                 { $$ = $2; }
    ;

int_expr
    : TOK_INT_CONST                     { $$ = constant<I>($1); }
    | TOK_INT_VAR                       { $$ = $1; }
    | int_expr '+' int_expr             { $$ = op2<OP_add, I, I, I>($1, $3); }
    | int_expr '-' int_expr             { $$ = op2<OP_sub, I, I, I>($1, $3); }
    | int_expr '*' int_expr             { $$ = op2<OP_mul, I, I, I>($1, $3); }
    | int_expr '/' int_expr             { $$ = op2<OP_div, I, I, I>($1, $3); }
    | int_expr '%' int_expr             { $$ = op2<OP_mod, I, I, I>($1, $3); }
    | int_expr '&' int_expr             { $$ = op2<OP_and, I, I, I>($1, $3); }
    | int_expr '|' int_expr             { $$ = op2<OP_or, I, I, I>($1, $3); }
    | int_expr '^' int_expr             { $$ = op2<OP_xor, I, I, I>($1, $3); }
    | '-' int_expr %prec '-'            { $$ = op1<OP_neg, I, I>($2); }
    | '~' int_expr                      { $$ = op1<OP_not, I, I>($2); }
    | bool_expr '?' int_expr ':' int_expr  { $$ = select<I>($1, $3, $5); }
    | TOK_MIN '(' int_expr ',' int_expr ')'  { $$ = op2<OP_min, I, I, I>($3, $5); }
    | TOK_MAX '(' int_expr ',' int_expr ')'  { $$ = op2<OP_max, I, I, I>($3, $5); }
    | TOK_CLAMP '(' int_expr ')'        { $$ = op1<OP_clamp, I, I>($3); }
    | TOK_ABS '(' int_expr ')'          { $$ = op1<OP_abs, I, I>($3); }
    | TOK_INT '(' float_expr ')'        { $$ = op1<OP_int, I, F>($3); }
    | '(' int_expr ')'                  { $$ = $2; }
    ;

float_expr
    : TOK_FLOAT_CONST                   { $$ = constant<F>($1); }
    | TOK_FLOAT_VAR                     { $$ = $1; }
    | float_expr '+' float_expr         { $$ = op2<OP_add, F, F, F>($1, $3); }
    | float_expr '-' float_expr         { $$ = op2<OP_sub, F, F, F>($1, $3); }
    | float_expr '*' float_expr         { $$ = op2<OP_mul, F, F, F>($1, $3); }
    | float_expr '/' float_expr         { $$ = op2<OP_div, F, F, F>($1, $3); }
    | float_expr '+' int_expr           { $$ = op2<OP_add, F, F, I>($1, $3); }
    | float_expr '-' int_expr           { $$ = op2<OP_sub, F, F, I>($1, $3); }
    | float_expr '*' int_expr           { $$ = op2<OP_mul, F, F, I>($1, $3); }
    | float_expr '/' int_expr           { $$ = op2<OP_div, F, F, I>($1, $3); }
    | int_expr '+' float_expr           { $$ = op2<OP_add, F, I, F>($1, $3); }
    | int_expr '-' float_expr           { $$ = op2<OP_sub, F, I, F>($1, $3); }
    | int_expr '*' float_expr           { $$ = op2<OP_mul, F, I, F>($1, $3); }
    | int_expr '/' float_expr           { $$ = op2<OP_div, F, I, F>($1, $3); }
    | '-' float_expr %prec '-'          { $$ = op1<OP_neg, F, F>($2); }
    | bool_expr '?' float_expr ':' float_expr  { $$ = select<F>($1, $3, $5); }
    | TOK_POW '(' float_expr ',' float_expr ')'  { $$ = op2<OP_pow, F, F, F>($3, $5); }
    | TOK_POW '(' float_expr ',' int_expr ')'    { $$ = op2<OP_pow, F, F, I>($3, $5); }
    | TOK_POW '(' int_expr ',' float_expr ')'    { $$ = op2<OP_pow, F, I, F>($3, $5); }
    | TOK_MOD '(' float_expr ',' float_expr ')'  { $$ = op2<OP_mod, F, F, F>($3, $5); }
    | TOK_MOD '(' float_expr ',' int_expr ')'    { $$ = op2<OP_mod, F, F, I>($3, $5); }
    | TOK_MIN '(' float_expr ',' float_expr ')'  { $$ = op2<OP_min, F, F, F>($3, $5); }
    | TOK_MAX '(' float_expr ',' float_expr ')'  { $$ = op2<OP_max, F, F, F>($3, $5); }
    | TOK_SIN '(' float_expr ')'        { $$ = op1<OP_sin, F, F>($3); }
    | TOK_COS '(' float_expr ')'        { $$ = op1<OP_cos, F, F>($3); }
    | TOK_TAN '(' float_expr ')'        { $$ = op1<OP_tan, F, F>($3); }
    | TOK_LOG '(' float_expr ')'        { $$ = op1<OP_log, F, F>($3); }
    | TOK_LN '(' float_expr ')'         { $$ = op1<OP_ln, F, F>($3); }
    | TOK_EXP '(' float_expr ')'        { $$ = op1<OP_exp, F, F>($3); }
    | TOK_CLAMP '(' float_expr ')'      { $$ = op1<OP_clamp, F, F>($3); }
    | TOK_ABS '(' float_expr ')'        { $$ = op1<OP_abs, F, F>($3); }
    | TOK_FLOOR '(' float_expr ')'      { $$ = op1<OP_floor, F, F>($3); }
    | TOK_CEIL '(' float_expr ')'       { $$ = op1<OP_ceil, F, F>($3); }
    | TOK_FLOAT '(' int_expr ')'        { $$ = op1<OP_float, F, I>($3); }
    | TOK_DOT '(' vec3_expr ',' vec3_expr ')'  { $$ = op2<OP_dot, F, V3, V3>($3, $5); }
    | TOK_DOT '(' vec4_expr ',' vec4_expr ')'  { $$ = op2<OP_dot, F, V4, V4>($3, $5); }
    | TOK_DOT '(' vec4_expr ',' vec3_expr ')'  { $$ = op2<OP_dot, F, V4, V3>($3, $5); }
    | TOK_DOT '(' vec3_expr ',' vec4_expr ')'  { $$ = op2<OP_dot, F, V3, V4>($3, $5); }
    | TOK_LENGTH '(' vec3_expr ')'      { $$ = op1<OP_length, F, V3>($3); }
    | TOK_DIST '(' vec3_expr ',' vec3_expr ')'   { $$ = op2<OP_dist, F, V3, V3>($3, $5); }
    | TOK_DIST2 '(' vec3_expr ',' vec3_expr ')'  { $$ = op2<OP_dist2, F, V3, V3>($3, $5); }
    | vec3_expr TOK_X                   { $$ = extract<F, V3>($1, 0); }
    | vec3_expr TOK_Y                   { $$ = extract<F, V3>($1, 1); }
    | vec3_expr TOK_Z                   { $$ = extract<F, V3>($1, 2); }
    | vec4_expr TOK_X                   { $$ = extract<F, V4>($1, 0); }
    | vec4_expr TOK_Y                   { $$ = extract<F, V4>($1, 1); }
    | vec4_expr TOK_Z                   { $$ = extract<F, V4>($1, 2); }
    | vec4_expr TOK_W                   { $$ = extract<F, V4>($1, 3); }
    | '(' float_expr ')'                { $$ = $2; }
    ;

vec3_expr
    : '[' float_expr ']'                { $$ = vec3_splat($2); }
    | '[' float_expr ',' float_expr ',' float_expr ']'  { $$ = vec3_of($2, $4, $6); }
    | TOK_VEC3_VAR                      { $$ = $1; }
    | vec3_expr '+' vec3_expr           { $$ = op2<OP_add, V3, V3, V3>($1, $3); }
    | vec3_expr '-' vec3_expr           { $$ = op2<OP_sub, V3, V3, V3>($1, $3); }
    | vec3_expr '*' vec3_expr           { $$ = op2<OP_mul, V3, V3, V3>($1, $3); }
    | vec3_expr '/' vec3_expr           { $$ = op2<OP_div, V3, V3, V3>($1, $3); }
    | vec3_expr '+' float_expr          { $$ = op2<OP_add, V3, V3, F>($1, $3); }
    | vec3_expr '-' float_expr          { $$ = op2<OP_sub, V3, V3, F>($1, $3); }
    | vec3_expr '*' float_expr          { $$ = op2<OP_mul, V3, V3, F>($1, $3); }
    | vec3_expr '/' float_expr          { $$ = op2<OP_div, V3, V3, F>($1, $3); }
    | '-' vec3_expr %prec '-'           { $$ = op1<OP_neg, V3, V3>($2); }
    | bool_expr '?' vec3_expr ':' vec3_expr  { $$ = select<V3>($1, $3, $5); }
    | TOK_POW '(' vec3_expr ',' vec3_expr ')'   { $$ = op2<OP_pow, V3, V3, V3>($3, $5); }
    | TOK_POW '(' vec3_expr ',' float_expr ')'  { $$ = op2<OP_pow, V3, V3, F>($3, $5); }
    | TOK_MIN '(' vec3_expr ',' vec3_expr ')'   { $$ = op2<OP_min, V3, V3, V3>($3, $5); }
    | TOK_MAX '(' vec3_expr ',' vec3_expr ')'   { $$ = op2<OP_max, V3, V3, V3>($3, $5); }
    | TOK_SIN '(' vec3_expr ')'         { $$ = op1<OP_sin, V3, V3>($3); }
    | TOK_COS '(' vec3_expr ')'         { $$ = op1<OP_cos, V3, V3>($3); }
    | TOK_TAN '(' vec3_expr ')'         { $$ = op1<OP_tan, V3, V3>($3); }
    | TOK_LOG '(' vec3_expr ')'         { $$ = op1<OP_log, V3, V3>($3); }
    | TOK_LN '(' vec3_expr ')'          { $$ = op1<OP_ln, V3, V3>($3); }
    | TOK_EXP '(' vec3_expr ')'         { $$ = op1<OP_exp, V3, V3>($3); }
    | TOK_CLAMP '(' vec3_expr ')'       { $$ = op1<OP_clamp, V3, V3>($3); }
    | TOK_ABS '(' vec3_expr ')'         { $$ = op1<OP_abs, V3, V3>($3); }
    | TOK_MULP '(' mtx_expr ',' vec3_expr ')'   { $$ = op2<OP_mulp, V3, M, V3>($3, $5); }
    | TOK_MULV '(' mtx_expr ',' vec3_expr ')'   { $$ = op2<OP_mulv, V3, M, V3>($3, $5); }
    | TOK_CROSS '(' vec3_expr ',' vec3_expr ')' { $$ = op2<OP_cross, V3, V3, V3>($3, $5); }
    | TOK_NORMALIZE '(' vec3_expr ')'   { $$ = op1<OP_normalize, V3, V3>($3); }
    | vec4_expr TOK_XYZ                 { $$ = extract<V3, V4>($1, 4); }
    | vec3_expr TOK_XYZ                 { $$ = $1; }
    | '(' vec3_expr ')'                 { $$ = $2; }
    ;

vec4_expr
    : '[' float_expr ',' float_expr ',' float_expr ',' float_expr ']'  { $$ = vec4_of($2, $4, $6, $8); }
    | '[' vec3_expr ',' float_expr ']'  { $$ = vec4_from($2, $4); }
    | TOK_VEC4_VAR                      { $$ = $1; }
    | vec4_expr '+' vec4_expr           { $$ = op2<OP_add, V4, V4, V4>($1, $3); }
    | vec4_expr '-' vec4_expr           { $$ = op2<OP_sub, V4, V4, V4>($1, $3); }
    | vec4_expr '*' vec4_expr           { $$ = op2<OP_mul, V4, V4, V4>($1, $3); }
    | vec4_expr '/' vec4_expr           { $$ = op2<OP_div, V4, V4, V4>($1, $3); }
    | vec4_expr '+' float_expr          { $$ = op2<OP_add, V4, V4, F>($1, $3); }
    | vec4_expr '-' float_expr          { $$ = op2<OP_sub, V4, V4, F>($1, $3); }
    | vec4_expr '*' float_expr          { $$ = op2<OP_mul, V4, V4, F>($1, $3); }
    | vec4_expr '/' float_expr          { $$ = op2<OP_div, V4, V4, F>($1, $3); }
    | '-' vec4_expr %prec '-'           { $$ = op1<OP_neg, V4, V4>($2); }
    | bool_expr '?' vec4_expr ':' vec4_expr  { $$ = select<V4>($1, $3, $5); }
    | TOK_POW '(' vec4_expr ',' vec4_expr ')'   { $$ = op2<OP_pow, V4, V4, V4>($3, $5); }
    | TOK_POW '(' vec4_expr ',' float_expr ')'  { $$ = op2<OP_pow, V4, V4, F>($3, $5); }
    | TOK_MIN '(' vec4_expr ',' vec4_expr ')'   { $$ = op2<OP_min, V4, V4, V4>($3, $5); }
    | TOK_MAX '(' vec4_expr ',' vec4_expr ')'   { $$ = op2<OP_max, V4, V4, V4>($3, $5); }
    | TOK_SIN '(' vec4_expr ')'         { $$ = op1<OP_sin, V4, V4>($3); }
    | TOK_COS '(' vec4_expr ')'         { $$ = op1<OP_cos, V4, V4>($3); }
    | TOK_TAN '(' vec4_expr ')'         { $$ = op1<OP_tan, V4, V4>($3); }
    | TOK_LOG '(' vec4_expr ')'         { $$ = op1<OP_log, V4, V4>($3); }
    | TOK_LN '(' vec4_expr ')'          { $$ = op1<OP_ln, V4, V4>($3); }
    | TOK_EXP '(' vec4_expr ')'         { $$ = op1<OP_exp, V4, V4>($3); }
    | TOK_CLAMP '(' vec4_expr ')'       { $$ = op1<OP_clamp, V4, V4>($3); }
    | TOK_ABS '(' vec4_expr ')'         { $$ = op1<OP_abs, V4, V4>($3); }
    | TOK_MUL '(' mtx_expr ',' vec4_expr ')'  { $$ = op2<OP_mulp, V4, M, V4>($3, $5); }
    | vec4_expr TOK_X '(' float_expr ')'  { $$ = op2<OP_replaceX, V4, V4, F>($1, $4); }
    | vec4_expr TOK_Y '(' float_expr ')'  { $$ = op2<OP_replaceY, V4, V4, F>($1, $4); }
    | vec4_expr TOK_Z '(' float_expr ')'  { $$ = op2<OP_replaceZ, V4, V4, F>($1, $4); }
    | vec4_expr TOK_W '(' float_expr ')'  { $$ = op2<OP_replaceW, V4, V4, F>($1, $4); }
    | vec4_expr TOK_XYZW                { $$ = $1; }
    | '(' vec4_expr ')'                 { $$ = $2; }
    ;

mtx_expr
    : TOK_MTX44_VAR                     { $$ = $1; }
    | mtx_expr '*' mtx_expr             { $$ = op2<OP_mul, M, M, M>($1, $3); }
    | TOK_SCALE '(' float_expr ')'      { $$ = op1<OP_scaling, M, F>($3); }
    | TOK_SCALE '(' float_expr ',' float_expr ',' float_expr ')'  { $$ = op3<OP_scaling, M, F, F, F>($3, $5, $7); }
    | TOK_SCALE '(' vec3_expr ')'       { $$ = op1<OP_scaling, M, V3>($3); }
    | TOK_ROTATE '(' vec3_expr ',' float_expr ')'  { $$ = op2<OP_rotation, M, V3, F>($3, $5); }
    | TOK_ROTATE '(' float_expr ',' float_expr ',' float_expr ')'  { $$ = op3<OP_rotation, M, F, F, F>($3, $5, $7); }
    | TOK_TRANSLATE '(' float_expr ',' float_expr ',' float_expr ')'  { $$ = op3<OP_translation, M, F, F, F>($3, $5, $7); }
    | TOK_TRANSLATE '(' vec3_expr ')'   { $$ = op1<OP_translation, M, V3>($3); }
    | TOK_ORIENT '(' vec3_expr ',' vec3_expr ')'  { $$ = op2<OP_orientation, M, V3, V3>($3, $5); }
    | TOK_TRANSPOSE '(' mtx_expr ')'    { $$ = op1<OP_transpose, M, M>($3); }
    | TOK_INVERT '(' mtx_expr ')'       { $$ = op1<OP_invert, M, M>($3); }
    | '(' mtx_expr ')'                  { $$ = $2; }
    ;

string_expr
    : TOK_STRING_CONST                  { $$ = string_constant($1); }
    | TOK_LONG_STRING_CONST             { $$ = long_string_constant($1); }
    | TOK_STRING_VAR                    { $$ = $1; }
    | string_expr '+' string_expr       { $$ = op2<OP_add, S, S, S>($1, $3); }
    | string_expr '+' int_expr          { $$ = op2<OP_add, S, S, I>($1, $3); }
    | int_expr '+' string_expr          { $$ = op2<OP_add, S, I, S>($1, $3); }
    | string_expr '+' float_expr        { $$ = op2<OP_add, S, S, F>($1, $3); }
    | float_expr '+' string_expr        { $$ = op2<OP_add, S, F, S>($1, $3); }
    | bool_expr '?' string_expr ':' string_expr  { $$ = select<S>($1, $3, $5); }
    | TOK_LOWERCASE '(' string_expr ')' { $$ = op1<OP_lowercase, S, S>($3); }
    | TOK_UPPERCASE '(' string_expr ')' { $$ = op1<OP_uppercase, S, S>($3); }
    ;

%%

/* What the grammar expected at a syntax error, read from its own tables: for
   each token, whether the automaton would shift it from the states on the
   stack after the reductions it calls for (the walk of bison's lookahead
   correction, made only when an error is reported). */

namespace {

using state_stack = std::vector<int>;

/* The states from the bottom (the initial state 0, which no symbol leads to)
   to the top. */
state_stack states_of(const yypcontext_t* yyctx)
{
    const yy_state_t* top = yyctx->yyssp;
    const yy_state_t* bottom = top;
    while (*bottom != 0)
        --bottom;
    return state_stack(bottom, top + 1);
}

int goto_state(int state, int lhs)
{
    int g = yypgoto[lhs - YYNTOKENS] + state;
    return 0 <= g && g <= YYLAST && yycheck[g] == state ? yytable[g] : yydefgoto[lhs - YYNTOKENS];
}

bool shifts(state_stack stack, yysymbol_kind_t token)
{
    for (int steps = 0; steps < 10000; ++steps) { // each loop reduces; a bound keeps a fault from hanging
        int state = stack.back();
        int rule = yydefact[state];
        int n = yypact[state];
        if (!yypact_value_is_default(n)) {
            n += token;
            if (0 <= n && n <= YYLAST && yycheck[n] == token) {
                int action = yytable[n];
                if (action > 0)
                    return true;
                if (yytable_value_is_error(action))
                    return false;
                rule = -action;
            }
        }
        if (rule == 0 || size_t(yyr2[rule]) >= stack.size())
            return false;
        stack.resize(stack.size() - size_t(yyr2[rule]));
        stack.push_back(goto_state(stack.back(), yyr1[rule]));
    }
    return false;
}

/* The token number the lexer returns for a token kind. */
int token_number(int kind)
{
    for (int number = 0; number <= YYMAXUTOK; ++number)
        if (YYTRANSLATE(number) == kind)
            return number;
    return -1;
}

const yysymbol_kind_t typed_symbols[7] = { YYSYMBOL_bool_expr, YYSYMBOL_int_expr, YYSYMBOL_float_expr,
    YYSYMBOL_vec3_expr, YYSYMBOL_vec4_expr, YYSYMBOL_mtx_expr, YYSYMBOL_string_expr };

/* A typed expression just read where another type would have let the parse go
   on: which type it was, and which would have fitted. */
void type_mismatch(const state_stack& stack, yysymbol_kind_t token, parser::diag::syntax_report& report)
{
    for (int have = 0; have < 7; ++have) {
        if (yystos[stack.back()] != typed_symbols[have])
            continue;
        report.on_top = have;
        for (int want = 0; want < 7; ++want) {
            state_stack other(stack.begin(), stack.end() - 1);
            other.push_back(goto_state(other.back(), typed_symbols[want]));
            if (want != have && shifts(other, token)) {
                report.would_fit = want;
                return;
            }
        }
    }
}


/* Token numbers that can end an expression. */
bool ends_expression(int token)
{
    return (token >= TOK_XYZW && token <= TOK_W) || (token >= TOK_BOOL_CONST && token <= TOK_LONG_STRING_CONST
        && token != TOK_IDENTIFIER) || token == ')' || token == ']';
}

/* Whether a symbol on top of the stack at an error matched no input, told by
   the number of the last token shifted (none_shifted when none was): had the
   symbol matched input, that token would be its last, and the tokens that end
   each symbol that may be empty never end what stands before it in the
   grammar. A mid-rule marker always matches nothing; other symbols never do. */
bool matched_nothing(int symbol, int last)
{
    if (last == parser::diag::trace::none_shifted)
        return true;
    switch (symbol) {
    case YYSYMBOL_script:
    case YYSYMBOL_import_list: return false;
    case YYSYMBOL_item_list: return last != ';' && last != '}';
    case YYSYMBOL_statement_list: return last != ';' && last != '}' && last != TOK_STRING_CONST && last != TOK_LONG_STRING_CONST;
    case YYSYMBOL_modifiers: return last != TOK_EXPORT;
    case YYSYMBOL_param_list:
    case YYSYMBOL_arg_list:
    case YYSYMBOL_named_arg_list:
    case YYSYMBOL_opt_index: return !ends_expression(last);
    case YYSYMBOL_else_part: return last != '}'; // never on top: a default reduction follows it
    default: return yysymbol_name(yysymbol_kind_t(symbol))[0] == '$';
    }
}

/* The tokens that would have let the parse go on, from the stack as it is and
   as it was before the empty reductions (a mid-rule marker, an empty list)
   that the automaton made on the erroneous token by default. */
std::vector<int> expected_tokens(state_stack stack, int last_shifted)
{
    std::vector<bool> seen(YYNTOKENS, false);
    for (;;) {
        for (int kind = 0; kind < YYNTOKENS; ++kind)
            if (kind != YYSYMBOL_YYerror && kind != YYSYMBOL_YYUNDEF && !seen[size_t(kind)])
                seen[size_t(kind)] = shifts(stack, yysymbol_kind_t(kind));
        if (stack.size() < 2 || yystos[stack.back()] < YYNTOKENS || !matched_nothing(yystos[stack.back()], last_shifted))
            break;
        stack.pop_back();
    }
    std::vector<int> expected;
    for (int kind = 0; kind < YYNTOKENS; ++kind)
        if (seen[size_t(kind)])
            expected.push_back(token_number(kind));
    return expected;
}

} // namespace

static int yyreport_syntax_error(const yypcontext_t* yyctx, yyscan_t scanner, parser::context* ctx, void*)
{
    parser::grammar::report_syntax_error(scanner, "syntax error");
    (void)&yypcontext_expected_tokens; // bison's own list stops at default reductions; shifts() does not
    if (!ctx->trace)
        return 0;
    parser::diag::syntax_report report;
    state_stack stack = states_of(yyctx);
    report.expected = expected_tokens(stack, ctx->trace->last_shifted());
    type_mismatch(stack, yypcontext_token(yyctx), report);
    ctx->trace->syntax_error(report, *ctx);
    return 0;
}
