// Completion contexts read from the text before the cursor, which stands
// where the '|' is in each case.
#include <gtest/gtest.h>

#include "tools/mcscript/lsp_completion.h"

namespace {

using mcscript::lsp::at_settings_statement;
using mcscript::lsp::completion_at;
using mcscript::lsp::completion_kind;

struct context_case {
    const char* text;
    completion_kind kind;
    const char* call;
    const char* prefix;
};

TEST(CompletionContext, TheTextBeforeTheCursorDecides)
{
    const context_case cases[] = {
        { "sub main() { call |", completion_kind::subtree, "", "" },
        { "sub main() { call He|", completion_kind::subtree, "", "He" },
        { "sub main() { use\n\tHe|", completion_kind::subtree, "", "He" },
        { "sub main() { call|", completion_kind::expression, "", "call" },
        { "sub main() { recall |", completion_kind::expression, "", "" },
        { "sub main() { call Helper(|", completion_kind::argument, "Helper", "" },
        { "sub main() { call Helper (a = 1, we|", completion_kind::argument, "Helper", "we" },
        { "sub main() { call Helper(a = min(1, 2), |", completion_kind::argument, "Helper", "" },
        { "sub main() { call Helper(a = |", completion_kind::expression, "", "" },
        { "sub main() { call Helper(a = max(1, |", completion_kind::expression, "", "" },
        { "sub main() { F(|", completion_kind::expression, "", "" },
        { "sub main() { int x = sh|", completion_kind::expression, "", "sh" },
        { "sub main() { call Helper(); F(|", completion_kind::expression, "", "" },
        { "// call |", completion_kind::none, "", "" },
        { "/* call |", completion_kind::none, "", "" },
        { "/* x */ call |", completion_kind::subtree, "", "" },
        { "F(\"call |", completion_kind::none, "", "" },
        { "F('a', \"b\"); call |", completion_kind::subtree, "", "" },
        { "F(\"|", completion_kind::none, "", "" },
    };
    for (const context_case& c : cases) {
        std::string text = c.text;
        uint32_t cursor = uint32_t(text.find('|'));
        text.erase(cursor, 1);
        text += "\n}\n";
        auto found = completion_at(text, cursor);
        EXPECT_EQ(found.kind, c.kind) << c.text;
        EXPECT_EQ(found.call, c.call) << c.text;
        EXPECT_EQ(found.prefix, c.prefix) << c.text;
    }
}

// Where a settings file's keys are offered: statements of main and of its
// SkuOverride sections, conditionals on the way included.
TEST(CompletionContext, SettingsKeysStandWhereMainHoldsStatements)
{
    const struct {
        const char* text;
        bool keys;
    } cases[] = {
        { "sub main() { |", true },
        { "sub main() {\n  AppId(480);\n  Ga|", true },
        { "sub main() { if (x) { A(1); } else { |", true },
        { "sub main() { SkuOverride('') { Region('EU'); |", true },
        { "sub main() { if (x) { SkuOverride('') { |", true },
        { "sub main() { Display(1) { }\n  |", true },
        { "sub main() /* { */ { |", true },
        { "sub Memory() { |", false },
        { "sub main() { } sub Other() { |", false },
        { "sub main() { Display(1) { |", false },
        { "sub main() { SkuOverride('') { SkuOverride('') { |", false },
        { "sub main() { AppId(|", false },
        { "sub main() { AppId(4, |", false },
        { "sub main() { int x = |", false },
        { "sub main() { // |", false },
        { "sub main() { F('{ |", false },
        { "|", false },
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        uint32_t cursor = uint32_t(text.find('|'));
        text.erase(cursor, 1);
        text += "\n}\n";
        EXPECT_EQ(at_settings_statement(text, cursor), c.keys) << c.text;
    }
}

TEST(CompletionContext, AnOffsetPastTheEndIsTheEnd)
{
    EXPECT_EQ(completion_at("call ", 99).kind, completion_kind::subtree);
}

} // namespace
