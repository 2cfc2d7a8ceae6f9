// The grammar's token source, its syntax error report, and the depth
// bookkeeping that keeps expression trees shallow enough to walk.
#include "engine/kernel/Parser/grammar_actions.h"

#include "engine/kernel/Parser/front_end_trace.h"
#include "engine/kernel/Parser/lexer_actions.h"
#include "engine/kernel/Parser/parser_y.hpp"
#include "engine/kernel/Parser/scanner.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/log_record.h"

namespace parser::grammar {
namespace {

// Per thread: a parse and the imports it runs all happen on one thread. Only
// plain values are thread-local; the notes themselves live with the parse.
thread_local bool too_deep = false;
thread_local std::unordered_map<const variable*, int32_t>* notes = nullptr;

} // namespace

bool& expression_too_deep() { return too_deep; }

int32_t variable_depth(const variable* v)
{
    if (v->is_extern())
        return 1; // made by the context, never remembered here
    if (!notes)
        return 1;
    auto found = notes->find(v);
    return found == notes->end() ? 1 : found->second + 1; // the variable node is a level too
}

void remember_depth(const variable* v, int32_t depth)
{
    if (notes)
        (*notes)[v] = depth;
}

depth_notes::depth_notes()
    : outermost_(notes == nullptr)
{
    if (outermost_) {
        notes = &depths_;
        too_deep = false;
    }
}

depth_notes::~depth_notes()
{
    if (outermost_) {
        notes = nullptr;
        too_deep = false;
    }
}

void report_syntax_error(void* scanner, const char* message)
{
    Log::Labelled(LogLabel('C', 'L', 'O', 'G'), { "engine/kernel/Parser/parser_y", 3990, "yyerror" }, "%s at %s(%i)\n",
        message, yyget_text(scanner), yyget_lineno(scanner));
}

} // namespace parser::grammar

namespace {

// The token's byte span in the trace's text; positions are only kept while
// diagnostics are collected.
parser::span token_span(parser::diag::trace& trace, yyscan_t scanner)
{
    const char* text = yyget_text(scanner);
    uint32_t begin = trace.offset_of(text);
    return { begin, begin + uint32_t(yyget_leng(scanner)) };
}

// The variable a variable token names, for an observer.
parser::variable* named_variable(int token, const parser::token_value& value)
{
    switch (token) {
    case TOK_BOOL_VAR:
        return static_cast<parser::var<bool>*>(value.eb.node);
    case TOK_INT_VAR:
        return static_cast<parser::var<int32_t>*>(value.ei.node);
    case TOK_FLOAT_VAR:
        return static_cast<parser::var<float>*>(value.ef.node);
    case TOK_VEC3_VAR:
        return static_cast<parser::var<vec3>*>(value.e3.node);
    case TOK_VEC4_VAR:
        return static_cast<parser::var<vec4>*>(value.e4.node);
    case TOK_MTX44_VAR:
        return static_cast<parser::var<mtx44>*>(value.em.node);
    case TOK_STRING_VAR:
        return static_cast<parser::var<string_base>*>(value.es.node);
    default:
        return nullptr;
    }
}

} // namespace

int yylex(parser::token_value* value, parser::span* where, yyscan_t scanner)
{
    parser::context* ctx = yyget_extra(scanner);
    if (!parser::grammar::too_deep) {
        int token = scan_token(value, scanner);
        if (ctx->trace) {
            *where = token_span(*ctx->trace, scanner);
            ctx->trace->token(token, *where, yyget_held_char(scanner));
            if (parser::diag::observer* watcher = ctx->trace->watcher())
                watcher->token(token, *where, named_variable(token, *value));
        }
        return token;
    }
    parser::grammar::too_deep = false;
    if (ctx->trace)
        ctx->trace->expression_too_deep();
    ctx->explain(nullptr); // the syntax error that follows says it
    ctx->error(__LINE__, "parser::grammar", true, "expression nested more than %d levels deep in '%s' line %d\n",
        int(parser::grammar::max_expression_depth), ctx->current_unit->name.c_str(), yyget_lineno(scanner));
    return parser::lex::refused_token;
}
