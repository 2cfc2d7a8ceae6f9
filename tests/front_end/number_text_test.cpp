// The tool's number texts against printf's "%.9g" of the value widened to
// double: the edge values one by one, runs of neighbouring floats where the
// rounding and the layout change, and a sweep over the whole range of bit
// patterns (every exponent, both signs).
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "tools/mcscript/number_text.h"

namespace {

std::string printed(float f)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.9g", double(f));
    return text;
}

std::string appended(float f)
{
    std::string out = "x"; // appends after what is there
    mcscript::append_number(out, f);
    return out.substr(1);
}

float from_bits(uint32_t bits)
{
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

uint32_t bits_of(float f)
{
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

TEST(NumberText, EdgeValuesMatchPrintf)
{
    using limits = std::numeric_limits<float>;
    const float values[] = { 0.0f, -0.0f, 1.0f, -1.0f, 0.1f, 1e-5f, 1e-4f, 123456789.0f, 1e9f, 1e10f, 16777217.0f,
        FLT_MAX, -FLT_MAX, FLT_MIN, -FLT_MIN, limits::denorm_min(), -limits::denorm_min(), from_bits(0x007fffff),
        limits::infinity(), -limits::infinity(), limits::quiet_NaN(), -limits::quiet_NaN(), limits::signaling_NaN(),
        from_bits(0xffc00001), 1.0f / 3.0f, 2.5f, 0.75f };
    for (float v : values)
        EXPECT_EQ(appended(v), printed(v)) << "bits 0x" << std::hex << bits_of(v);
}

// Counts the floats from bits first on, count of them, whose text differs;
// reports the first few.
int mismatches_from(uint32_t first, uint32_t count, uint32_t stride = 1)
{
    int mismatches = 0;
    for (uint32_t i = 0; i < count; ++i) {
        float v = from_bits(first + i * stride);
        if (appended(v) != printed(v) && ++mismatches <= 5)
            ADD_FAILURE() << printed(v) << " printed as " << appended(v);
    }
    return mismatches;
}

TEST(NumberText, NeighbouringFloatsWhereRoundingAndLayoutChangeMatchPrintf)
{
    // Exact ties at the ninth digit (1000000.125 is 100000012|5), the switches
    // between fixed and exponent form, carries into a new leading digit, and
    // the ends of the exponents computed without the library.
    const float starts[] = { 1000000.0f, 8388608.0f, 1e-4f, 1e-5f, 999999.9f, 0.1f, 1e9f, 99999999.0f,
        std::ldexp(1.0f, -37), std::ldexp(1.0f, 83), std::ldexp(1.0f, 84), 1.0f };
    for (float start : starts) {
        EXPECT_EQ(mismatches_from(bits_of(start) - 20000, 40000), 0) << "around " << printed(start);
        EXPECT_EQ(mismatches_from(bits_of(start) - 20000 + 0x80000000u, 40000), 0) << "around -" << printed(start);
    }
}

TEST(NumberText, ASweepOverAllBitPatternsMatchesPrintf)
{
    // 2^32 / 4099: about a million floats, every exponent many times over.
    EXPECT_EQ(mismatches_from(0, 1047800, 4099), 0);
}

} // namespace
