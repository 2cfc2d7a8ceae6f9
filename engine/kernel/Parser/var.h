// parser::var<T>: a named, typed expression. A plain variable yields its value
// expression, a parameter the caller's argument of its name and type (else its
// default), an extern variable what the program's binding reads.
#pragma once

#include "engine/kernel/Parser/call_frame.h"
#include "engine/kernel/Parser/node.h"
#include "engine/kernel/Parser/variable.h"
#include "engine/kernel/Parser/variable_table.h"

namespace parser {

template <typename T> class var final : public node_expr<T>, public variable {
public:
    static constexpr uint32_t class_tag = 0x10000000u | uint32_t(type_number_v<T>) << 24;

    // A declared variable, parameter or named argument; takes over value.
    var(const char* name, node_expr<T>* value_expr);
    // An extern variable bound to binding; takes over index_expr.
    var(const char* name, extern_binding<T>* bound_to, node_expr<int32_t>* index_expression, const char* key);
    ~var() override;

    void add_ref() override { node::add_ref(); }
    void release() override { node::release(); }
    string_base& describe(string_base& out) const override { return append_description(out); }
    void serialize(archive& ar) const override;
    node_exp* as_node() override { return this; }

    node_expr<T>* bind(call_frame* frame, void* environment) override;
    void evaluate(void* ctx, T& out, call_frame* frame, void* environment) override;
    bool fold_constants(bool params_fixed, void* environment) override;

    node_expr<T>* value = nullptr;
    extern_binding<T>* binding = nullptr;

private:
    // For a parameter under a frame with arguments: the caller's argument of
    // this name and type, when it carries a value expression.
    var* argument(call_frame* frame) const;
    node_expr<T>* bind_extern(call_frame* frame, void* environment);
};

// The var<T> node of a variable part whose type code is T's, else null: how a
// found variable is turned back into the expression it is.
template <typename T> var<T>* var_cast(variable* v)
{
    return v && v->type_code == type_number_v<T> ? static_cast<var<T>*>(v) : nullptr;
}

template <typename T>
var<T>::var(const char* name_text, node_expr<T>* value_expr)
    : variable(name_text, type_number_v<T>, nullptr, nullptr)
    , value(value_expr)
{
    this->flags = value ? value->flags : 0;
}

template <typename T>
var<T>::var(const char* name_text, extern_binding<T>* bound_to, node_expr<int32_t>* index_expression, const char* key)
    : variable(name_text, type_number_v<T>, key ? key : name_text, index_expression)
    , binding(bound_to)
{
    this->flags = binding ? binding->attributes() : 0;
}

template <typename T> var<T>::~var()
{
    if (value)
        value->release();
}

template <typename T> var<T>* var<T>::argument(call_frame* frame) const
{
    if (var_class != var_param || !frame || !frame->arguments)
        return nullptr;
    var* found = static_cast<var*>(frame->arguments->find(name, type_code));
    return found && found->value ? found : nullptr;
}

template <typename T> void var<T>::evaluate(void* ctx, T& out, call_frame* frame, void* environment)
{
    if (binding) {
        if (index_expr) {
            int32_t i = 0;
            index_expr->evaluate(ctx, i, frame, environment);
            index = uint32_t(i);
        }
        binding->read(ctx, out, index, environment);
        return;
    }
    if (var* arg = argument(frame)) {
        arg->value->evaluate(ctx, out, frame->parent, environment);
        return;
    }
    if (value)
        value->evaluate(ctx, out, frame, environment);
}

template <typename T> node_expr<T>* var<T>::bind_extern(call_frame* frame, void* environment)
{
    if (!index_expr || !frame || !frame->arguments) {
        add_ref();
        return this;
    }
    var* fixed = new var(name, binding, nullptr, extern_key);
    fixed->var_class = var_class;
    fixed->modifiers = modifiers;
    int32_t i = 0;
    index_expr->evaluate(nullptr, i, frame, environment);
    fixed->index = uint32_t(i);
    return fixed;
}

template <typename T> node_expr<T>* var<T>::bind(call_frame* frame, void* environment)
{
    if (binding)
        return bind_extern(frame, environment);
    if (var* arg = argument(frame))
        return arg->value->bind(frame->parent, environment);
    if (!value) {
        add_ref(); // nothing to specialise: stays as it is
        return this;
    }
    node_expr<T>* bound = value->bind(frame, environment);
    if (bound != value)
        return bound; // replaced by its bound value, or null when constant
    bound->release();
    add_ref();
    return this;
}

template <typename T> bool var<T>::fold_constants(bool params_fixed, void* environment)
{
    if (binding) {
        if (index_expr && index_expr->fold_constants(params_fixed, environment))
            index_expr = index_expr->make_value(true, nullptr, environment);
        return false; // an extern value may change between reads
    }
    if (!value)
        return false;
    if (var_class != var_param)
        return value->fold_constants(params_fixed, environment);
    if (params_fixed)
        return value->fold_constants(true, environment);
    if (value->fold_constants(false, environment))
        value = value->make_value(true, nullptr, environment);
    return false; // open parameters are never constant
}

template <typename T> void var<T>::serialize(archive& ar) const
{
    SClassBlockResult block = ar.begin_class_block(class_tag, var_layout, false, 1);
    node_exp::serialize(ar);
    serialize_fields(ar);
    ar.write_ref(binding ? nullptr : value);
    ar.write_ref(nullptr);
    if (!binding && value && ar.begin_object(value).write) {
        value->serialize(ar);
        ar.end_object(value);
    }
    ar.end_class_block(block);
}

// Compiled once, in var.cpp.
extern template class var<bool>;
extern template class var<int32_t>;
extern template class var<float>;
extern template class var<vec3>;
extern template class var<vec4>;
extern template class var<mtx44>;
extern template class var<string_base>;

} // namespace parser
