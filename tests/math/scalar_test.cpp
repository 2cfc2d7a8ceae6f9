// Scalar routines: truncation, rounding, clamping, guarded int division and the
// decimal texts of ints and floats.
#include <cfloat>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "engine/kernel/math/scalar.h"

namespace {

constexpr float nan_value = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

// Same value, and for zeros the same sign; NaN matches NaN.
void expect_same(float expected, float actual, float input)
{
    if (std::isnan(expected)) {
        EXPECT_TRUE(std::isnan(actual)) << "input " << input;
        return;
    }
    EXPECT_EQ(expected, actual) << "input " << input;
    EXPECT_EQ(std::signbit(expected), std::signbit(actual)) << "input " << input;
}

TEST(ToInt, TruncatesTowardZeroAndMapsTheUnrepresentableToIntMin)
{
    struct {
        float in;
        int32_t out;
    } cases[] = {
        { 2.9f, 2 },
        { -2.9f, -2 },
        { 2147483520.0f, 2147483520 }, // largest float below 2^31
        { -2147483648.0f, INT32_MIN },
        { 2147483648.0f, INT32_MIN },
        { -3e9f, INT32_MIN },
        { nan_value, INT32_MIN },
        { inf, INT32_MIN },
        { -inf, INT32_MIN },
    };
    for (auto c : cases)
        EXPECT_EQ(c.out, math::to_int(c.in)) << c.in;
}

TEST(Rounding, FloorAndCeilOverTheTruncation)
{
    struct {
        float in, floor, ceil;
    } cases[] = {
        { -1.5f, -2.0f, -1.0f },
        { 1.5f, 1.0f, 2.0f },
        { -0.5f, -1.0f, 0.0f }, // ceil gives +0.0 from the integer 0
        { 0.5f, 0.0f, 1.0f },
        { 8388607.5f, 8388607.0f, 8388608.0f },
        { 2.0f, 2.0f, 2.0f },
        { -0.0f, -0.0f, -0.0f }, // integral: returned as it is
        { 3.0e9f, 3.0e9f, 3.0e9f }, // out of the int range: unchanged
        { -3.0e9f, -3.0e9f, -3.0e9f },
        { -2147483648.0f, -2147483648.0f, -2147483648.0f },
        { inf, inf, inf },
        { nan_value, nan_value, nan_value },
    };
    for (auto c : cases) {
        expect_same(c.floor, math::floor(c.in), c.in);
        expect_same(c.ceil, math::ceil(c.in), c.in);
    }
}

TEST(Clamping, SaturateAndClampByte)
{
    struct {
        float in, out;
    } unit[] = { { -3.0f, 0.0f }, { 0.25f, 0.25f }, { 7.0f, 1.0f }, { 1.0f, 1.0f }, { -0.0f, 0.0f }, { -inf, 0.0f },
        { inf, 1.0f } };
    for (auto c : unit)
        expect_same(c.out, math::saturate(c.in), c.in);
    // The scalar form computes (|x| + x) * 0.5, through which NaN passes.
    EXPECT_TRUE(std::isnan(math::saturate(nan_value)));

    struct {
        int32_t in, out;
    } bytes[] = { { 300, 255 }, { -4, 0 }, { 255, 255 }, { 0, 0 }, { 17, 17 }, { INT32_MIN, 0 }, { INT32_MAX, 255 } };
    for (auto c : bytes)
        EXPECT_EQ(c.out, math::clamp_byte(c.in)) << c.in;
}

TEST(IntArithmetic, DivisionAndRemainderNeverTrap)
{
    struct {
        int32_t a, b, quotient, remainder;
    } cases[] = {
        { 7, 2, 3, 1 },
        { -7, 2, -3, -1 },
        { 7, -2, -3, 1 },
        { 5, -1, -5, 0 },
        { 7, 0, 0, 0 },
        { 0, 0, 0, 0 },
        { INT32_MIN, 0, 0, 0 },
        { INT32_MIN, -1, INT32_MIN, 0 },
        { INT32_MIN, 1, INT32_MIN, 0 },
        { INT32_MAX, -1, -INT32_MAX, 0 },
    };
    for (auto c : cases) {
        EXPECT_EQ(c.quotient, math::int_div(c.a, c.b)) << c.a << " / " << c.b;
        EXPECT_EQ(c.remainder, math::int_mod(c.a, c.b)) << c.a << " % " << c.b;
    }
}

TEST(Text, IntsInDecimal)
{
    EXPECT_STREQ("-42", math::int_to_text(-42).c_str());
    EXPECT_STREQ("0", math::int_to_text(0).c_str());
    EXPECT_STREQ("-2147483648", math::int_to_text(INT32_MIN).c_str());
    EXPECT_STREQ("2147483647", math::int_to_text(INT32_MAX).c_str());
}

TEST(Text, FloatsInFullPercentF)
{
    string_base t = math::float_to_text(1.5f);
    EXPECT_STREQ("1.500000", t.c_str());
    EXPECT_EQ(8u, t.size());
    EXPECT_STREQ("-0.000000", math::float_to_text(-0.0f).c_str());
    EXPECT_STREQ("0.000000", math::float_to_text(1e-7f).c_str());
    // Texts longer than 33 characters come out whole.
    EXPECT_STREQ("1000000015047466219876688855040.000000", math::float_to_text(1e30f).c_str());
    string_base widest = math::float_to_text(-FLT_MAX);
    EXPECT_STREQ("-340282346638528859811704183484516925440.000000", widest.c_str());
    EXPECT_EQ(47u, widest.size());
    EXPECT_STREQ("inf", math::float_to_text(inf).c_str());
}

} // namespace
