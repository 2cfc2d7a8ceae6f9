// mtx44 routines: products and transforms, the cofactor inverse (also of a
// singular matrix), the rotation builders, frames and orientations.
#include <cmath>

#include <gtest/gtest.h>

#include "engine/kernel/math/matrix_ops.h"
#include "engine/kernel/math/vector_ops.h"

namespace {

constexpr float tolerance = 1e-5f;

mtx44 from(const float (&values)[16])
{
    mtx44 m;
    for (int i = 0; i < 16; ++i)
        m.m[i] = values[i];
    return m;
}

void expect_near(const mtx44& expected, const mtx44& actual, float tol = tolerance)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(expected.m[i], actual.m[i], tol) << "element " << i;
}

void expect_near(vec3 expected, vec3 actual, float tol = tolerance)
{
    EXPECT_NEAR(expected.x, actual.x, tol);
    EXPECT_NEAR(expected.y, actual.y, tol);
    EXPECT_NEAR(expected.z, actual.z, tol);
}

TEST(Matrix, MultiplyTransposeTransformsAndScaling)
{
    mtx44 a = from({ 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16 });
    mtx44 b = from({ 2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 1, 1, 1, 1 });
    expect_near(from({ 6, 10, 16, 4, 18, 26, 36, 8, 30, 42, 56, 12, 42, 58, 76, 16 }), math::multiply(a, b), 0);
    expect_near(from({ 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16 }), math::transpose(a), 0);

    // Row 3 never reaches the vec3 results: no division by w.
    expect_near(vec3 { 18, 46, 74 }, math::transform_point(a, { 1, 2, 3 }), 0);
    expect_near(vec3 { 14, 38, 62 }, math::transform_vector(a, { 1, 2, 3 }), 0);
    vec4 r = math::transform(a, { 1, 2, 3, 2 });
    EXPECT_EQ(22.0f, r.x);
    EXPECT_EQ(54.0f, r.y);
    EXPECT_EQ(86.0f, r.z);
    EXPECT_EQ(118.0f, r.w);
    expect_near(vec3 { 4, 10, 18 }, math::transform_point(math::make_scaling(4, 5, 6), { 1, 2, 3 }), 0);
}

TEST(Matrix, TransformVectorLeavesTheTranslationColumnOut)
{
    // Non-finite translations never reach a direction, and negative zeros keep
    // their sign: only the upper-left 3x3 enters the three products per row.
    const float inf = INFINITY, nan = NAN;
    for (mtx44 m : { math::make_translation(nan, 0, 0), math::make_translation(inf, -inf, nan) }) {
        vec3 r = math::transform_vector(m, { 1, 2, 3 });
        EXPECT_EQ(1.0f, r.x);
        EXPECT_EQ(2.0f, r.y);
        EXPECT_EQ(3.0f, r.z);
    }
    vec3 z = math::transform_vector(math::make_scaling(1, 1, 1), { -0.0f, -0.0f, -0.0f });
    for (float c : { z.x, z.y, z.z }) {
        EXPECT_EQ(0.0f, c);
        EXPECT_TRUE(std::signbit(c));
    }
}

TEST(Invert, KnownMatrix)
{
    // Block diagonal with an exact inverse: [[1, 2], [3, 4]] and 2, then a translation.
    mtx44 m = from({ 1, 2, 0, 5, 3, 4, 0, 6, 0, 0, 2, 7, 0, 0, 0, 1 });
    mtx44 inverse = m;
    math::invert(inverse);
    expect_near(from({ -2, 1, 0, 4, 1.5f, -0.5f, 0, -4.5f, 0, 0, 0.5f, -3.5f, 0, 0, 0, 1 }), inverse);

    mtx44 general = math::multiply(math::make_translation(3, -2, 5),
        math::multiply(math::make_rotation_xyz(30, 45, 60), math::make_scaling(2, 3, 4)));
    general.m[12] = 0.5f; // a projective row as well
    mtx44 g = general;
    math::invert(g);
    expect_near(mtx44 {}, math::multiply(general, g));
    expect_near(mtx44 {}, math::multiply(g, general));
}

