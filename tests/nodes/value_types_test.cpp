// The type list: the numbers archives and class tags carry, the names scripts
// write, and the dispatch from a number or a node back to its type.
#include "tests/nodes/node_test_support.h"

namespace node_test {
namespace {

// Pinned: the numbers are written into archives and class tags.
const char* const kNames[] = { "bool", "int", "float", "vec3", "vec4", "mtx", "string" };

// The list's order gives the numbers, and a visit by number reaches the type
// that carries that number.
TEST(ValueTypes, NumbersNamesAndVisitsAgree)
{
    std::vector<uint8_t> in_order;
    for_each_type([&](auto tag) { in_order.push_back(type_number_v<typename decltype(tag)::type>); });
    EXPECT_EQ(in_order, (std::vector<uint8_t> { 0, 1, 2, 3, 4, 5, 6 }));
    static_assert(type_number_v<int32_t> == 1 && type_number_v<mtx44> == 5 && type_number_v<string_base> == 6);
    for (uint8_t number = 0; number < any_type; ++number) {
        EXPECT_STREQ(type_names[number], kNames[number]);
        uint8_t visited = visit_type(number, [](auto tag) { return type_number_v<typename decltype(tag)::type>; });
        EXPECT_EQ(visited, number) << kNames[number];
    }
}

using ValueTypeOf = nodes_test;

TEST_F(ValueTypeOf, AnExpressionsTypeComesFromItsNode)
{
    node_exp* nodes[] = { lit(true), lit(I(1)), lit(F(2)), lit(vec3 {}), lit(vec4 {}), lit(mtx44 {}), lit("s") };
    for (uint8_t number = 0; number < any_type; ++number) {
        EXPECT_EQ(value_type_of(nodes[number]), number) << type_names[number];
        nodes[number]->release();
    }
}

} // namespace
} // namespace node_test
