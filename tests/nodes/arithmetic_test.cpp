// Arithmetic, bitwise, conversion and rounding operators: int wrap-around,
// int/float mixing in written order, guarded int division, IEEE floats.
#include <climits>

#include "tests/nodes/operator_test_support.h"

namespace node_test {
namespace {

using arithmetic_test = nodes_test;

// Division and remainder apply math::int_div and int_mod, whose edges the
// math tests check; here they show the operators reach them without a trap.
TEST_F(arithmetic_test, int_arithmetic_wraps_around)
{
    EXPECT_EQ((bin<OP_add, I>(lit(INT_MAX), lit(1))), INT_MIN);
    EXPECT_EQ((bin<OP_sub, I>(lit(INT_MIN), lit(1))), INT_MAX);
    EXPECT_EQ((bin<OP_mul, I>(lit(65536), lit(65536))), 0);
    EXPECT_EQ((bin<OP_mul, I>(lit(-3), lit(7))), -21);
    EXPECT_EQ((un<OP_neg, I>(lit(INT_MIN))), INT_MIN);
    EXPECT_EQ((un<OP_abs, I>(lit(INT_MIN))), INT_MIN);
    EXPECT_EQ((un<OP_abs, I>(lit(-5))), 5);
    EXPECT_EQ((bin<OP_div, I>(lit(-7), lit(2))), -3);
    EXPECT_EQ((bin<OP_mod, I>(lit(-7), lit(2))), -1);
    EXPECT_EQ((bin<OP_div, I>(lit(INT_MIN), lit(-1))), INT_MIN); // no trap
    EXPECT_EQ((bin<OP_mod, I>(lit(5), lit(0))), 0);
}

TEST_F(arithmetic_test, an_int_meeting_a_float_becomes_the_nearest_float_in_written_order)
{
    EXPECT_EQ((bin<OP_add, F>(lit(I(16777217)), lit(0.0f))), 16777216.0f);
    EXPECT_EQ((bin<OP_sub, F>(lit(I(1)), lit(0.25f))), 0.75f);
    EXPECT_EQ((bin<OP_sub, F>(lit(0.25f), lit(I(1)))), -0.75f);
    EXPECT_EQ((bin<OP_div, F>(lit(I(1)), lit(4.0f))), 0.25f);
    EXPECT_EQ((bin<OP_div, F>(lit(1.0f), lit(I(4)))), 0.25f);
    EXPECT_EQ((bin<OP_mul, F>(lit(I(3)), lit(0.5f))), 1.5f);
    EXPECT_EQ((bin<OP_pow, F>(lit(2.0f), lit(I(3)))), 8.0f);
    EXPECT_EQ((bin<OP_pow, F>(lit(I(4)), lit(0.5f))), 2.0f);
    EXPECT_EQ((bin<OP_mod, F>(lit(7.5f), lit(I(2)))), 1.5f);
}

TEST_F(arithmetic_test, floats_follow_ieee_without_traps)
{
    EXPECT_EQ((bin<OP_mod, F>(lit(-7.5f), lit(2.0f))), -1.5f);
    EXPECT_EQ((bin<OP_div, F>(lit(1.0f), lit(0.0f))), infinity);
    EXPECT_TRUE(std::isnan(bin<OP_div, F>(lit(0.0f), lit(0.0f))));
    EXPECT_TRUE(std::isnan(bin<OP_mod, F>(lit(1.0f), lit(0.0f))));
    EXPECT_TRUE(std::isnan(un<OP_ln, F>(lit(-1.0f))));
    EXPECT_EQ((un<OP_log, F>(lit(0.0f))), -infinity);
    EXPECT_EQ((un<OP_log, F>(lit(1000.0f))), 3.0f);
    EXPECT_FLOAT_EQ((un<OP_sin, F>(lit(90.0f))), std::sin(90.0f)); // radians, not degrees
}

TEST_F(arithmetic_test, neg_and_abs_act_on_the_sign_bit_only)
{
    EXPECT_EQ(bits(un<OP_neg, F>(lit(0.0f))), bits(-0.0f));
    EXPECT_EQ(bits(un<OP_abs, F>(lit(-0.0f))), bits(0.0f));
    EXPECT_EQ(bits(un<OP_neg, F>(lit(nan_value))), bits(nan_value) ^ 0x80000000u);
    EXPECT_EQ(bits(un<OP_abs, F>(lit(-nan_value))), bits(nan_value) & 0x7fffffffu);
    vec4 n = un<OP_neg, vec4>(lit(vec4 { 1, -2, 0, 4 }));
    EXPECT_TRUE(same(n, vec4 { -1, 2, -0.0f, -4 }));
}

TEST_F(arithmetic_test, min_and_max_yield_b_for_equal_operands)
{
    EXPECT_EQ(bits(bin<OP_min, F>(lit(0.0f), lit(-0.0f))), bits(-0.0f));
    EXPECT_EQ(bits(bin<OP_min, F>(lit(-0.0f), lit(0.0f))), bits(0.0f));
    EXPECT_EQ(bits(bin<OP_max, F>(lit(-0.0f), lit(0.0f))), bits(0.0f));
    EXPECT_EQ((bin<OP_min, F>(lit(nan_value), lit(1.0f))), 1.0f);
    EXPECT_EQ((bin<OP_min, I>(lit(3), lit(-4))), -4);
    EXPECT_EQ((bin<OP_max, I>(lit(3), lit(-4))), 3);
    EXPECT_TRUE(same(bin<OP_max, vec3>(lit(vec3 { 1, 5, -1 }), lit(vec3 { 2, 3, -1 })), vec3 { 2, 5, -1 }));
}

TEST_F(arithmetic_test, bitwise_and_logical_operators)
{
    EXPECT_EQ((un<OP_not, I>(lit(5))), -6);
    EXPECT_FALSE((un<OP_not, bool>(lit(5))));
    EXPECT_TRUE((un<OP_not, bool>(lit(0))));
    EXPECT_FALSE((un<OP_not, bool>(lit(true))));
    EXPECT_EQ((bin<OP_and, I>(lit(12), lit(10))), 8);
    EXPECT_EQ((bin<OP_or, I>(lit(12), lit(10))), 14);
    EXPECT_EQ((bin<OP_xor, I>(lit(12), lit(10))), 6);
    EXPECT_TRUE((bin<OP_or, bool>(lit(false), lit(true))));
    EXPECT_FALSE((bin<OP_and, bool>(lit(true), lit(false))));
}

// The math tests check the edges of to_int, floor and ceil (NaN, -0, out of range).
TEST_F(arithmetic_test, conversions_and_rounding)
{
    EXPECT_EQ((un<OP_int, I>(lit(-3.9f))), -3);
    EXPECT_EQ((un<OP_floor, F>(lit(-3.9f))), -4.0f);
    EXPECT_EQ((un<OP_ceil, F>(lit(-3.9f))), -3.0f);
    EXPECT_EQ((un<OP_float, F>(lit(I(16777217)))), 16777216.0f);
    EXPECT_EQ((un<OP_float, F>(lit(I(-3)))), -3.0f);
}

TEST_F(arithmetic_test, clamp_is_a_byte_for_ints_and_saturation_for_floats)
{
    EXPECT_EQ((un<OP_clamp, I>(lit(300))), 255);
    EXPECT_EQ((un<OP_clamp, I>(lit(-4))), 0);
    EXPECT_EQ((un<OP_clamp, F>(lit(300.0f))), 1.0f);
    EXPECT_EQ((un<OP_clamp, F>(lit(0.25f))), 0.25f);
    EXPECT_TRUE(same(un<OP_clamp, vec3>(lit(vec3 { -3, 0.25f, 7 })), vec3 { 0, 0.25f, 1 }));
    EXPECT_TRUE(same(un<OP_clamp, vec4>(lit(vec4 { nan_value, -1, 0.5f, 2 })), vec4 { 0, 0, 0.5f, 1 }));
}

} // namespace
} // namespace node_test
