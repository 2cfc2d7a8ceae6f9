// Shorthands for building one operator node over literals and taking its value.
#pragma once

#include "engine/kernel/Parser/node_op.h"
#include "tests/nodes/node_test_support.h"

namespace node_test {

template <typename OP, typename R, typename A> R un(node_expr<A>* a) { return value_of(new node_op1<OP, R, A>(a)); }

template <typename OP, typename R, typename A, typename B> R bin(node_expr<A>* a, node_expr<B>* b)
{
    return value_of(new node_op2<OP, R, A, B>(a, b));
}

template <typename OP, typename R, typename A, typename B, typename C>
R tri(node_expr<A>* a, node_expr<B>* b, node_expr<C>* c)
{
    return value_of(new node_op3<OP, R, A, B, C>(a, b, c));
}

inline uint32_t bits(float f) { return std::bit_cast<uint32_t>(f); }
inline const float nan_value = std::nanf("");
inline const float infinity = HUGE_VALF;

} // namespace node_test