TEST(Invert, SingularMatricesGiveNonFiniteElements)
{
    mtx44 zero = from({ 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 });
    mtx44 equal_rows = from({ 1, 2, 3, 4, 1, 2, 3, 4, 0, 0, 1, 0, 0, 0, 0, 1 });
    for (mtx44 m : { zero, equal_rows }) {
        math::invert(m);
        for (float e : m.m)
            EXPECT_FALSE(std::isfinite(e));
    }
}

TEST(Rotation, XyzIsRxThenRyThenRz)
{
    expect_near(vec3 { 0, 1, 0 }, math::transform_vector(math::make_rotation_xyz(0, 0, 90), { 1, 0, 0 }));
    expect_near(vec3 { 0, 0, 1 }, math::transform_vector(math::make_rotation_xyz(90, 0, 0), { 0, 1, 0 }));
    expect_near(vec3 { 0, 0, -1 }, math::transform_vector(math::make_rotation_xyz(0, 90, 0), { 1, 0, 0 }));
    const float angles[][3] = { { 30, 45, 60 }, { -120, 10, 250 }, { 90, 90, 90 } };
    for (auto& a : angles) {
        mtx44 rx = math::make_rotation_axis({ 1, 0, 0 }, a[0]);
        mtx44 ry = math::make_rotation_axis({ 0, 1, 0 }, a[1]);
        mtx44 rz = math::make_rotation_axis({ 0, 0, 1 }, a[2]);
        expect_near(math::multiply(math::multiply(rx, ry), rz), math::make_rotation_xyz(a[0], a[1], a[2]));
    }
}

TEST(Rotation, AxisIsNotNormalized)
{
    expect_near(math::make_rotation_xyz(0, 0, 90), math::make_rotation_axis({ 0, 0, 1 }, 90));
    // An axis of length 2 rotates and scales: t = 1 - cos 90 = 1 multiplies z^2.
    mtx44 m = math::make_rotation_axis({ 0, 0, 2 }, 90);
    expect_near(vec3 { 0, 2, 0 }, math::transform_vector(m, { 1, 0, 0 }));
    expect_near(vec3 { 0, 0, 4 }, math::transform_vector(m, { 0, 0, 1 }));
}

TEST(Frame, ColumnsAreRightUpForwardAndPosition)
{
    expect_near(math::make_translation(1, 2, 3), math::make_frame({ 1, 2, 3 }, { 0, 0, 5 }, { 0, 1, 0 }));
    mtx44 side = math::make_frame({ 0, 0, 0 }, { 4, 0, 0 }, { 0, 1, 0 });
    expect_near(from({ 0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1 }), side);
    // Up parallel to the direction: the right axis comes from (1, 0, 0) x f.
    mtx44 upward = math::make_frame({ 0, 0, 0 }, { 0, 3, 0 }, { 0, 1, 0 });
    expect_near(from({ 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1 }), upward);

    vec3 direction = math::normalize({ 1, -2, 0.5f });
    mtx44 f = math::make_frame({ 0, 0, 0 }, { 2, -4, 1 }, { 0, 1, 0 });
    expect_near(direction, math::transform_vector(f, { 0, 0, 1 }));
    expect_near(mtx44 {}, math::multiply(math::transpose(f), f)); // orthonormal
}

TEST(Frame, OrientationMapsWorldIntoTheFrame)
{
    vec3 position { 1, 2, 3 };
    vec3 direction { 0, 0.6f, 0.8f };
    mtx44 o = math::make_orientation(direction, position);
    expect_near(vec3 { 0, 0, 0 }, math::transform_point(o, position));
    expect_near(vec3 { 0, 0, 2 }, math::transform_point(o, { 1, 2 + 1.2f, 3 + 1.6f }));

    // The up vector switches to +z only beyond |y| 0.9999 of the raw direction.
    struct {
        vec3 direction, up;
    } cases[] = { { { 0, 0.99995f, 0.01f }, { 0, 0, 1 } }, { { 0, -2, 0 }, { 0, 0, 1 } },
        { { 0, 0.9998f, 0.02f }, { 0, 1, 0 } } };
    for (auto c : cases) {
        mtx44 expected = math::make_frame(position, c.direction, c.up);
        math::invert(expected);
        expect_near(expected, math::make_orientation(c.direction, position), 0);
    }
}

} // namespace
