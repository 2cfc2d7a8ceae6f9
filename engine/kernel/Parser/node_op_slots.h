// The slot operations of the operator templates: serialize, bind, evaluate
// and fold. Included only where the catalogue is instantiated
// (operators.cpp), so each class's code is generated once.
#pragma once

#include "engine/kernel/Parser/node_layouts.h"
#include "engine/kernel/Parser/node_op.h"
#include "engine/kernel/Parser/operator_eval.h"

namespace parser {

// Evaluates an operand into a temporary that starts as initial_value<T>().
template <typename T> T operand_value(node_expr<T>* operand, void* ctx, call_frame* frame, void* environment)
{
    T value = initial_value<T>();
    operand->evaluate(ctx, value, frame, environment);
    return value;
}

// Makes a node from bind residuals. A plain function pointer rather than a
// lambda type lets all classes of one signature share one bind_children.
template <typename R, typename... T> using node_maker = node_expr<R>* (*)(node_expr<T>*...);

// bind of the bool and / or: a side that is constant under the frame is
// evaluated; if it decides the result the whole node is constant (null),
// otherwise the other side's residual stands for the node.
template <typename OP, typename Node>
node_expr<bool>* bind_short_circuit(Node* self, call_frame* frame, void* environment)
{
    constexpr bool decides = deciding_value<OP>;
    node_expr<bool>* left = self->a->bind(frame, environment);
    node_expr<bool>* right = self->b->bind(frame, environment);
    if (!left && !right)
        return nullptr;
    if (!left || !right) {
        node_expr<bool>* constant_side = left ? self->b : self->a;
        node_expr<bool>* other = left ? left : right;
        bool value = false;
        constant_side->evaluate(nullptr, value, frame, environment);
        if (value != decides)
            return other;
        other->release();
        return nullptr;
    }
    if (left == self->a && right == self->b) {
        left->release();
        right->release();
        self->add_ref();
        return self;
    }
    return new Node(left, right);
}

template <typename OP, typename R, typename A> void node_op1<OP, R, A>::serialize(archive& ar) const
{
    serialize_with_children(ar, class_tag, node_op1_layout, *this, { a });
}

template <typename OP, typename R, typename A>
node_expr<R>* node_op1<OP, R, A>::bind(call_frame* frame, void* environment)
{
    node_maker<R, A> make = [](node_expr<A>* ra) -> node_expr<R>* { return new node_op1(ra); };
    return bind_children(this, frame, environment, make, a);
}

template <typename OP, typename R, typename A>
void node_op1<OP, R, A>::evaluate(void* ctx, R& out, call_frame* frame, void* environment)
{
    apply_operator<OP>(out, operand_value(a, ctx, frame, environment));
}

template <typename OP, typename R, typename A>
bool node_op1<OP, R, A>::fold_constants(bool params_fixed, void* environment)
{
    return a->fold_constants(params_fixed, environment); // the operand folds itself
}

template <typename OP, typename R, typename A, typename B> void node_op2<OP, R, A, B>::serialize(archive& ar) const
{
    serialize_with_children(ar, class_tag, node_op2_layout, *this, { a, b });
}

template <typename OP, typename R, typename A, typename B>
node_expr<R>* node_op2<OP, R, A, B>::bind(call_frame* frame, void* environment)
{
    if constexpr (short_circuits<OP, R>)
        return bind_short_circuit<OP>(this, frame, environment);
    else {
        node_maker<R, A, B> make
            = [](node_expr<A>* ra, node_expr<B>* rb) -> node_expr<R>* { return new node_op2(ra, rb); };
        return bind_children(this, frame, environment, make, a, b);
    }
}

template <typename OP, typename R, typename A, typename B>
void node_op2<OP, R, A, B>::evaluate(void* ctx, R& out, call_frame* frame, void* environment)
{
    if constexpr (short_circuits<OP, R>) {
        bool first = false;
        a->evaluate(ctx, first, frame, environment);
        if (first == deciding_value<OP>)
            out = first;
        else
            b->evaluate(ctx, out, frame, environment);
    } else {
        A first = operand_value(a, ctx, frame, environment);
        B second = operand_value(b, ctx, frame, environment);
        apply_operator<OP>(out, first, second);
    }
}

template <typename OP, typename R, typename A, typename B>
bool node_op2<OP, R, A, B>::fold_constants(bool params_fixed, void* environment)
{
    return fold_children(params_fixed, environment, a, b);
}

template <typename OP, typename R, typename A, typename B, typename C>
void node_op3<OP, R, A, B, C>::serialize(archive& ar) const
{
    serialize_with_children(ar, class_tag, node_op3_layout, *this, { a, b, c });
}

template <typename OP, typename R, typename A, typename B, typename C>
node_expr<R>* node_op3<OP, R, A, B, C>::bind(call_frame* frame, void* environment)
{
    node_maker<R, A, B, C> make = [](node_expr<A>* ra, node_expr<B>* rb, node_expr<C>* rc) -> node_expr<R>* {
        return new node_op3(ra, rb, rc);
    };
    return bind_children(this, frame, environment, make, a, b, c);
}

template <typename OP, typename R, typename A, typename B, typename C>
void node_op3<OP, R, A, B, C>::evaluate(void* ctx, R& out, call_frame* frame, void* environment)
{
    A first = operand_value(a, ctx, frame, environment);
    B second = operand_value(b, ctx, frame, environment);
    C third = operand_value(c, ctx, frame, environment);
    apply_operator<OP>(out, first, second, third);
}

template <typename OP, typename R, typename A, typename B, typename C>
bool node_op3<OP, R, A, B, C>::fold_constants(bool params_fixed, void* environment)
{
    return fold_children(params_fixed, environment, a, b, c);
}

} // namespace parser
