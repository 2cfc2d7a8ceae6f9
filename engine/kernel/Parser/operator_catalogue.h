// The operator catalogue: the one list of the 148 operator classes that exist.
// operators.cpp instantiates exactly these classes from it, and the table it
// builds (tag, size, constructor) is what tests and archive readers walk.
#pragma once

#include <cstdint>
#include <span>

#include "engine/kernel/Parser/node_op.h"

namespace parser {

namespace catalogue {

using namespace short_types;

template <typename OP, typename R, typename A> using op1 = node_op1<OP, R, A>;
template <typename OP, typename R, typename A, typename Bt> using op2 = node_op2<OP, R, A, Bt>;
template <typename OP, typename R, typename A, typename Bt, typename C> using op3 = node_op3<OP, R, A, Bt, C>;

// The four arithmetic forms every one of add, sub, mul and div has over
// numbers and vectors.
template <typename OP>
using arithmetic = type_list<op2<OP, I, I, I>, op2<OP, F, F, F>, op2<OP, F, F, I>, op2<OP, F, I, F>,
    op2<OP, V3, V3, V3>, op2<OP, V3, V3, F>, op2<OP, V4, V4, V4>, op2<OP, V4, V4, F>>;
template <typename OP> using float_functions = type_list<op1<OP, F, F>, op1<OP, V3, V3>, op1<OP, V4, V4>>;
template <typename OP> using signed_forms = type_list<op1<OP, I, I>, op1<OP, F, F>, op1<OP, V3, V3>, op1<OP, V4, V4>>;
template <typename OP>
using min_max = type_list<op2<OP, I, I, I>, op2<OP, F, F, F>, op2<OP, V3, V3, V3>, op2<OP, V4, V4, V4>>;
template <typename OP>
using equality = type_list<op2<OP, B, I, I>, op2<OP, B, F, F>, op2<OP, B, F, I>, op2<OP, B, S, S>>;
template <typename OP> using ordering = type_list<op2<OP, B, I, I>, op2<OP, B, F, F>, op2<OP, B, F, I>>;

template <typename... Lists> struct join;
template <typename... A> struct join<type_list<A...>> {
    using type = type_list<A...>;
};
template <typename... A, typename... Bs, typename... Rest> struct join<type_list<A...>, type_list<Bs...>, Rest...> {
    using type = typename join<type_list<A..., Bs...>, Rest...>::type;
};

// clang-format off
using list = join<
    signed_forms<OP_neg>,
    type_list<op1<OP_not, B, B>, op1<OP_not, B, I>, op1<OP_not, I, I>>,
    signed_forms<OP_abs>,
    signed_forms<OP_clamp>,
    type_list<op1<OP_floor, F, F>, op1<OP_ceil, F, F>, op1<OP_int, I, F>, op1<OP_float, F, I>>,
    float_functions<OP_sin>, float_functions<OP_cos>, float_functions<OP_tan>,
    float_functions<OP_exp>, float_functions<OP_ln>, float_functions<OP_log>,
    arithmetic<OP_add>, arithmetic<OP_sub>, arithmetic<OP_mul>, arithmetic<OP_div>,
    type_list<op2<OP_add, S, S, S>, op2<OP_add, S, S, I>, op2<OP_add, S, I, S>, op2<OP_add, S, S, F>,
              op2<OP_add, S, F, S>>,
    type_list<op2<OP_mul, M, M, M>>,
    type_list<op2<OP_mod, I, I, I>, op2<OP_mod, F, F, F>, op2<OP_mod, F, F, I>>,
    type_list<op2<OP_pow, F, F, F>, op2<OP_pow, F, F, I>, op2<OP_pow, F, I, F>, op2<OP_pow, V3, V3, V3>,
              op2<OP_pow, V3, V3, F>, op2<OP_pow, V4, V4, V4>, op2<OP_pow, V4, V4, F>>,
    min_max<OP_min>, min_max<OP_max>,
    type_list<op2<OP_and, B, B, B>, op2<OP_and, I, I, I>, op2<OP_or, B, B, B>, op2<OP_or, I, I, I>,
              op2<OP_xor, I, I, I>>,
    equality<OP_equal>, equality<OP_notequal>,
    ordering<OP_less>, ordering<OP_greater>, ordering<OP_lequal>, ordering<OP_gequal>,
    type_list<op2<OP_substr, B, S, S>, op1<OP_empty, B, S>, op1<OP_lowercase, S, S>, op1<OP_uppercase, S, S>>,
    type_list<op1<OP_length, F, V3>, op2<OP_dist, F, V3, V3>, op2<OP_dist2, F, V3, V3>>,
    type_list<op2<OP_dot, F, V3, V3>, op2<OP_dot, F, V4, V4>, op2<OP_dot, F, V4, V3>, op2<OP_dot, F, V3, V4>>,
    type_list<op2<OP_cross, V3, V3, V3>, op1<OP_normalize, V3, V3>>,
    type_list<op2<OP_mulp, V3, M, V3>, op2<OP_mulp, V4, M, V4>, op2<OP_mulv, V3, M, V3>>,
    type_list<op1<OP_transpose, M, M>, op1<OP_invert, M, M>>,
    type_list<op1<OP_translation, M, V3>, op3<OP_translation, M, F, F, F>>,
    type_list<op1<OP_scaling, M, F>, op1<OP_scaling, M, V3>, op3<OP_scaling, M, F, F, F>>,
    type_list<op2<OP_rotation, M, V3, F>, op3<OP_rotation, M, F, F, F>>,
    type_list<op2<OP_orientation, M, V3, V3>>,
    type_list<op2<OP_replaceX, V4, V4, F>, op2<OP_replaceY, V4, V4, F>, op2<OP_replaceZ, V4, V4, F>,
              op2<OP_replaceW, V4, V4, F>>
    >::type;
// clang-format on

} // namespace catalogue

using operator_catalogue = catalogue::list;

// One catalogue class as data. create makes the node from its operands (as
// many as the class has; the rest ignored) and takes over their references;
// it returns null, taking nothing, when an operand is missing or of the wrong
// type.
struct operator_entry {
    uint32_t tag;
    uint32_t size;
    node_exp* (*create)(node_exp* const operands[3]);
};

// The entries in catalogue order.
std::span<const operator_entry> operator_catalogue_entries();

} // namespace parser
