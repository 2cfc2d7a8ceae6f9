// vec3 / vec4 routines: normalisation threshold, products in their mixed forms
// and the two saturations (NaN handling differs between them).
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "engine/kernel/math/vector_ops.h"

namespace {

constexpr float nan_value = std::numeric_limits<float>::quiet_NaN();

void expect_vec3(vec3 expected, vec3 actual)
{
    EXPECT_FLOAT_EQ(expected.x, actual.x);
    EXPECT_FLOAT_EQ(expected.y, actual.y);
    EXPECT_FLOAT_EQ(expected.z, actual.z);
}

TEST(Normalize, ScalesToUnitLengthAboveTheThresholdOnly)
{
    expect_vec3({ 0.6f, 0.0f, 0.8f }, math::normalize({ 3.0f, 0.0f, 4.0f }));
    expect_vec3({ 1.0f, 0.0f, 0.0f }, math::normalize({ 2e-6f, 0.0f, 0.0f }));
    // At or below 0.000001 the vector comes back as it was.
    const vec3 tiny[] = { { 0.0f, 0.0f, 0.0f }, { 1e-7f, 0.0f, 0.0f }, { 0.0f, -5e-7f, 5e-7f } };
    for (vec3 v : tiny) {
        vec3 r = math::normalize(v);
        EXPECT_EQ(v.x, r.x);
        EXPECT_EQ(v.y, r.y);
        EXPECT_EQ(v.z, r.z);
    }
}

TEST(Products, DotInEveryFormAndCross)
{
    EXPECT_EQ(14.0f, math::dot(vec3 { 1, 2, 3 }, vec3 { 1, 2, 3 }));
    EXPECT_EQ(30.0f, math::dot(vec4 { 1, 2, 3, 4 }, vec4 { 1, 2, 3, 4 }));
    // The mixed forms treat the vec3 as (x, y, z, 1): the vec4's w is added.
    EXPECT_EQ(16.0f, math::dot(vec3 { 1, 2, 3 }, vec4 { 1, 1, 1, 10 }));
    EXPECT_EQ(16.0f, math::dot(vec4 { 1, 1, 1, 10 }, vec3 { 1, 2, 3 }));
    expect_vec3({ 0, 0, 1 }, math::cross({ 1, 0, 0 }, { 0, 1, 0 }));
    expect_vec3({ -3, 6, -3 }, math::cross({ 1, 2, 3 }, { 4, 5, 6 }));
}

TEST(Saturate, Vec3KeepsNaNWhileVec4TurnsItIntoZero)
{
    const float inf = std::numeric_limits<float>::infinity();
    expect_vec3({ 0.0f, 0.25f, 1.0f }, math::saturate(vec3 { -3.0f, 0.25f, 7.0f }));
    EXPECT_TRUE(std::isnan(math::saturate(vec3 { nan_value, 0, 0 }).x));

    vec4 r = math::saturate(vec4 { nan_value, -0.0f, inf, -inf });
    const float expected[4] = { 0.0f, 0.0f, 1.0f, 0.0f };
    const float actual[4] = { r.x, r.y, r.z, r.w };
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(expected[i], actual[i]) << i;
        EXPECT_FALSE(std::signbit(actual[i])) << i;
    }
}

} // namespace
