// What the grammar's actions do, one call each: build typed nodes from the
// node pool (taking over their operands' references), declare variables and
// report the first syntax error as a 'CLOG' record.
#pragma once

#include <cstring>
#include <utility>
#include <vector>

#include "engine/kernel/Parser/context.h"
#include "engine/kernel/Parser/context_events.h"
#include "engine/kernel/Parser/node_extract.h"
#include "engine/kernel/Parser/node_op.h"
#include "engine/kernel/Parser/node_select.h"
#include "engine/kernel/Parser/node_vec.h"
#include "engine/kernel/Parser/statements.h"
#include "engine/kernel/Parser/token_value.h"
#include "engine/kernel/Parser/var.h"

namespace parser::grammar {

using namespace short_types;

constexpr int export_bit = 1;

// An expression nests at most this deep, counting through the variables it
// names: evaluation, folding and release walk trees recursively, and a deeper
// tree could exhaust the stack (1 MB on Windows). A deeper expression stops the
// parse with an error.
constexpr int32_t max_expression_depth = 1000;

// Set when an action made a tree deeper than that; the next token is refused.
// Per thread: a parse and the imports it runs all happen on one thread.
inline thread_local bool too_deep_flag = false;
inline bool& expression_too_deep() { return too_deep_flag; }
// Logs the error and returns the refused token, once expression_too_deep() is set.
int refuse_token(void* scanner);
// The variable a variable token names (for an observer of the parse); null
// for any other token.
variable* named_variable(int token, const token_value& value);
// The depth of a variable token: its value expression's (an extern's index
// expression, which each read evaluates), plus its own node (1 when unknown).
int32_t variable_depth(const variable* v);
void remember_depth(const variable* v, int32_t depth);
// Drops v's note: its block has ended, so no token can name it again, and its
// slot may come back as another variable.
void forget_depth(const variable* v);

// The deepest expression the open subtree's body holds so far: a walk adds to
// it what its callers' arguments carry in, and checks the sum before it enters
// the subtree. note_depth also refuses a tree past the bound.
void note_depth(int32_t depth);
void track_depth(int32_t depth);
void begin_subtree(context* ctx, const char* name);
void end_subtree(context* ctx, void* environment);
// Ends the innermost block; the depth notes of its variables go with it.
void end_block(context* ctx);

// The depths of the variables a token can still name while a parse runs. The
// outermost parse on a thread holds them for itself and the imports it runs,
// drops a block's variables when the block ends and the rest at its own end (a
// freed variable's address may come back as another variable).
class depth_notes {
public:
    depth_notes();
    ~depth_notes();
    depth_notes(const depth_notes&) = delete;
    depth_notes& operator=(const depth_notes&) = delete;

