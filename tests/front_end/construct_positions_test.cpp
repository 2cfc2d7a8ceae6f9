// Where the grammar's actions place their constructs, taken from the recent
// tokens: the span of each declaration an observer is told about, and the
// expected tokens of a syntax error after lists and markers that matched
// nothing or something.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/kernel/Parser/diagnostics.h"
#include "engine/kernel/Parser/front_end_observer.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/unit_loader.h"
#include "engine/kernel/Parser/variable.h"
#include "tests/support/script_fixture.h"
#include "tools/mcscript/extern_values.h"

namespace {

// The text of every declaration's span, as "name: text".
class declarations final : public parser::diag::observer {
public:
    void file_started(const std::string&, const char* text, uint32_t size) override { text_.assign(text, size); }
    void token(int, parser::span, parser::variable*) override { }
    void declared(parser::variable& v, parser::span where) override
    {
        seen.push_back(std::string(v.name) + ": " + text_.substr(where.begin, where.end - where.begin));
    }
    void file_finished(bool) override { }

    std::vector<std::string> seen;

private:
    std::string text_;
};

using ConstructPositions = ScriptTest;

TEST_F(ConstructPositions, DeclarationsSpanFromTheirTypeWordOrTheirExternName)
{
    struct row {
        const char* script;
        std::vector<std::string> expected;
    };
    const std::vector<row> rows = {
        { "int a = 1 + 2;", { "a: int a = 1 + 2" } },
        { "export  int b = int(2.5) ;", { "b: int b = int(2.5)" } }, // a cast's type word starts nothing
        { "int a = 1;\nfloat a = 2.0 * 3.0;", { "a: int a = 1", "a: float a = 2.0 * 3.0" } }, // a visible name reused
        { "sub S(int p = 1, vec3 q = [1.0]) {\n  string s = \"x\" + p;\n}",
            { "p: int p = 1", "q: vec3 q = [1.0]", "s: string s = \"x\" + p" } },
        { "extern int budget = mem 2;\nextern float gamma;", { "budget: budget", "gamma: gamma" } },
    };
    mcscript::extern_values externs;
    externs.add("mem=1");
    externs.add("gamma=2.2");
    for (const row& r : rows) {
        write("a.ini", r.script);
        declarations seen;
        parser::diag::sink out;
        {
            parser::diag::collecting collect(out);
            parser::diag::observing observe(seen);
            parser::unit* u = ParseUnit("a.ini", &externs, nullptr, true, nullptr);
            ASSERT_NE(u, nullptr) << r.script;
            u->release();
        }
        EXPECT_EQ(seen.seen, r.expected) << r.script;
    }
}

TEST_F(ConstructPositions, ExpectedTokensLookThroughWhatMatchedNothing)
{
    struct row {
        const char* script;
        const char* message;
    };
    const std::vector<row> rows = {
        { "sub f(int a = 1 ;", "unexpected ';'; expected ')' or ','" }, // parameters read
        { "sub f(;", "unexpected ';'; expected a type, ')' or ','" }, // none read
        { "sub main() { F(1 ; }", "unexpected ';'; expected ')' or ','" },
        { "sub main() { F( ; }", "unexpected ';'; expected an expression, ')' or ','" },
        { "sub g() { }\nsub main() { call g(a = 1 ; }", "unexpected ';'; expected ')' or ','" },
        { "sub g() { }\nsub main() { call g( ; }", "unexpected ';'; expected a name, ')' or ','" },
        { "foo", "unexpected 'foo'; expected a declaration, end of file, 'import' or 'sub'" },
        { "int a = 1; foo", "unexpected 'foo'; expected a declaration, end of file or 'sub'" }, // no more imports
        { "export foo", "unexpected 'foo'; expected a type or 'export'" },
        { "sub main() { F(1); ; }", "unexpected ';'; expected a statement or '}'" },
    };
    for (const row& r : rows) {
        write("a.ini", r.script);
        parser::diag::sink out;
        {
            parser::diag::collecting collect(out);
            EXPECT_EQ(ParseUnit("a.ini", nullptr, nullptr, true, nullptr), nullptr) << r.script;
        }
        ASSERT_FALSE(out.items().empty()) << r.script;
        EXPECT_EQ(out.items().back().message, r.message) << r.script;
    }
}

} // namespace
