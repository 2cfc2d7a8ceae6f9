// The text archive: the exact line of every operation, indentation by block,
// object numbering across references and objects, and file output.
#include <cfloat>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "engine/kernel/Parser/text_archive.h"

namespace {

const uint64_t no_fields[] = { 0 };

TEST(TextArchive, BlocksIndentTheirContentAndEndAtTheirOwnIndentation)
{
    string_base out;
    parser::text_archive ar(out);
    parser::SClassBlockResult outer = ar.begin_class_block(0x32141200, no_fields, false, 1);
    parser::SClassBlockResult inner = ar.begin_class_block(0, no_fields, true, 1);
    ar.write_ref(nullptr);
    ar.write_int(1);
    ar.end_class_block(inner);
    ar.write_uint(7);
    ar.end_class_block(outer);
    ar.write_bool(false);
    EXPECT_STREQ("block 0x32141200 root=0\n"
                 "  block 0x00000000 root=1\n"
                 "    ref null\n"
                 "    int 1\n"
                 "  end\n"
                 "  uint 7\n"
                 "end\n"
                 "bool false\n",
        out.c_str());
}

TEST(TextArchive, AnOuterHandleClosesTheBlocksLeftOpenInsideIt)
{
    string_base out;
    parser::text_archive ar(out);
    parser::SClassBlockResult outer = ar.begin_class_block(0xa, no_fields, false, 1);
    ar.begin_class_block(0xb, no_fields, false, 1);
    ar.end_class_block(outer);
    ar.end_class_block(parser::SClassBlockResult {}); // not an open block
    ar.write_byte(3);
    EXPECT_STREQ("block 0x0000000a root=0\n"
                 "  block 0x0000000b root=0\n"
                 "end\n"
                 "end\n"
                 "byte 3\n",
        out.c_str());
}

TEST(TextArchive, ObjectsAreNumberedByFirstAppearance)
{
    string_base out;
    parser::text_archive ar(out);
    int a = 0, b = 0, c = 0;
    ar.write_ref(&a);
    ar.write_ref(&b);
    ar.write_ref(&a);
    EXPECT_TRUE(ar.begin_object(&b).write);
    EXPECT_FALSE(ar.begin_object(&b).write);
    EXPECT_TRUE(ar.begin_object(&c).write); // first seen here
    ar.end_object(&c);
    EXPECT_FALSE(ar.begin_object(nullptr).write);
    ar.write_ref(&c);
    EXPECT_STREQ("ref #1\n"
                 "ref #2\n"
                 "ref #1\n"
                 "object #2\n"
                 "object #2 seen\n"
                 "object #3\n"
                 "end_object #3\n"
                 "object null\n"
                 "ref #3\n",
        out.c_str());
}

TEST(TextArchive, ScalarAndVectorValues)
{
    string_base out;
    parser::text_archive ar(out);
    ar.write_int(INT32_MIN);
    ar.write_uint(UINT32_MAX);
    ar.write_byte(255);
    ar.write_bool(true);
    ar.write_float(0.1f);
    ar.write_float(-FLT_MAX); // the widest texts of a float
    ar.write_float(-FLT_TRUE_MIN);
    ar.write_vec3({ 1.5f, -2.0f, 0.0f });
    ar.write_vec4({ 1.0f, 2.0f, 3.0f, 4.0f });
    ar.write_mtx44(mtx44 {});
    EXPECT_STREQ("int -2147483648\n"
                 "uint 4294967295\n"
                 "byte 255\n"
                 "bool true\n"
                 "float 0.100000001\n"
                 "float -3.40282347e+38\n"
                 "float -1.40129846e-45\n"
                 "vec3 [1.5, -2, 0]\n"
                 "vec4 [1, 2, 3, 4]\n"
                 "mtx44 [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1]\n",
        out.c_str());
}

TEST(TextArchive, StringsAndTextsStayOnOneLine)
{
    string_base out;
    parser::text_archive ar(out);
    ar.write_string(string_base("say \"hi\"\\\n\t\x01"));
    ar.write_string(string_base());
    string_base with_zero("a");
    with_zero.resize(2);
    ar.write_string(with_zero);
    ar.write_text("plain");
    ar.write_text(nullptr);
    EXPECT_STREQ("string \"say \\\"hi\\\"\\\\\\n\\t\\x01\"\n"
                 "string \"\"\n"
                 "string \"a\\x00\"\n"
                 "text \"plain\"\n"
                 "text null\n",
        out.c_str());
}

TEST(TextArchive, WritesToAFile)
{
    std::FILE* file = std::tmpfile();
    ASSERT_NE(nullptr, file);
    {
        parser::text_archive ar(file);
        parser::SClassBlockResult block = ar.begin_class_block(0x02000000, no_fields, false, 1);
        ar.write_float(2.5f);
        ar.end_class_block(block);
    }
    std::rewind(file);
    char text[128] = {};
    size_t n = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    EXPECT_EQ(std::string("block 0x02000000 root=0\n  float 2.5\nend\n"), std::string(text, n));
}

} // namespace
