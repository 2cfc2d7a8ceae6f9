// Vector and matrix operators: component-wise forms, the float second operand,
// division by reciprocal, dot products with mixed vectors, transforms and the
// matrix builders.
#include "engine/kernel/math/matrix_ops.h"
#include "tests/nodes/operator_test_support.h"

namespace node_test {
namespace {

using vector_matrix_test = nodes_test;

bool near(vec3 a, vec3 b, float eps = 1e-5f)
{
    return std::fabs(a.x - b.x) < eps && std::fabs(a.y - b.y) < eps && std::fabs(a.z - b.z) < eps;
}

// Equal as numbers (so -0 equals 0).
bool equal(const mtx44& a, const mtx44& b)
{
    for (int i = 0; i < 16; ++i)
        if (a.m[i] != b.m[i])
            return false;
    return true;
}

mtx44 translation(float x, float y, float z) { return math::make_translation(x, y, z); }

TEST_F(vector_matrix_test, component_wise_arithmetic_with_a_float_second_operand)
{
    EXPECT_TRUE(same(bin<OP_add, vec3>(lit(vec3 { 1, 2, 3 }), lit(10.0f)), vec3 { 11, 12, 13 }));
    EXPECT_TRUE(same(bin<OP_sub, vec4>(lit(vec4 { 1, 2, 3, 4 }), lit(vec4 { 4, 3, 2, 1 })), vec4 { -3, -1, 1, 3 }));
    EXPECT_TRUE(same(bin<OP_mul, vec4>(lit(vec4 { 1, 2, 3, 4 }), lit(2.0f)), vec4 { 2, 4, 6, 8 }));
    EXPECT_TRUE(same(bin<OP_pow, vec3>(lit(vec3 { 2, 3, 4 }), lit(2.0f)), vec3 { 4, 9, 16 }));
    EXPECT_TRUE(same(bin<OP_pow, vec4>(lit(vec4 { 2, 3, 4, 9 }), lit(vec4 { 3, 2, 0.5f, 0.5f })), vec4 { 8, 9, 2, 3 }));
    EXPECT_TRUE(same(un<OP_abs, vec3>(lit(vec3 { -1, 2, -0.0f })), vec3 { 1, 2, 0 }));
    EXPECT_TRUE(same(bin<OP_div, vec3>(lit(vec3 { 1, 8, 9 }), lit(vec3 { 2, 4, 3 })), vec3 { 0.5f, 2, 3 }));
}

TEST_F(vector_matrix_test, a_vector_divided_by_a_float_is_multiplied_by_the_reciprocal)
{
    volatile float three = 3.0f; // keep the compiler from folding the expectations
    float r = 1.0f / three;
    vec3 got = bin<OP_div, vec3>(lit(vec3 { 10, 5, 7 }), lit(3.0f));
    EXPECT_TRUE(same(got, vec3 { 10 * r, 5 * r, 7 * r }));
    EXPECT_NE(bits(got.x), bits(10.0f / three)); // the two roundings differ here
    vec4 got4 = bin<OP_div, vec4>(lit(vec4 { 10, 5, 7, 100 }), lit(3.0f));
    EXPECT_TRUE(same(got4, vec4 { 10 * r, 5 * r, 7 * r, 100 * r }));
}

TEST_F(vector_matrix_test, dot_products_add_the_w_of_a_mixed_vec4)
{
    EXPECT_EQ((bin<OP_dot, F>(lit(vec4 { 0, 1, 0, -5 }), lit(vec3 { 3, 7, 9 }))), 2.0f);
    EXPECT_EQ((bin<OP_dot, F>(lit(vec3 { 1, 2, 3 }), lit(vec4 { 1, 1, 1, 10 }))), 16.0f);
    EXPECT_EQ((bin<OP_dot, F>(lit(vec3 { 1, 2, 3 }), lit(vec3 { 4, 5, 6 }))), 32.0f);
    EXPECT_EQ((bin<OP_dot, F>(lit(vec4 { 1, 2, 3, 4 }), lit(vec4 { 1, 1, 1, 1 }))), 10.0f);
}

TEST_F(vector_matrix_test, lengths_cross_and_normalize)
{
    EXPECT_EQ((un<OP_length, F>(lit(vec3 { 3, 4, 12 }))), 13.0f);
    EXPECT_EQ((bin<OP_dist, F>(lit(vec3 { 1, 1, 1 }), lit(vec3 { 4, 5, 1 }))), 5.0f);
    EXPECT_EQ((bin<OP_dist2, F>(lit(vec3 { 1, 1, 1 }), lit(vec3 { 4, 5, 1 }))), 25.0f);
    EXPECT_TRUE(same(bin<OP_cross, vec3>(lit(vec3 { 1, 0, 0 }), lit(vec3 { 0, 1, 0 })), vec3 { 0, 0, 1 }));
    EXPECT_TRUE(same(un<OP_normalize, vec3>(lit(vec3 { 0, 3, 4 })), vec3 { 0, 0.6f, 0.8f }));
}

TEST_F(vector_matrix_test, point_and_vector_transforms)
{
    EXPECT_TRUE(same(bin<OP_mulp, vec3>(lit(translation(1, 2, 3)), lit(vec3 { 0, 0, 0 })), vec3 { 1, 2, 3 }));
    EXPECT_TRUE(same(bin<OP_mulv, vec3>(lit(translation(1, 2, 3)), lit(vec3 { 0, 0, 0 })), vec3 { 0, 0, 0 }));
    EXPECT_TRUE(same(bin<OP_mulp, vec4>(lit(translation(1, 2, 3)), lit(vec4 { 1, 1, 1, 0 })), vec4 { 1, 1, 1, 0 }));
    EXPECT_TRUE(same(bin<OP_mulp, vec4>(lit(translation(1, 2, 3)), lit(vec4 { 1, 1, 1, 2 })), vec4 { 3, 5, 7, 2 }));
}

TEST_F(vector_matrix_test, matrix_builders_and_products)
{
    // Translation after scaling: the product applies the right matrix first.
    auto* scale_then_move
        = new node_op2<OP_mul, mtx44, mtx44, mtx44>(new node_op1<OP_translation, mtx44, vec3>(lit(vec3 { 1, 0, 0 })),
            new node_op1<OP_scaling, mtx44, F>(lit(2.0f)));
    EXPECT_TRUE(same(bin<OP_mulp, vec3>(scale_then_move, lit(vec3 { 1, 1, 1 })), vec3 { 3, 2, 2 }));
    EXPECT_TRUE(same(tri<OP_translation, mtx44>(lit(1.0f), lit(2.0f), lit(3.0f)), translation(1, 2, 3)));
    EXPECT_TRUE(same(tri<OP_scaling, mtx44>(lit(1.0f), lit(2.0f), lit(3.0f)), math::make_scaling(1, 2, 3)));
    EXPECT_TRUE(same(un<OP_scaling, mtx44>(lit(vec3 { 1, 2, 3 })), math::make_scaling(1, 2, 3)));
    EXPECT_TRUE(same(un<OP_transpose, mtx44>(lit(translation(1, 2, 3))), math::transpose(translation(1, 2, 3))));
    EXPECT_TRUE(equal(un<OP_invert, mtx44>(lit(translation(1, 2, 3))), translation(-1, -2, -3)));
}

TEST_F(vector_matrix_test, rotations_turn_x_into_y)
{
    auto* axis = new node_op2<OP_rotation, mtx44, vec3, F>(lit(vec3 { 0, 0, 1 }), lit(90.0f));
    EXPECT_TRUE(near(bin<OP_mulp, vec3>(axis, lit(vec3 { 1, 0, 0 })), vec3 { 0, 1, 0 }));
    auto* xyz = new node_op3<OP_rotation, mtx44, F, F, F>(lit(0.0f), lit(0.0f), lit(90.0f));
    EXPECT_TRUE(near(bin<OP_mulp, vec3>(xyz, lit(vec3 { 1, 0, 0 })), vec3 { 0, 1, 0 }));
}

TEST_F(vector_matrix_test, orientation_maps_world_space_into_the_frame)
{
    const vec3 direction { 0, 0, 2 }, position { 1, 2, 3 };
    auto orientation = [&] { return new node_op2<OP_orientation, mtx44, vec3, vec3>(lit(direction), lit(position)); };
    EXPECT_TRUE(near(bin<OP_mulp, vec3>(orientation(), lit(position)), vec3 { 0, 0, 0 }));
    EXPECT_TRUE(near(bin<OP_mulp, vec3>(orientation(), lit(vec3 { 1, 2, 5 })), vec3 { 0, 0, 2 }));
}

TEST_F(vector_matrix_test, replace_sets_one_component)
{
    const vec4 v { 1, 2, 3, 4 };
    EXPECT_TRUE(same(bin<OP_replaceX, vec4>(lit(v), lit(9.0f)), vec4 { 9, 2, 3, 4 }));
    EXPECT_TRUE(same(bin<OP_replaceY, vec4>(lit(v), lit(9.0f)), vec4 { 1, 9, 3, 4 }));
    EXPECT_TRUE(same(bin<OP_replaceZ, vec4>(lit(v), lit(9.0f)), vec4 { 1, 2, 9, 4 }));
    EXPECT_TRUE(same(bin<OP_replaceW, vec4>(lit(v), lit(9.0f)), vec4 { 1, 2, 3, 9 }));
}

} // namespace
} // namespace node_test
