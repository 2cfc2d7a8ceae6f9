// Comparison and text operators: the NaN rule of float comparisons, int/float
// mixing, case-insensitive text equality, case-sensitive substr, number text
// in concatenation, ASCII-only case mapping.
#include "tests/nodes/operator_test_support.h"

namespace node_test {
namespace {

using compare_text_test = nodes_test;

struct six {
    bool eq, ne, lt, gt, le, ge;
};

template <typename A, typename B> six compare(A a, B b)
{
    return { bin<OP_equal, bool>(lit(a), lit(b)), bin<OP_notequal, bool>(lit(a), lit(b)),
        bin<OP_less, bool>(lit(a), lit(b)), bin<OP_greater, bool>(lit(a), lit(b)), bin<OP_lequal, bool>(lit(a), lit(b)),
        bin<OP_gequal, bool>(lit(a), lit(b)) };
}

void expect(six got, six want)
{
    EXPECT_EQ(got.eq, want.eq);
    EXPECT_EQ(got.ne, want.ne);
    EXPECT_EQ(got.lt, want.lt);
    EXPECT_EQ(got.gt, want.gt);
    EXPECT_EQ(got.le, want.le);
    EXPECT_EQ(got.ge, want.ge);
}

TEST_F(compare_text_test, float_comparisons_with_the_nan_rule)
{
    struct row {
        float a, b;
        six want;
    };
    const row rows[] = {
        { 1, 2, { false, true, true, false, true, false } },
        { 2, 1, { false, true, false, true, false, true } },
        { 0.0f, -0.0f, { true, false, false, false, true, true } },
        { nan_value, 1, { true, false, true, false, true, false } },
        { 1, nan_value, { true, false, true, false, true, false } },
        { nan_value, nan_value, { true, false, true, false, true, false } },
        { -infinity, infinity, { false, true, true, false, true, false } },
    };
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.a << " vs " << r.b);
        expect(compare(r.a, r.b), r.want);
    }
}

TEST_F(compare_text_test, int_and_mixed_comparisons)
{
    expect(compare(I(-1), I(0)), { false, true, true, false, true, false });
    expect(compare(I(INT32_MIN), I(INT32_MAX)), { false, true, true, false, true, false });
    expect(compare(I(7), I(7)), { true, false, false, false, true, true });
    // The int becomes the nearest float: 16777217 reads as 16777216.
    expect(compare(16777216.0f, I(16777217)), { true, false, false, false, true, true });
    expect(compare(nan_value, I(0)), { true, false, true, false, true, false });
    expect(compare(2.5f, I(2)), { false, true, false, true, false, true });
}

TEST_F(compare_text_test, text_equality_ignores_ascii_case_only)
{
    struct row {
        const char* a;
        const char* b;
        bool equal;
    };
    const row rows[] = {
        { "Abc", "aBC", true },
        { "Abc", "Abd", false },
        { "Abc", "Ab", false },
        { "", "", true },
        { "", "a", false },
        { "\xe4", "\xc4", false },
        { "@[`{", "@[`{", true },
        { "@", "`", false },
    };
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << '"' << r.a << "\" vs \"" << r.b << '"');
        EXPECT_EQ((bin<OP_equal, bool>(lit(r.a), lit(r.b))), r.equal);
        EXPECT_EQ((bin<OP_notequal, bool>(lit(r.a), lit(r.b))), !r.equal);
    }
    // A default string has null data and reads as the empty text.
    EXPECT_TRUE((bin<OP_equal, bool>(new node_val<S>(), lit(""))));
}

TEST_F(compare_text_test, substr_is_case_sensitive_and_finds_the_empty_text_everywhere)
{
    struct row {
        const char* a;
        const char* b;
        bool found;
    };
    const row rows[] = { { "Abc", "bc", true }, { "Abc", "BC", false }, { "", "", true }, { "Abc", "", true },
        { "", "a", false }, { "ab", "abc", false } };
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << '"' << r.a << "\" in \"" << r.b << '"');
        EXPECT_EQ((bin<OP_substr, bool>(lit(r.a), lit(r.b))), r.found);
    }
    EXPECT_TRUE((un<OP_empty, bool>(lit(""))));
    EXPECT_FALSE((un<OP_empty, bool>(lit(" "))));
}

TEST_F(compare_text_test, concatenation_turns_numbers_into_text)
{
    EXPECT_EQ((bin<OP_add, S>(lit("a"), lit(1.5f))), "a1.500000");
    EXPECT_EQ((bin<OP_add, S>(lit(I(12)), lit("x"))), "12x");
    EXPECT_EQ((bin<OP_add, S>(lit("x"), lit(I(-42)))), "x-42");
    EXPECT_EQ((bin<OP_add, S>(lit(-0.25f), lit("!"))), "-0.250000!");
    EXPECT_EQ((bin<OP_add, S>(lit("ab"), lit("cd"))), "abcd");
    // Large floats are written in full rather than cut.
    EXPECT_EQ((bin<OP_add, S>(lit(""), lit(1e30f))).size(), 38u);
    S empty = bin<OP_add, S>(lit(""), new node_val<S>());
    EXPECT_EQ(empty.raw_data(), nullptr);
    EXPECT_EQ(empty.size(), 0u);
}

TEST_F(compare_text_test, case_mapping_touches_ascii_letters_only)
{
    EXPECT_EQ((un<OP_lowercase, S>(lit("AbC\xc4z@[9"))), "abc\xc4z@[9");
    EXPECT_EQ((un<OP_uppercase, S>(lit("AbC\xe4z`{9"))), "ABC\xe4Z`{9");
    EXPECT_EQ((un<OP_uppercase, S>(new node_val<S>())).raw_data(), nullptr);
}

} // namespace
} // namespace node_test