    // The depth noted for v, or null.
    const int32_t* find(const variable* v) const;
    // Notes v's depth, replacing an earlier note.
    void note(const variable* v, int32_t depth);
    // Drops v's note, if any.
    void forget(const variable* v);

private:
    // An open-addressed hash table in one array (linear probing), at most half
    // full, so a look-up (one per variable token) touches one or two entries
    // and a note allocates nothing but the occasional doubling.
    struct entry {
        const variable* v; // null: a free slot
        int32_t depth;
    };
    size_t slot_of(const variable* v) const;
    std::vector<entry> slots_;
    size_t used_ = 0;
    bool outermost_;
};

// ---- values left behind ----

template <typename T> void release_node(typed_expr<T> e)
{
    if (e.node)
        e.node->release();
}

inline void release_node(node* n)
{
    if (n)
        n->release();
}

inline void release_variable(variable* v)
{
    if (v)
        v->release();
}

inline const char* long_text(const string_base* s) { return s ? s->c_str() : ""; }

// Names and literals arrive with at most 63 characters (the lexer refuses longer ones).
inline void copy_text(char* out, const char* text)
{
    size_t n = std::strlen(text);
    if (n > token_text_size - 1)
        n = token_text_size - 1;
    std::memcpy(out, text, n);
    out[n] = 0;
}

// A variable token used as a name: its name is copied and the look-up's
// reference dropped, so a declaration may reuse a visible name.
template <typename T> void variable_name(char* out, typed_expr<T> token)
{
    var<T>* v = static_cast<var<T>*>(token.node);
    copy_text(out, v->name);
    v->release();
}

// ---- expression nodes ----

template <typename T> typed_expr<T> made(node_expr<T>* n, int32_t depth)
{
    note_depth(depth);
    return { n, depth };
}

template <typename... E> int32_t deeper(const E&... operands)
{
    int32_t depth = 0;
    ((depth = operands.depth > depth ? operands.depth : depth), ...);
    return depth + 1;
}

template <typename T> typed_expr<T> constant(const T& value) { return { new node_val<T>(value), 1 }; }

inline typed_expr<S> string_constant(const char* text) { return { new node_val<S>(S(text)), 1 }; }

inline typed_expr<S> long_string_constant(string_base* text)
{
    node_expr<S>* n = new node_val<S>(text ? std::move(*text) : S());
    delete text;
    return { n, 1 };
}

template <typename OP, typename R, typename A> typed_expr<R> op1(typed_expr<A> a)
{
    return made<R>(new node_op1<OP, R, A>(a.node), deeper(a));
}

template <typename OP, typename R, typename A, typename Bt> typed_expr<R> op2(typed_expr<A> a, typed_expr<Bt> b)
{
    return made<R>(new node_op2<OP, R, A, Bt>(a.node, b.node), deeper(a, b));
}

template <typename OP, typename R, typename A, typename Bt, typename C>
typed_expr<R> op3(typed_expr<A> a, typed_expr<Bt> b, typed_expr<C> c)
{
    return made<R>(new node_op3<OP, R, A, Bt, C>(a.node, b.node, c.node), deeper(a, b, c));
}

template <typename T>
typed_expr<T> select(typed_expr<bool> condition, typed_expr<T> when_true, typed_expr<T> when_false)
{
    return made<T>(
        new node_select<T>(condition.node, when_true.node, when_false.node), deeper(condition, when_true, when_false));
}

template <typename R, typename Src> typed_expr<R> extract(typed_expr<Src> source, int32_t index)
{
    return made<R>(new node_extract<R, Src>(source.node, index), deeper(source));
}

// "[f]": one float node in all three slots, each slot owning a reference.
inline typed_expr<V3> vec3_splat(typed_expr<F> f)
{
    f.node->add_ref();
    f.node->add_ref();
    return made<V3>(new node_vec3(f.node, f.node, f.node), deeper(f));
}

inline typed_expr<V3> vec3_of(typed_expr<F> x, typed_expr<F> y, typed_expr<F> z)
{
    return made<V3>(new node_vec3(x.node, y.node, z.node), deeper(x, y, z));
}

inline typed_expr<V4> vec4_of(typed_expr<F> x, typed_expr<F> y, typed_expr<F> z, typed_expr<F> w)
{
    return made<V4>(new node_vec4(x.node, y.node, z.node, w.node), deeper(x, y, z, w));
}

inline typed_expr<V4> vec4_from(typed_expr<V3> xyz, typed_expr<F> w)
{
    return made<V4>(new node_vec4(xyz.node, w.node), deeper(xyz, w));
}

// ---- declarations and statements ----

template <typename T> variable* make_var(const char* name, typed_expr<T> value)
{
    variable* v = new var<T>(name, value.node);
    remember_depth(v, value.depth);
    return v;
}

inline void declare_plain(context* ctx, variable* v, int modifiers)
{
    if (!v)
        return;
    v->set_class_flags(var_plain, uint8_t(modifiers));
    ctx->declare(v);
}

inline void declare_param(context* ctx, variable* v)
{
    if (!v)
        return;
    v->set_class_flags(var_param, 0);
    if (ctx->events && ctx->current_unit && ctx->current_subtree)
        ctx->events->parameter_declared(*ctx->current_unit, *v);
    ctx->declare(v);
}

// The scope keeps its own reference; the grammar's goes once the class is set.
inline void finish_extern(variable* v, int modifiers)
{
    if (!v)
        return;
    v->set_class_flags(var_extern, uint8_t(modifiers));
    v->release();
}

template <typename T> variable* bind_extern(context* ctx, const char* name, const char* key, node_expr<I>* index)
{
    if constexpr (std::is_same_v<T, B>)
        return ctx->add_extern_bool_var(name, key, index);
    else if constexpr (std::is_same_v<T, I>)
        return ctx->add_extern_int_var(name, key, index);
    else if constexpr (std::is_same_v<T, F>)
        return ctx->add_extern_float_var(name, key, index);
    else if constexpr (std::is_same_v<T, V3>)
        return ctx->add_extern_vec3_var(name, key, index);
    else if constexpr (std::is_same_v<T, V4>)
        return ctx->add_extern_vec4_var(name, key, index);
    else if constexpr (std::is_same_v<T, M>)
        return ctx->add_extern_mtx44_var(name, key, index);
    else
        return ctx->add_extern_string_var(name, key, index);
}

// Each read of the extern evaluates its index expression, so the variable is
// as deep as that expression.
template <typename T> variable* add_extern(context* ctx, const char* name, const char* key, typed_expr<I> index_expr)
{
    variable* v = bind_extern<T>(ctx, name, key, index_expr.node);
    if (v && index_expr.node)
        remember_depth(v, index_expr.depth);
    return v;
}

// A call's deepest argument: a parameter reading it evaluates it in the
// caller's frame, on top of whatever the callee's expressions nest.
template <typename T> void add_named_argument(context* ctx, const char* name, typed_expr<T> value)
{
    if (ctx->current_call && value.depth > ctx->current_call->argument_depth)
        ctx->current_call->argument_depth = value.depth;
    ctx->add_named_argument(new var<T>(name, value.node)); // no token names an argument: no depth note
}

inline void open_body(context* ctx, node_function*) { ctx->begin_function_body(); }

inline void set_text(context* ctx, const char* text) { ctx->set_function_text(text); }

// The first syntax error of a file, as the 'CLOG' record "message at token(line)".
void report_syntax_error(void* scanner, const char* message);

} // namespace parser::grammar
