// Conditional choice, component extraction and the vector constructors:
// evaluation, the bind short cut of a constant condition, folding of the two
// node_vec4 forms and of a node_vec3 built from one shared scalar.
#include "engine/kernel/Parser/node_extract.h"
#include "engine/kernel/Parser/node_select.h"
#include "engine/kernel/Parser/node_vec.h"
#include "tests/nodes/operator_test_support.h"

namespace node_test {
namespace {

using select_extract_vec_test = nodes_test;

TEST_F(select_extract_vec_test, class_tags)
{
    EXPECT_EQ(node_select<I>::class_tag, 0x90000001u);
    EXPECT_EQ(node_select<F>::class_tag, 0x90000002u);
    EXPECT_EQ(node_select<vec3>::class_tag, 0x90000003u);
    EXPECT_EQ(node_select<vec4>::class_tag, 0x90000004u);
    EXPECT_EQ(node_select<S>::class_tag, 0x90000006u);
    EXPECT_EQ((node_extract<F, vec3>::class_tag), 0x82000003u);
    EXPECT_EQ((node_extract<F, vec4>::class_tag), 0x82000004u);
    EXPECT_EQ((node_extract<vec3, vec4>::class_tag), 0x83000004u);
    EXPECT_EQ(node_vec3::class_tag, 0x63000000u);
    EXPECT_EQ(node_vec4::class_tag, 0x74000000u);
}

TEST_F(select_extract_vec_test, select_evaluates_only_the_chosen_branch)
{
    leaf_evaluations = 0;
    EXPECT_EQ(value_of(new node_select<I>(lit(false), extern_leaf<I>(0), lit(9))), 9);
    EXPECT_EQ(leaf_evaluations, 0);
    EXPECT_EQ(value_of(new node_select<S>(lit(true), lit("yes"), extern_leaf<S>(0))), "yes");
    EXPECT_EQ(leaf_evaluations, 0);
    globals.at<vec4>(1) = { 1, 2, 3, 4 };
    EXPECT_TRUE(
        same(value_of(new node_select<vec4>(lit(true), extern_leaf<vec4>(1), lit(vec4 {}))), vec4 { 1, 2, 3, 4 }));
}

TEST_F(select_extract_vec_test, bind_with_a_constant_condition_keeps_the_chosen_branch)
{
    test_leaf<F>* chosen = extern_leaf<F>(0);
    auto* root = new node_select<F>(lit(true), chosen, extern_leaf<F>(1));
    EXPECT_EQ(root->bind(nullptr, environment), chosen);
    EXPECT_EQ(chosen->refs, 2);
    chosen->release();
    root->release();

    // The chosen branch is itself constant: the whole choice is.
    auto* constant_branch = new node_select<F>(lit(false), extern_leaf<F>(0), lit(2.0f));
    EXPECT_EQ(constant_branch->bind(nullptr, environment), nullptr);
    constant_branch->release();

    // The condition decided by the frame.
    leaf_values frame;
    frame.at<bool>(0) = false;
    test_leaf<I>* other = extern_leaf<I>(1);
    auto* by_frame = new node_select<I>(param_leaf<bool>(0), extern_leaf<I>(0), other);
    EXPECT_EQ(by_frame->bind(as_frame(&frame), environment), other);
    other->release();
    by_frame->release();
}

TEST_F(select_extract_vec_test, bind_with_an_open_condition)
{
    auto* shared = new node_select<I>(extern_leaf<bool>(0), lit(1), lit(2));
    EXPECT_EQ(shared->bind(nullptr, environment), shared);
    EXPECT_EQ(shared->refs, 2);
    shared->release();
    shared->release();

    leaf_values frame;
    frame.at<I>(0) = 5;
    globals.at<bool>(0) = true;
    auto* root = new node_select<I>(extern_leaf<bool>(0), param_leaf<I>(0), lit(2));
    auto* bound = dynamic_cast<node_select<I>*>(root->bind(as_frame(&frame), environment));
    ASSERT_NE(bound, nullptr);
    EXPECT_EQ(bound->a, root->a);
    EXPECT_EQ(bound->c, root->c);
    EXPECT_EQ(eval<I>(bound), 5);
    bound->release();
    root->release();
}

TEST_F(select_extract_vec_test, extraction_reads_components)
{
    const vec4 v { 1, 2, 3, 4 };
    for (int32_t i = 0; i < 4; ++i)
        EXPECT_EQ(value_of(new node_extract<F, vec4>(lit(v), i)), float(i + 1));
    for (int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(value_of(new node_extract<F, vec3>(lit(vec3 { 5, 6, 7 }), i)), float(i + 5));
    auto* xyz = new node_extract<vec3, vec4>(lit(v), 0);
    EXPECT_EQ(xyz->index, 4);
    EXPECT_TRUE(same(value_of(xyz), vec3 { 1, 2, 3 }));
    // Outside the vector (never built by the grammar) reads 0, not past the value.
    EXPECT_EQ(value_of(new node_extract<F, vec3>(lit(vec3 { 5, 6, 7 }), 3)), 0.0f);
    EXPECT_EQ(value_of(new node_extract<F, vec4>(lit(v), -1)), 0.0f);
}

TEST_F(select_extract_vec_test, bind_of_an_extraction_copies_the_index)
{
    leaf_values frame;
    frame.at<vec4>(0) = { 1, 2, 3, 4 };
    globals.at<vec4>(1) = { 10, 20, 30, 40 };
    using add4 = node_op2<OP_add, vec4, vec4, vec4>;
    auto* root = new node_extract<F, vec4>(new add4(param_leaf<vec4>(0), extern_leaf<vec4>(1)), 3);
    auto* bound = dynamic_cast<node_extract<F, vec4>*>(root->bind(as_frame(&frame), environment));
    ASSERT_NE(bound, nullptr);
    ASSERT_NE(bound, root);
    EXPECT_EQ(bound->index, 3);
    EXPECT_EQ(eval<F>(bound), 44.0f);
    bound->release();
    root->release();
}

TEST_F(select_extract_vec_test, vec3_from_one_scalar_folds_to_one_constant)
{
    node_val<F>* s = lit(0.5f);
    s->refs += 2; // one reference per slot, as the grammar makes it
    auto* v = new node_vec3(s, s, s);
    node_exp* folded = v->optimize(false, environment);
    auto* value = dynamic_cast<node_val<vec3>*>(folded);
    ASSERT_NE(value, nullptr);
    EXPECT_TRUE(same(value->value, vec3 { 0.5f, 0.5f, 0.5f }));
    EXPECT_EQ(node_pool_live_count(), 1u);
    folded->release();
}

TEST_F(select_extract_vec_test, vec3_from_one_shared_leaf_binds_as_three_children)
{
    test_leaf<F>* s = extern_leaf<F>(0);
    s->refs += 2;
    auto* v = new node_vec3(s, s, s);
    EXPECT_EQ(v->bind(nullptr, environment), v);
    EXPECT_EQ(s->refs, 3);
    EXPECT_EQ(v->refs, 2);
    v->release();
    v->release();

    leaf_values frame;
    frame.at<F>(0) = 7;
    test_leaf<F>* p = param_leaf<F>(0);
    p->refs += 2;
    auto* w = new node_vec3(p, p, p);
    node_expr<vec3>* bound = w->bind(as_frame(&frame), environment);
    EXPECT_EQ(bound, nullptr); // constant under the frame
    EXPECT_FALSE(w->fold_constants(false, environment));
    w->release();
}

TEST_F(select_extract_vec_test, vec4_forms_evaluate_in_order)
{
    EXPECT_TRUE(same(value_of(new node_vec4(lit(1.0f), lit(2.0f), lit(3.0f), lit(4.0f))), vec4 { 1, 2, 3, 4 }));
    EXPECT_TRUE(same(value_of(new node_vec4(lit(vec3 { 1, 2, 3 }), lit(4.0f))), vec4 { 1, 2, 3, 4 }));
    EXPECT_TRUE(same(value_of(new node_vec3(lit(1.0f), lit(2.0f), lit(3.0f))), vec3 { 1, 2, 3 }));
}

TEST_F(select_extract_vec_test, vec4_from_a_variable_vec3_keeps_its_form_and_folds_w)
{
    test_leaf<vec3>* xyz = extern_leaf<vec3>(0);
    auto* v = new node_vec4(xyz, new node_op2<OP_add, F, F, F>(lit(0.5f), lit(0.5f)));
    ASSERT_EQ(v->optimize(false, environment), v);
    EXPECT_EQ(v->xyz, xyz);
    EXPECT_EQ(v->x, nullptr);
    auto* w = dynamic_cast<node_val<F>*>(v->w);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->value, 1.0f);

    // And the other way round: a constant vec3 part folds, w stays open.
    auto* u = new node_vec4(new node_vec3(lit(1.0f), lit(2.0f), lit(3.0f)), extern_leaf<F>(0));
    EXPECT_FALSE(u->fold_constants(false, environment));
    EXPECT_NE(dynamic_cast<node_val<vec3>*>(u->xyz), nullptr);
    u->release();

    leaf_values frame;
    auto* p = new node_vec4(param_leaf<vec3>(0), extern_leaf<F>(0));
    auto* bound = dynamic_cast<node_vec4*>(p->bind(as_frame(&frame), environment));
    ASSERT_NE(bound, nullptr);
    EXPECT_NE(bound->xyz, nullptr);
    EXPECT_EQ(bound->x, nullptr);
    bound->release();
    p->release();
    v->release();
}

} // namespace
} // namespace node_test
