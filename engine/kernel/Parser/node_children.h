// Child handling shared by every node that owns children (operators,
// selection, extraction, vector constructors, variables): releasing, folding a
// child slot, the generic fold and bind rules, and writing children out.
#pragma once

#include <initializer_list>
#include <tuple>

#include "engine/kernel/Parser/node.h"

namespace parser {

// Drops the reference a slot owns, if the slot is set.
inline void release_child(node* child)
{
    if (child)
        child->release();
}

// The flags a composite node is made with: the OR over its set children.
template <typename... C> uint32_t children_flags(const C*... children)
{
    return (0u | ... | (children ? children->flags : 0u));
}

// Replaces a constant child by its value node; the slot's reference passes to
// make_value, which releases it.
template <typename T> void fold_child(node_expr<T>*& child, void* environment)
{
    child = child->make_value(true, nullptr, environment);
}

// Asks one child whether it is constant and, if it is, replaces it by its value
// node in place. Returns the child's answer.
template <typename T> bool fold_in_place(node_expr<T>*& child, bool params_fixed, void* environment)
{
    bool constant = child->fold_constants(params_fixed, environment);
    if (constant)
        fold_child(child, environment);
    return constant;
}

// The fold rule of a node with several children: every child is asked in
// order; when all are constant the answer is true and the caller folds this
// node as a whole, otherwise the constant children are folded in place.
template <typename... T> bool fold_children(bool params_fixed, void* environment, node_expr<T>*&... children)
{
    const bool constant[] = { children->fold_constants(params_fixed, environment)... };
    bool all = true;
    for (bool c : constant)
        all = all && c;
    if (all)
        return true;
    size_t i = 0;
    ((constant[i++] ? fold_child(children, environment) : void()), ...);
    return false;
}

// One child and what its bind gave (a new reference, or null when constant).
template <typename T> struct child_residual {
    node_expr<T>* child;
    node_expr<T>* residual;

    bool unchanged() const { return residual == child; }
};

// The generic bind rule: bind every child in order; all constant gives null;
// a constant child stands in as its value (the child stays owned here); when
// every residual is its own child this node is shared with one more reference;
// otherwise make(residuals...) builds a new node that takes the residuals over.
template <typename R, typename Make, typename... T>
node_expr<R>* bind_children(
    node_expr<R>* self, call_frame* frame, void* environment, Make make, node_expr<T>*... children)
{
    std::tuple<child_residual<T>...> bound { child_residual<T> { children, children->bind(frame, environment) }... };
    return std::apply(
        [&](child_residual<T>&... c) -> node_expr<R>* {
            if ((!c.residual && ...))
                return nullptr;
            ((c.residual = c.residual ? c.residual : c.child->make_value(false, frame, environment)), ...);
            if ((c.unchanged() && ...)) {
                (c.child->release(), ...); // the residuals' extra references
                self->add_ref();
                return self;
            }
            return make(c.residual...);
        },
        bound);
}

// Writes a child object unless the archive has already seen it, so that a node
// shared by several parents is written once.
void write_child_object(archive& ar, const node* child);

// The usual serialize of a node whose own fields are only its children: class
// block, the node_exp part, the child references, then the child objects.
void serialize_with_children(archive& ar, uint32_t tag, const uint64_t* layout, const node_exp& self,
    std::initializer_list<const node*> children);

} // namespace parser
