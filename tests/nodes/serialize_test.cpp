// serialize: the order of archive operations (class block, node_exp and node
// blocks, own fields, then child objects), the layout each block names, and a
// node shared by several parents written once.
#include "engine/kernel/Parser/node_extract.h"
#include "engine/kernel/Parser/node_layouts.h"
#include "engine/kernel/Parser/node_vec.h"
#include "tests/nodes/operator_test_support.h"

namespace node_test {
namespace {

using serialize_test = nodes_test;

// A text archive that also keeps the layout each class block was opened with.
class layout_archive final : public text_archive {
public:
    using text_archive::text_archive;
    SClassBlockResult begin_class_block(uint32_t tag, const uint64_t* layout, bool root, int version) override
    {
        layouts.push_back(layout);
        return text_archive::begin_class_block(tag, layout, root, version);
    }
    std::vector<const uint64_t*> layouts;
};

// The archived lines of a tree without their indentation.
std::vector<std::string> lines_of(const node& root, std::vector<const uint64_t*>* layouts = nullptr)
{
    string_base out;
    layout_archive ar(out);
    root.serialize(ar);
    if (layouts)
        *layouts = ar.layouts;
    std::vector<std::string> lines;
    std::istringstream text(out.c_str());
    for (std::string line; std::getline(text, line);)
        lines.push_back(line.substr(line.find_first_not_of(' ')));
    return lines;
}

// The base part of a node whose flags are f: node_exp's block around node's.
std::vector<std::string> base_part(uint32_t flags)
{
    return { "block 0x00000000 root=0", "block 0x00000000 root=1", "ref null", "int 1", "end",
        "uint " + std::to_string(flags), "end" };
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(serialize_test, an_operator_writes_its_block_base_references_then_children)
{
    auto* root = new node_op1<OP_neg, I, I>(lit(5));
    root->refs = 3; // refs is always written as 1
    const std::vector<std::string> want = std::vector<std::string> { "block 0x21001000 root=0" } + base_part(0)
        + std::vector<std::string> { "ref #1", "object #1", "block 0x01000000 root=0" } + base_part(0)
        + std::vector<std::string> { "int 5", "end", "end_object #1", "end" };
    std::vector<const uint64_t*> layouts;
    EXPECT_EQ(lines_of(*root, &layouts), want);
    EXPECT_EQ(layouts,
        (std::vector<const uint64_t*> {
            node_op1_layout, node_exp_layout, node_layout, node_val_layout<I>(), node_exp_layout, node_layout }));
    root->refs = 1;
    root->release();
}

TEST_F(serialize_test, an_extraction_writes_its_index_after_the_reference)
{
    auto* root = new node_extract<F, vec4>(extern_leaf<vec4>(0, 0x8), 2);
    std::vector<const uint64_t*> layouts;
    std::vector<std::string> lines = lines_of(*root, &layouts);
    ASSERT_GE(lines.size(), 11u);
    EXPECT_EQ(lines[0], "block 0x82000004 root=0");
    EXPECT_EQ(layouts[0], node_extract_layout);
    EXPECT_EQ(lines[6], "uint 8"); // the flags of the source
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 8, lines.begin() + 11),
        (std::vector<std::string> { "ref #1", "int 2", "object #1" }));
    root->release();
}

TEST_F(serialize_test, a_vec4_writes_five_references_then_the_set_children)
{
    auto* root = new node_vec4(lit(vec3 { 1, 2, 3 }), lit(4.0f));
    std::vector<const uint64_t*> layouts;
    std::vector<std::string> lines = lines_of(*root, &layouts);
    EXPECT_EQ(layouts[0], node_vec4_layout);
    // x, y, z null; w (the float) #1; xyz (the vec3) #2; w is written first.
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 8, lines.begin() + 14),
        (std::vector<std::string> { "ref null", "ref null", "ref null", "ref #1", "ref #2", "object #1" }));
    root->release();
}

TEST_F(serialize_test, a_node_shared_by_several_parents_is_written_once)
{
    node_val<I>* shared = lit(7);
    shared->refs += 2;
    auto* root = new node_vec3(new node_op1<OP_float, F, I>(shared), new node_op1<OP_float, F, I>(shared),
        new node_op2<OP_add, F, I, F>(shared, lit(0.5f)));
    std::vector<std::string> lines = lines_of(*root);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "block 0x01000000 root=0"), 1); // the shared int
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "object #4 seen"), 2);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "block 0x02000000 root=0"), 1); // the 0.5
    root->release();
}

TEST_F(serialize_test, layouts_name_their_bases_and_fields)
{
    const auto address = [](const uint64_t* l) { return uint64_t(reinterpret_cast<uintptr_t>(l)); };
    const std::vector<std::pair<const uint64_t*, std::vector<uint64_t>>> layouts = {
        { node_layout, { field::vtable, field::object_ref, field::int32, 0 } },
        { node_exp_layout, { field::base, address(node_layout), field::uint32, 0 } },
        { string_layout, { field::object_ref, field::uint32, field::uint32, 0 } },
        { node_val_layout<S>(), { field::base, address(node_exp_layout), field::string, address(string_layout), 0 } },
        { node_val_layout<mtx44>(), { field::base, address(node_exp_layout), field::mtx44, 0 } },
        { node_op3_layout,
            { field::base, address(node_exp_layout), field::object_ref, field::object_ref, field::object_ref, 0 } },
        { node_extract_layout, { field::base, address(node_exp_layout), field::object_ref, field::int32, 0 } },
        { node_vec3_layout, { field::base, address(node_exp_layout), field::ref_array3, 0 } },
        { node_vec4_layout, { field::base, address(node_exp_layout), field::ref_array4, field::object_ref, 0 } },
    };
    for (const auto& [layout, want] : layouts)
        EXPECT_EQ(std::vector<uint64_t>(layout, layout + want.size()), want);
}

} // namespace
} // namespace node_test
