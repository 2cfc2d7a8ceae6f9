// Variables written to an archive: the order of the variable block and of the
// value expression, checked line by line with the text archive.
#include "engine/kernel/Parser/text_archive.h"

#include "tests/program/program_fixture.h"

namespace program_test {
namespace {

using Serialize = ProgramTest;

// The node and node_exp blocks every expression starts with, indented.
std::string node_part(const std::string& indent, uint32_t flags)
{
    return indent + "block 0x00000000 root=0\n" + indent + "  block 0x00000000 root=1\n" + indent + "    ref null\n"
        + indent + "    int 1\n" + indent + "  end\n" + indent + "  uint " + std::to_string(flags) + "\n" + indent
        + "end\n";
}

std::string written(const parser::node& n)
{
    string_base out;
    parser::text_archive ar(out);
    n.serialize(ar);
    return out.c_str();
}

TEST_F(Serialize, APlainVariableWritesItsBlockThenItsValue)
{
    parser::var<int32_t>* x = int_var("x", 5);
    std::string expected = "block 0x11000000 root=0\n" + node_part("  ", 0)
        + "  block 0x00000000 root=1\n"
          "    ref #1\n"
          "    ref null\n"
          "    ref null\n"
          "    int 0\n"
          "    byte 0\n"
          "    byte 1\n"
          "    byte 0\n"
          "    text \"x\"\n"
          "  end\n"
          "  ref #2\n"
          "  ref null\n"
          "  object #2\n"
          "  block 0x01000000 root=0\n"
        + node_part("    ", 0)
        + "    int 5\n"
          "  end\n"
          "  end_object #2\n"
          "end\n";
    EXPECT_EQ(written(*x), expected);
    x->release();
}

TEST_F(Serialize, AnExternWritesKeyAndIndexAndNoValue)
{
    fake_binding<float> binding;
    auto* e = new parser::var<float>("e", &binding, constant<int32_t>(2), "k");
    e->set_class_flags(parser::var_extern, parser::modifier_export);
    std::string expected = "block 0x12000000 root=0\n" + node_part("  ", 0x40)
        + "  block 0x00000000 root=1\n"
          "    ref #1\n"
          "    ref #2\n"
          "    ref #3\n"
          "    int 0\n"
          "    byte 2\n"
          "    byte 2\n"
          "    byte 1\n"
          "    text \"e\"\n"
          "    text \"k\"\n"
          "    object #3\n"
          "    block 0x01000000 root=0\n"
        + node_part("      ", 0)
        + "      int 2\n"
          "    end\n"
          "    end_object #3\n"
          "  end\n"
          "  ref null\n"
          "  ref null\n"
          "end\n";
    EXPECT_EQ(written(*e), expected);
    e->release();
}

} // namespace
} // namespace program_test
