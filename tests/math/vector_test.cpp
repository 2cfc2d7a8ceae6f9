// vec3 / vec4 routines: normalisation threshold, products in their mixed forms,
// lengths and the two saturations (NaN handling differs between them).
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

TEST(Lengths, LengthDistAndSquaredDist)
{
    EXPECT_FLOAT_EQ(5.0f, math::length({ 3, 4, 0 }));
    EXPECT_FLOAT_EQ(13.0f, math::dist({ 1, 1, 1 }, { 4, 5, 13 }));
    EXPECT_FLOAT_EQ(169.0f, math::dist2({ 1, 1, 1 }, { 4, 5, 13 }));
}

TEST(Saturate, Vec3ClampsEachComponentAndKeepsNaN)
{
    vec3 r = math::saturate(vec3 { -3.0f, 0.25f, 7.0f });
    expect_vec3({ 0.0f, 0.25f, 1.0f }, r);
    EXPECT_TRUE(std::isnan(math::saturate(vec3 { nan_value, 0, 0 }).x));
}

TEST(Saturate, Vec4TurnsNaNIntoZero)
{
    const float inf = std::numeric_limits<float>::infinity();
    vec4 r = math::saturate(vec4 { nan_value, -0.0f, inf, 0.5f });
    EXPECT_EQ(0.0f, r.x);
    EXPECT_FALSE(std::signbit(r.x));
    EXPECT_EQ(0.0f, r.y);
    EXPECT_FALSE(std::signbit(r.y));
    EXPECT_EQ(1.0f, r.z);
    EXPECT_EQ(0.5f, r.w);
    vec4 s = math::saturate(vec4 { -3.0f, 7.0f, -inf, 1.0f });
    EXPECT_EQ(0.0f, s.x);
    EXPECT_EQ(1.0f, s.y);
    EXPECT_EQ(0.0f, s.z);
    EXPECT_EQ(1.0f, s.w);
}

} // namespace
