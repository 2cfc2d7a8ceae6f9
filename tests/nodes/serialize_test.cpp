// serialize: the order of archive operations (class block, node_exp and node
// blocks, own fields, then child objects), the layouts, and a node shared by
// two parents written once.
#include <algorithm>

#include "engine/kernel/Parser/node_extract.h"
#include "engine/kernel/Parser/node_layouts.h"
#include "engine/kernel/Parser/node_vec.h"
#include "engine/kernel/Parser/text_archive.h"
#include "tests/nodes/operator_test_support.h"

namespace node_test {
namespace {

using serialize_test = nodes_test;

std::vector<std::string> record(const node& root)
{
    recording_archive ar;
    ar.layout_names = { { node_layout, "node" }, { node_exp_layout, "node_exp" }, { node_op1_layout, "op1" },
        { node_op2_layout, "op2" }, { node_extract_layout, "extract" }, { node_vec4_layout, "vec4" },
        { node_val_layout<I>(), "val_int" }, { node_val_layout<F>(), "val_float" },
        { node_val_layout<S>(), "val_string" } };
    ar.start(&root);
    root.serialize(ar);
    return ar.lines;
}

// The lines of a base part whose flags are f.
std::vector<std::string> base_part(uint32_t flags)
{
    return { "block 0x00000000 v1 node_exp", "block 0x00000000 root v1 node", "ref 0", "int 1", "end",
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
    const std::vector<std::string> want = std::vector<std::string> { "block 0x21001000 v1 op1" } + base_part(0)
        + std::vector<std::string> { "ref 2", "object 2 write", "block 0x01000000 v1 val_int" } + base_part(0)
        + std::vector<std::string> { "int 5", "end", "end object 2", "end" };
    EXPECT_EQ(record(*root), want);
    root->refs = 1;
    root->release();
}

TEST_F(serialize_test, an_extraction_writes_its_index_after_the_reference)
{
    auto* root = new node_extract<F, vec4>(extern_leaf<vec4>(0, 0x8), 2);
    std::vector<std::string> lines = record(*root);
    ASSERT_GE(lines.size(), 11u);
    EXPECT_EQ(lines[0], "block 0x82000004 v1 extract");
    EXPECT_EQ(lines[6], "uint 8");
    EXPECT_EQ(lines[8], "ref 2");
    EXPECT_EQ(lines[9], "int 2");
    EXPECT_EQ(lines[10], "object 2 write");
    root->release();
}

TEST_F(serialize_test, a_vec4_writes_five_references_then_the_set_children)
{
    auto* root = new node_vec4(lit(vec3 { 1, 2, 3 }), lit(4.0f));
    std::vector<std::string> lines = record(*root);
    const std::vector<std::string> refs(lines.begin() + 8, lines.begin() + 14);
    // x, y, z, w (the float, object 2), xyz (the vec3, object 3)
    EXPECT_EQ(refs, (std::vector<std::string> { "ref 0", "ref 0", "ref 0", "ref 2", "ref 3", "object 2 write" }));
    root->release();
}

TEST_F(serialize_test, a_node_shared_by_two_parents_is_written_once)
{
    test_leaf<I>* shared = extern_leaf<I>(0);
    shared->add_ref();
    auto* root = new node_op2<OP_add, I, I, I>(new node_op1<OP_neg, I, I>(shared), shared);
    std::vector<std::string> lines = record(*root);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "object 3 write"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "object 3 seen"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "block 0x1100000f v1 node_exp"), 1);
    root->release();
}

int count_lines(const std::string& text, const std::string& line)
{
    int n = 0;
    for (size_t at = 0; (at = text.find(line + "\n", at)) != std::string::npos; at += line.size())
        n += at == 0 || text[at - 1] == ' ' || text[at - 1] == '\n';
    return n;
}

TEST_F(serialize_test, a_shared_node_reaches_a_text_archive_once)
{
    node_val<I>* shared = lit(7);
    shared->refs += 2;
    auto* x = new node_vec3(new node_op1<OP_float, F, I>(shared), new node_op1<OP_float, F, I>(shared),
        new node_op2<OP_add, F, I, F>(shared, lit(0.5f)));
    string_base out;
    text_archive ar(out);
    x->serialize(ar);
    const std::string text = out.c_str();
    EXPECT_EQ(text.rfind("block 0x63000000 root=0\n", 0), 0u) << text;
    EXPECT_EQ(count_lines(text, "block 0x01000000 root=0"), 1) << text; // the shared int, once
    EXPECT_EQ(count_lines(text, "block 0x02000000 root=0"), 1) << text; // the 0.5
    EXPECT_EQ(count_lines(text, "int 7"), 1) << text;
    x->release();
}

TEST_F(serialize_test, layouts)
{
    const auto address = [](const uint64_t* l) { return uint64_t(reinterpret_cast<uintptr_t>(l)); };
    EXPECT_EQ(node_layout[0], field::vtable);
    EXPECT_EQ(node_layout[1], field::object_ref);
    EXPECT_EQ(node_layout[2], field::int32);
    EXPECT_EQ(node_layout[3], 0u);
    EXPECT_EQ(node_exp_layout[1], address(node_layout));
    EXPECT_EQ(node_exp_layout[2], field::uint32);
    const uint64_t* s = node_val_layout<S>();
    EXPECT_EQ(s[2], field::string);
    EXPECT_EQ(s[3], address(string_layout));
    EXPECT_EQ(string_layout[0], field::object_ref);
    EXPECT_EQ(node_val_layout<mtx44>()[2], field::mtx44);
    EXPECT_EQ(node_vec4_layout[2], field::ref_array4);
    EXPECT_EQ(node_vec4_layout[3], field::object_ref);
    EXPECT_EQ(node_extract_layout[3], field::int32);
    EXPECT_EQ(node_op2_layout[4], 0u);
}

} // namespace
} // namespace node_test
