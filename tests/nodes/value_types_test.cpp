// The type list: the numbers archives and class tags carry, the names scripts
// write, and the dispatch from a number or a node back to its type.
#include "tests/nodes/node_test_support.h"

namespace node_test {
namespace {

struct type_row {
    uint8_t number;
    const char* name;
    size_t size;
};

// Pinned: the numbers are written into archives and class tags.
const type_row kTypes[] = {
    { 0, "bool", sizeof(bool) },
    { 1, "int", sizeof(int32_t) },
    { 2, "float", sizeof(float) },
    { 3, "vec3", sizeof(vec3) },
    { 4, "vec4", sizeof(vec4) },
    { 5, "mtx", sizeof(mtx44) },
    { 6, "string", sizeof(string_base) },
};

TEST(ValueTypes, NumbersNamesAndVisitsAgree)
{
    static_assert(type_number_v<bool> == 0 && type_number_v<int32_t> == 1 && type_number_v<float> == 2
        && type_number_v<vec3> == 3 && type_number_v<vec4> == 4 && type_number_v<mtx44> == 5
        && type_number_v<string_base> == 6);
    std::vector<uint8_t> in_order;
    for_each_type([&](auto tag) { in_order.push_back(type_number_v<typename decltype(tag)::type>); });
    EXPECT_EQ(in_order, (std::vector<uint8_t> { 0, 1, 2, 3, 4, 5, 6 }));
    for (const type_row& row : kTypes) {
        EXPECT_STREQ(type_names[row.number], row.name);
        auto visited = visit_type(row.number, [](auto tag) {
            using T = typename decltype(tag)::type;
            return std::pair<uint8_t, size_t>(type_number_v<T>, sizeof(T));
        });
        EXPECT_EQ(visited.first, row.number) << row.name;
        EXPECT_EQ(visited.second, row.size) << row.name;
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
