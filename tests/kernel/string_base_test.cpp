// string_base: buffer sizes, empty-text rules, search and formatting.
#include "engine/kernel/string_base.h"

#include <gtest/gtest.h>

#include <string>

TEST(StringBase, EmptyStringHasNullDataButAnEmptyText)
{
    string_base s;
    EXPECT_EQ(s.data, nullptr);
    ASSERT_NE(s.c_str(), nullptr);
    EXPECT_STREQ(s.c_str(), "");
    EXPECT_EQ(s.find("a"), -1);
    EXPECT_EQ(s.find(""), -1);
}

TEST(StringBase, AssignmentKeepsOrReplacesTheBuffer)
{
    string_base s("hello world");
    EXPECT_EQ(s.capacity, 11u);
    char* before = s.data;
    s = "hi";
    EXPECT_EQ(s.data, before) << "a source that fits is copied in place";
    EXPECT_EQ(s.capacity, 11u);
    EXPECT_STREQ(s.c_str(), "hi");
    s = "a much longer text than before";
    EXPECT_EQ(s.capacity, s.length) << "a longer source gets a buffer of exactly length + 1";
    s = string_base();
    EXPECT_EQ(s.data, nullptr) << "an empty source frees the buffer";
    EXPECT_EQ(s.capacity, 0u);
}

TEST(StringBase, SelfAssignmentAndSelfAppendAreSafe)
{
    string_base s("abc");
    string_base& same = s;
    s = same; // self-assignment through another name
    EXPECT_STREQ(s.c_str(), "abc");
    s.append(s.c_str(), s.size());
    EXPECT_STREQ(s.c_str(), "abcabc");
    EXPECT_EQ(s.capacity, 6u) << "append grows to exactly the new length";
}

TEST(StringBase, LimitedConstructionResizeAndFind)
{
    string_base cut("abcdef", 3);
    EXPECT_STREQ(cut.c_str(), "abc");
    cut.resize(5);
    EXPECT_EQ(cut.size(), 5u);
    EXPECT_EQ(cut.data[3], 0);
    EXPECT_EQ(cut.data[4], 0);
    cut.resize(1);
    EXPECT_STREQ(cut.c_str(), "a");
    string_base s("one two two");
    EXPECT_EQ(s.find("two"), 4);
    EXPECT_EQ(s.find("three"), -1);
}

TEST(StringBase, ConcatenationAndComparison)
{
    string_base a("Mire "), b("Crest");
    string_base c = a + b;
    EXPECT_STREQ(c.c_str(), "Mire Crest");
    EXPECT_EQ(c.capacity, 10u);
    EXPECT_TRUE(c == "Mire Crest");
    EXPECT_TRUE(b < a);
    EXPECT_TRUE(string_base("A") < string_base("a"));
    EXPECT_TRUE(string_base("ab") < string_base("abc"));
}

TEST(StringBase, FormatGrowsPastTheFirstBuffer)
{
    std::string big(5000, 'x');
    string_base s = string_base::format("<%s>%d", big.c_str(), 42);
    EXPECT_EQ(s.size(), 5004u);
    EXPECT_EQ(std::string(s.c_str()), "<" + big + ">42");
    EXPECT_EQ(string_base::format("%s", "").data, nullptr);
}
