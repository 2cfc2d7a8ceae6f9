// The operator catalogue: exactly 148 classes with unique tags (a few pinned
// literally), each of which builds from operands of the types its tag names, folds
// to a value of its result type, serializes its tag and fits a pool slot.
#include <set>

#include "engine/kernel/Parser/operator_catalogue.h"
#include "tests/nodes/node_test_support.h"

namespace node_test {
namespace {

template <typename... Nodes> std::vector<uint32_t> class_tags(type_list<Nodes...>) { return { Nodes::class_tag... }; }

// A literal of the given type number.
node_exp* literal_of_type(uint8_t type)
{
    switch (type) {
    case 0:
        return lit(true);
    case 1:
        return lit(I(7));
    case 2:
        return lit(F(0.5f));
    case 3:
        return lit(vec3 { 1, 2, 3 });
    case 4:
        return lit(vec4 { 1, 2, 3, 4 });
    case 5:
        return lit(mtx44 {});
    default:
        return lit("Text");
    }
}

template <typename T> bool is_value_of(node_exp* n) { return dynamic_cast<node_val<T>*>(n) != nullptr; }

bool is_value_of_type(node_exp* n, uint8_t type)
{
    constexpr bool (*checks[])(node_exp*) = { is_value_of<bool>, is_value_of<I>, is_value_of<F>, is_value_of<vec3>,
        is_value_of<vec4>, is_value_of<mtx44>, is_value_of<S> };
    return type < 7 && checks[type](n);
}

int arity(uint32_t tag) { return tag_kind(tag) - node_kind::op1 + 1; }

using catalogue_test = nodes_test;

// The layout of the tags is pinned by the literal tags below.
TEST_F(catalogue_test, has_148_unique_tags_in_the_order_of_its_entries)
{
    std::vector<uint32_t> tags = class_tags(operator_catalogue {});
    ASSERT_EQ(tags.size(), 148u);
    ASSERT_EQ(operator_catalogue_entries().size(), 148u);
    for (size_t i = 0; i < tags.size(); ++i)
        EXPECT_EQ(operator_catalogue_entries()[i].tag, tags[i]) << i;
    EXPECT_EQ(std::set<uint32_t>(tags.begin(), tags.end()).size(), 148u);
}

TEST_F(catalogue_test, known_tags)
{
    EXPECT_EQ((node_op2<OP_add, F, I, F>::class_tag), 0x32141200u);
    EXPECT_EQ((node_op3<OP_rotation, mtx44, F, F, F>::class_tag), 0x450f2220u);
    EXPECT_EQ((node_op2<OP_mulp, vec3, mtx44, vec3>::class_tag), 0x33225300u);
    EXPECT_EQ((node_op1<OP_int, I, F>::class_tag), 0x212f2000u);
    EXPECT_EQ((node_op2<OP_mulv, vec3, mtx44, vec3>::class_tag), 0x33235300u);
    EXPECT_EQ((node_op2<OP_substr, bool, S, S>::class_tag), 0x30236600u);
}

TEST_F(catalogue_test, every_class_builds_from_its_tagged_operand_types_and_folds_to_its_result_type)
{
    for (const operator_entry& entry : operator_catalogue_entries()) {
        SCOPED_TRACE(testing::Message() << std::hex << entry.tag);
        EXPECT_LE(entry.size, node_slot_payload);
        node_exp* operands[3] = {};
        for (int i = 0; i < arity(entry.tag); ++i)
            operands[i] = literal_of_type(tag_operand(entry.tag, i));
        node_exp* n = entry.create(operands);
        ASSERT_NE(n, nullptr);

        auto objects = archived_objects(archived(*n));
        EXPECT_EQ(objects[0].tag, entry.tag);
        EXPECT_EQ(objects[0].refs.size(), size_t(arity(entry.tag)));

        node_exp* folded = n->optimize(false, environment);
        EXPECT_TRUE(is_value_of_type(folded, tag_result(entry.tag)));
        folded->release();
    }
}

TEST_F(catalogue_test, create_refuses_operands_of_the_wrong_type_and_takes_nothing)
{
    const operator_entry& entry = operator_catalogue_entries()[0]; // neg, int <- int
    node_exp* wrong[3] = { lit(F(1)), nullptr, nullptr };
    EXPECT_EQ(entry.create(wrong), nullptr);
    node_exp* missing[3] = {};
    EXPECT_EQ(entry.create(missing), nullptr);
    wrong[0]->release();
}

} // namespace
} // namespace node_test
