// The slot operations of node_select<T>, instantiated for the five value types
// that have a conditional choice (no bool, no mtx44).
#include "engine/kernel/Parser/node_select.h"

#include "engine/kernel/Parser/node_layouts.h"

namespace parser {

template <typename T> node_select<T>::~node_select()
{
    release_child(a);
    release_child(b);
    release_child(c);
}

template <typename T> void node_select<T>::serialize(archive& ar) const
{
    serialize_with_children(ar, class_tag, node_select_layout, *this, { a, b, c });
}

// A constant condition under the frame leaves only the chosen branch: its
// residual, or null when that branch is constant as well. Otherwise a constant
// branch stands in as its value and the generic rule applies.
template <typename T> node_expr<T>* node_select<T>::bind(call_frame* frame, void* environment)
{
    node_expr<bool>* condition = a->bind(frame, environment);
    node_expr<T>* when_true = b->bind(frame, environment);
    node_expr<T>* when_false = c->bind(frame, environment);
    if (!condition && !when_true && !when_false)
        return nullptr;
    if (!condition) {
        bool chosen = false;
        a->evaluate(nullptr, chosen, frame, environment);
        release_child(chosen ? when_false : when_true);
        return chosen ? when_true : when_false;
    }
    if (!when_true)
        when_true = b->make_value(false, frame, environment);
    if (!when_false)
        when_false = c->make_value(false, frame, environment);
    if (condition == a && when_true == b && when_false == c) {
        condition->release();
        when_true->release();
        when_false->release();
        this->add_ref();
        return this;
    }
    return new node_select(condition, when_true, when_false);
}

template <typename T> void node_select<T>::evaluate(void* ctx, T& out, call_frame* frame, void* environment)
{
    bool condition = false;
    a->evaluate(ctx, condition, frame, environment);
    (condition ? b : c)->evaluate(ctx, out, frame, environment);
}

template <typename T> bool node_select<T>::fold_constants(bool params_fixed, void* environment)
{
    return fold_children(params_fixed, environment, a, b, c);
}

template class node_select<int32_t>;
template class node_select<float>;
template class node_select<vec3>;
template class node_select<vec4>;
template class node_select<string_base>;

} // namespace parser
