// The node protocol on operator trees: optimize folds constant parts in place,
// bind yields null / the same node / a residual tree, the and / or short cuts,
// operand temporaries and flags.
#include "tests/nodes/operator_test_support.h"

namespace node_test {
namespace {

using fold_bind_test = nodes_test;

using add_int = node_op2<OP_add, I, I, I>;
using mul_int = node_op2<OP_mul, I, I, I>;
using and_bool = node_op2<OP_and, bool, bool, bool>;
using or_bool = node_op2<OP_or, bool, bool, bool>;

// A leaf whose evaluate writes nothing, so the operand temporary shows through.
template <typename T> class silent_leaf final : public node_expr<T> {
public:
    node_expr<T>* bind(call_frame*, void*) override
    {
        this->add_ref();
        return this;
    }
    void evaluate(void*, T&, call_frame*, void*) override { }
};

TEST_F(fold_bind_test, optimize_of_a_constant_tree_leaves_one_value_and_releases_the_root)
{
    auto* root = new add_int(lit(2), new mul_int(lit(3), lit(4)));
    node_exp* folded = root->optimize(false, environment);
    auto* value = dynamic_cast<node_val<I>*>(folded);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->value, 14);
    EXPECT_EQ(value->refs, 1);
    EXPECT_EQ(node_pool_live_count(), 1u);
    folded->release();
}

TEST_F(fold_bind_test, optimize_folds_the_constant_operand_of_a_variable_expression)
{
    test_leaf<I>* x = extern_leaf<I>(0);
    auto* root = new add_int(x, new mul_int(lit(2), lit(3)));
    node_exp* folded = root->optimize(false, environment);
    ASSERT_EQ(folded, root);
    EXPECT_EQ(root->a, x);
    auto* six = dynamic_cast<node_val<I>*>(root->b);
    ASSERT_NE(six, nullptr);
    EXPECT_EQ(six->value, 6);
    EXPECT_EQ(node_pool_live_count(), 3u);
    folded->release();
}

TEST_F(fold_bind_test, a_one_operand_node_answers_for_its_operand)
{
    test_leaf<I>* x = extern_leaf<I>(0);
    auto* root = new node_op1<OP_neg, I, I>(new add_int(x, new mul_int(lit(2), lit(3))));
    EXPECT_FALSE(root->fold_constants(false, environment));
    EXPECT_NE(dynamic_cast<node_val<I>*>(static_cast<add_int*>(root->a)->b), nullptr);
    root->release();
}

TEST_F(fold_bind_test, bind_gives_null_for_constants_and_shares_unchanged_trees)
{
    auto* constant = new add_int(lit(2), new mul_int(lit(3), lit(4)));
    EXPECT_EQ(constant->bind(nullptr, environment), nullptr);
    constant->release();

    auto* root = new add_int(extern_leaf<I>(0), new mul_int(extern_leaf<I>(1), lit(3)));
    EXPECT_EQ(root->bind(nullptr, environment), root);
    EXPECT_EQ(root->refs, 2);
    EXPECT_EQ(root->a->refs, 1);
    root->release();
    root->release();
}

TEST_F(fold_bind_test, bind_under_a_frame_replaces_constant_operands_by_their_values)
{
    leaf_values frame;
    frame.at<I>(0) = 40;
    globals.at<I>(0) = -1;
    globals.at<I>(1) = 2;
    auto* root = new add_int(param_leaf<I>(0), extern_leaf<I>(1));
    auto* bound = dynamic_cast<add_int*>(root->bind(as_frame(&frame), environment));
    ASSERT_NE(bound, nullptr);
    ASSERT_NE(bound, root);
    EXPECT_EQ(dynamic_cast<node_val<I>*>(bound->a)->value, 40);
    EXPECT_EQ(bound->b, root->b); // the residual of the extern leaf is the leaf
    EXPECT_EQ(eval<I>(bound), 42);
    EXPECT_EQ(eval<I>(root), 1); // the unbound tree still reads its parameter
    bound->release();
    root->release();
}

TEST_F(fold_bind_test, and_or_short_cuts_in_bind)
{
    // p and false: constant false; p and true: p itself.
    auto* p_and_false = new and_bool(extern_leaf<bool>(0), lit(false));
    EXPECT_EQ(p_and_false->bind(nullptr, environment), nullptr);
    EXPECT_FALSE(eval<bool>(p_and_false));
    p_and_false->release();

    test_leaf<bool>* p = extern_leaf<bool>(0);
    auto* p_and_true = new and_bool(lit(true), p);
    EXPECT_EQ(p_and_true->bind(nullptr, environment), p);
    EXPECT_EQ(p->refs, 2);
    p->release();
    p_and_true->release();

    auto* p_or_true = new or_bool(extern_leaf<bool>(0), lit(true));
    EXPECT_EQ(p_or_true->bind(nullptr, environment), nullptr);
    p_or_true->release();

    p = extern_leaf<bool>(0);
    auto* p_or_false = new or_bool(p, lit(false));
    EXPECT_EQ(p_or_false->bind(nullptr, environment), p);
    p->release();
    p_or_false->release();

    // Both sides open: unchanged gives the node itself.
    auto* open = new and_bool(extern_leaf<bool>(0), extern_leaf<bool>(1));
    EXPECT_EQ(open->bind(nullptr, environment), open);
    open->release();
    open->release();
}

TEST_F(fold_bind_test, and_or_evaluate_the_second_operand_only_when_needed)
{
    globals.at<bool>(0) = true;
    struct row {
        bool is_and, first;
        bool result;
        int evaluations;
    };
    const row rows[]
        = { { true, false, false, 0 }, { true, true, true, 1 }, { false, true, true, 0 }, { false, false, true, 1 } };
    for (const row& r : rows) {
        leaf_evaluations = 0;
        node_expr<bool>* root = r.is_and
            ? static_cast<node_expr<bool>*>(new and_bool(lit(r.first), extern_leaf<bool>(0)))
            : new or_bool(lit(r.first), extern_leaf<bool>(0));
        EXPECT_EQ(value_of(root), r.result);
        EXPECT_EQ(leaf_evaluations, r.evaluations);
    }
    // The int forms are bitwise and evaluate both operands.
    leaf_evaluations = 0;
    globals.at<I>(0) = 6;
    EXPECT_EQ((bin<OP_and, I>(lit(0), extern_leaf<I>(0))), 0);
    EXPECT_EQ(leaf_evaluations, 1);
}

TEST_F(fold_bind_test, operand_temporaries_start_empty_identity_or_zero)
{
    EXPECT_TRUE(same(un<OP_transpose, mtx44>(new silent_leaf<mtx44>()), mtx44 {}));
    EXPECT_EQ((bin<OP_add, S>(new silent_leaf<S>(), lit("x"))), "x");
    EXPECT_EQ((un<OP_neg, I>(new silent_leaf<I>())), 0);
    EXPECT_TRUE(same(un<OP_neg, vec4>(new silent_leaf<vec4>()), vec4 { -0.0f, -0.0f, -0.0f, -0.0f }));
}

TEST_F(fold_bind_test, make_value_of_a_value_is_the_value_itself)
{
    node_val<F>* v = lit(1.5f);
    EXPECT_EQ(v->make_value(false, nullptr, environment), v);
    EXPECT_EQ(v->refs, 2);
    EXPECT_EQ(v->make_value(true, nullptr, environment), v);
    EXPECT_EQ(v->refs, 2);
    v->release();
    v->release();
}

TEST_F(fold_bind_test, composite_nodes_carry_the_or_of_their_childrens_flags)
{
    auto* root = new add_int(extern_leaf<I>(0, 0x10), new mul_int(extern_leaf<I>(1, 0x2), lit(3)));
    EXPECT_EQ(root->flags, 0x12u);
    leaf_values frame;
    auto* rebuilt = new add_int(param_leaf<I>(0), extern_leaf<I>(1, 0x4));
    node_expr<I>* bound = rebuilt->bind(as_frame(&frame), environment);
    EXPECT_EQ(bound->flags, 0x4u);
    bound->release();
    rebuilt->release();
    root->release();
}

} // namespace
} // namespace node_test
