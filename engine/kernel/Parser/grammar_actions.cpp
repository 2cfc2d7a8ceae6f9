// The grammar's token source, its syntax error report, and the depth
// bookkeeping that keeps expression trees shallow enough to walk.
#include "engine/kernel/Parser/grammar_actions.h"

#include "engine/kernel/Parser/front_end_trace.h"
#include "engine/kernel/Parser/lexer_actions.h"
#include "engine/kernel/Parser/parser_y.hpp"
#include "engine/kernel/Parser/program_log.h"
#include "engine/kernel/Parser/scanner.h"
#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/unit.h"

namespace parser::grammar {
namespace {

// Per thread: a parse and the imports it runs all happen on one thread. Only
// plain values are thread-local; the notes themselves live with the parse.
thread_local int32_t deepest_in_subtree = 0;
thread_local depth_notes* notes = nullptr;

} // namespace

int32_t variable_depth(const variable* v)
{
    if (!notes)
        return 1;
    const int32_t* found = notes->find(v);
    return found ? *found + 1 : 1; // the variable node is a level too
}

void remember_depth(const variable* v, int32_t depth)
{
    if (notes)
        notes->note(v, depth);
}

void forget_depth(const variable* v)
{
    if (notes)
        notes->forget(v);
}

void note_depth(int32_t depth)
{
    if (depth > max_expression_depth)
        too_deep_flag = true;
    track_depth(depth);
}

void track_depth(int32_t depth)
{
    if (depth > deepest_in_subtree)
        deepest_in_subtree = depth;
}

// Subtrees never nest and imports run before the first one, so one running
// maximum per thread serves the subtree being parsed.
void begin_subtree(context* ctx, const char* name)
{
    deepest_in_subtree = 0;
    ctx->begin_subtree(name);
}

namespace {

// No token names a variable of a block that ends: its notes go.
void forget_ending_scope(context* ctx)
{
    if (const variable_table* scope = ctx->inner_scope_ending())
        for (uint32_t i = 0; i < scope->size(); ++i)
            forget_depth(scope->at(i));
}

} // namespace

void end_block(context* ctx)
{
    forget_ending_scope(ctx);
    ctx->end_block();
}

void end_subtree(context* ctx, void* environment)
{
    forget_ending_scope(ctx);
    if (ctx->current_subtree)
        ctx->current_subtree->deepest_expression = deepest_in_subtree;
    ctx->end_subtree(environment);
}

depth_notes::depth_notes()
    : outermost_(notes == nullptr)
{
    if (outermost_) {
        slots_.assign(64, entry { nullptr, 0 });
        notes = this;
        too_deep_flag = false;
    }
}

depth_notes::~depth_notes()
{
    if (outermost_) {
        notes = nullptr;
        too_deep_flag = false;
    }
}

// Variables sit in 128-byte pool slots: the bits above the slot size, mixed
// by a multiplication, spread them over the table.
size_t depth_notes::slot_of(const variable* v) const
{
    uint64_t mixed = (uint64_t(reinterpret_cast<uintptr_t>(v)) >> 7) * 0x9E3779B97F4A7C15ull;
    return size_t(mixed >> 32) & (slots_.size() - 1);
}

const int32_t* depth_notes::find(const variable* v) const
{
    size_t mask = slots_.size() - 1;
    for (size_t i = slot_of(v); slots_[i].v; i = (i + 1) & mask)
        if (slots_[i].v == v)
            return &slots_[i].depth;
    return nullptr;
}

void depth_notes::note(const variable* v, int32_t depth)
{
    if (2 * (used_ + 1) > slots_.size()) {
        std::vector<entry> old(2 * slots_.size(), entry { nullptr, 0 });
        old.swap(slots_);
        used_ = 0;
        for (const entry& e : old)
            if (e.v)
                note(e.v, e.depth);
    }
    size_t mask = slots_.size() - 1;
    size_t i = slot_of(v);
    for (; slots_[i].v && slots_[i].v != v; i = (i + 1) & mask) { }
    used_ += slots_[i].v == nullptr;
    slots_[i] = { v, depth };
}

// Backward-shift deletion: each later entry of the probe run that may move up
// into the hole does, so every look-up still meets its entry before a free slot.
void depth_notes::forget(const variable* v)
{
    size_t mask = slots_.size() - 1;
    size_t hole = slot_of(v);
    for (; slots_[hole].v != v; hole = (hole + 1) & mask)
        if (!slots_[hole].v)
            return;
    for (size_t i = (hole + 1) & mask; slots_[i].v; i = (i + 1) & mask) {
        size_t home = slot_of(slots_[i].v);
        if (((i - home) & mask) >= ((i - hole) & mask)) { // home at or before the hole, cyclically
            slots_[hole] = slots_[i];
            hole = i;
        }
    }
    slots_[hole] = { nullptr, 0 };
    --used_;
}

void report_syntax_error(void* scanner, const char* message)
{
    Log::Labelled(LogLabel('C', 'L', 'O', 'G'), { grammar_module, syntax_error_line, "yyerror" }, "%s at %s(%i)\n",
        message, yyget_text(scanner), yyget_lineno(scanner));
}

} // namespace parser::grammar

parser::variable* parser::grammar::named_variable(int token, const token_value& value)
{
    if (token < TOK_BOOL_VAR || token > TOK_STRING_VAR)
        return nullptr;
    return visit_type(uint8_t(token - TOK_BOOL_VAR), [&](auto tag) -> variable* {
        using T = typename decltype(tag)::type;
        return static_cast<var<T>*>(typed_expr_of<T>(value).node);
    });
}

int parser::grammar::refuse_token(void* scanner)
{
    too_deep_flag = false;
    parser::context* ctx = yyget_extra(scanner);
    if (ctx->trace)
        ctx->trace->expression_too_deep();
    ctx->explain(nullptr); // the syntax error that follows says it
    ctx->error(__LINE__, "parser::grammar", true, "expression nested more than %d levels deep in '%s' line %d\n",
        int(max_expression_depth), ctx->current_unit->name.c_str(), yyget_lineno(scanner));
    return parser::lex::refused_token;
}
