// What the grammar's actions do, one call each: build typed nodes from the
// node pool (taking over their operands' references), declare variables and
// report the first syntax error as a 'CLOG' record.
#pragma once

#include <cstring>

#include "engine/kernel/Parser/context.h"
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

// ---- values left behind ----

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
template <typename T>
void variable_name(char* out, node_expr<T>* token)
{
    var<T>* v = static_cast<var<T>*>(token);
    copy_text(out, v->name);
    v->release();
}

// ---- expression nodes ----

template <typename T>
node_expr<T>* constant(const T& value)
{
    return new node_val<T>(value);
}

inline node_expr<S>* string_constant(const char* text) { return new node_val<S>(S(text)); }

inline node_expr<S>* long_string_constant(string_base* text)
{
    node_expr<S>* n = new node_val<S>(text ? *text : S());
    delete text;
    return n;
}

template <typename OP, typename R, typename A>
node_expr<R>* op1(node_expr<A>* a)
{
    return new node_op1<OP, R, A>(a);
}

template <typename OP, typename R, typename A, typename Bt>
node_expr<R>* op2(node_expr<A>* a, node_expr<Bt>* b)
{
    return new node_op2<OP, R, A, Bt>(a, b);
}

template <typename OP, typename R, typename A, typename Bt, typename C>
node_expr<R>* op3(node_expr<A>* a, node_expr<Bt>* b, node_expr<C>* c)
{
    return new node_op3<OP, R, A, Bt, C>(a, b, c);
}

template <typename T>
node_expr<T>* select(node_expr<bool>* condition, node_expr<T>* when_true, node_expr<T>* when_false)
{
    return new node_select<T>(condition, when_true, when_false);
}

template <typename R, typename Src>
node_expr<R>* extract(node_expr<Src>* source, int32_t index)
{
    return new node_extract<R, Src>(source, index);
}

// "[f]": one float node in all three slots, each slot owning a reference.
inline node_expr<V3>* vec3_splat(node_expr<F>* f)
{
    f->add_ref();
    f->add_ref();
    return new node_vec3(f, f, f);
}

inline node_expr<V3>* vec3_of(node_expr<F>* x, node_expr<F>* y, node_expr<F>* z) { return new node_vec3(x, y, z); }

inline node_expr<V4>* vec4_of(node_expr<F>* x, node_expr<F>* y, node_expr<F>* z, node_expr<F>* w)
{
    return new node_vec4(x, y, z, w);
}

inline node_expr<V4>* vec4_from(node_expr<V3>* xyz, node_expr<F>* w) { return new node_vec4(xyz, w); }

// ---- declarations and statements ----

template <typename T>
variable* make_var(const char* name, node_expr<T>* value)
{
    return new var<T>(name, value);
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

template <typename T>
variable* add_extern(context* ctx, const char* name, const char* key, node_expr<int32_t>* index)
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

template <typename T>
void add_named_argument(context* ctx, const char* name, node_expr<T>* value)
{
    ctx->add_named_argument(make_var(name, value));
}

inline void open_body(context* ctx, node_function*) { ctx->begin_function_body(); }

inline void set_text(context* ctx, const char* text) { ctx->set_function_text(text); }

// The first syntax error of a file, as the 'CLOG' record "message at token(line)".
void report_syntax_error(void* scanner, const char* message);

} // namespace parser::grammar
