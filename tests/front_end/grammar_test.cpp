// The grammar, table-driven: script text and what a reader then sees, or the
// one syntax error it stops at (refused token and line).
#include <gtest/gtest.h>

#include <string>

#include "tests/support/script_fixture.h"

namespace {

// A case's name as a test name: letters and digits, the rest underscores.
template <typename Case> std::string case_name(const ::testing::TestParamInfo<Case>& info)
{
    std::string n = info.param.name;
    for (char& ch : n)
        if (!isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return n;
}

struct walk_case {
    const char* name;
    const char* script;
    const char* walk;
};

const walk_case walk_cases[] = {
    { "literals", "sub main() { F(1, 2.5, 'x', true, \"it's\"); G(); }", "F(1, 2.5, \"x\", true, \"it's\")\nG()\n" },
    { "conversions", "sub main() { float x = float(1); int n = int(2.5); F(x, n, 1., -.5, 5.); }",
        "F(1, 2, 1, -0.5, 5)\n" },
    { "hex and negative literals", "sub main() { F(0x10, -0x10, 0xffffffff, -5, - 5, 007); }",
        "F(16, -16, -1, -5, -5, 7)\n" },
    { "arithmetic grouping", "sub main() { F(1 + 2 * 3, (1 + 2) * 3, 10 - 4 - 3, - 2 * 3 + 1, 7 % 4 * 2); }",
        "F(7, 9, 3, -5, 6)\n" },
    { "bit operators and tilde", "sub main() { F(~1 | 2, ~1 + 1, 1 | 2 & 3, 6 ^ 3); }", "F(-2, -3, 3, 5)\n" },
    { "logic grouping",
        "sub main() { F(true || false && false, false && false || true, !true || true, !1 + 1 == 2, 3 & 1 == 1); }",
        "F(false, true, true, false, true)\n" },
    { "conditional groups to the right", "sub main() { F(true ? 1 : false ? 2 : 3, false ? 1 : false ? 2 : 3); }",
        "F(1, 3)\n" },
    { "int and float mix", "sub main() { F(1 + 0.5, 0.5 * 2, 7 / 2, 7.0 / 2, 2.5 < 3, 2 - 0.5); }",
        "F(1.5, 1, 3, 3.5, true, 1.5)\n" },
    { "text concatenation groups to the left",
        "string s = 'a'; sub main() { F(s + 1 + 2, 1 + 2 + s, s + 1.5, uppercase(s) + lowercase('B')); }",
        "F(\"a12\", \"3a\", \"a1.500000\", \"Ab\")\n" },
    { "text tests", "sub main() { F('Abc' == 'aBC', substr('Abc', 'bc'), substr('Abc', 'BC'), empty('')); }",
        "F(true, true, false, true)\n" },
    { "vectors", "vec3 v = [1.0, 2.0, 3.0]; sub main() { F(v.x + v.z, v * 2.0, [v, 1.0], [0.5], -v.x, v.xyz); }",
        "F(4, [2, 4, 6], [1, 2, 3, 1], [0.5, 0.5, 0.5], -1, [1, 2, 3])\n" },
    { "vec4 components and replacement",
        "vec4 q = [1.0, 2.0, 3.0, 4.0]; sub main() { F(q.x(9.0).y(8.0), q.xyz, q.w, q.xyzw, dot(q, [1.0])); }",
        "F([9, 8, 3, 4], [1, 2, 3], 4, [1, 2, 3, 4], 10)\n" },
    { "matrices", "sub main() { F(mulp(translate(1.0, 2.0, 3.0), [0.0]), mulv(translate([1.0]), [0.0])); }",
        "F([1, 2, 3], [0, 0, 0])\n" },
    { "mulv ignores the translation, even a NaN one",
        "float z = 0.0; sub main() { F(mulv(translate(z / z, 0.0, 0.0), [1.0, 2.0, 3.0])); }", "F([1, 2, 3])\n" },
    { "statement texts and bodies", "sub main() { Window(800, 600) { Title() = 'game' } Done(); }",
        "Window(800, 600) {\n  Title() = \"game\"\n}\nDone()\n" },
    { "conditionals with else if",
        "bool b = false; sub main() { if (b) { A(); } else if (!b) { B(); } else { C(); } if (b) { D(); } E(); }",
        "B()\nE()\n" },
    { "a later parameter's default uses an earlier one",
        "sub S(int a = 1, int b = a) { G(a, b); } sub main() { call S(a = 5); call S(); }", "G(5, 5)\nG(1, 1)\n" },
    { "call arguments of another type leave the default",
        "sub S(float a = 1.5) { G(a); } sub main() { use S(a = 2); call S(a = 2.5); }", "G(1.5)\nG(2.5)\n" },
    { "a variable name reused by a declaration and an argument",
        "int i = 1; sub S(int i = 0) { G(i); } sub main() { int i = 2; call S(i = i + 1); }", "G(3)\n" },
    { "comments and line ends", "// settings\nsub main() { /* a\n b */ F(1); // done\n}\n/* trailing", "F(1)\n" },
    { "exports and extern-free declarations", "export int x = 4; extern export export int y = k; sub main() { F(x); }",
        "" },
};

void PrintTo(const walk_case& c, std::ostream* os) { *os << c.name; }

class GrammarWalk : public ScriptTest, public ::testing::WithParamInterface<walk_case> { };

TEST_P(GrammarWalk, WalksAsWritten)
{
    const walk_case& c = GetParam();
    std::string out = walk_text(c.script);
    if (std::string(c.walk).empty()) {
        EXPECT_TRUE(failed()) << "an extern declaration without interface fails the file";
        return;
    }
    EXPECT_FALSE(failed()) << log_text();
    EXPECT_EQ(out, c.walk);
}

INSTANTIATE_TEST_SUITE_P(Forms, GrammarWalk, ::testing::ValuesIn(walk_cases), case_name<walk_case>);

struct error_case {
    const char* name;
    const char* script;
    const char* record; // the 'CLOG' record's text
};

const error_case error_cases[] = {
    { "int literal is not a float", "float x = 1;", "syntax error at ;(1)" },
    { "vector components are floats", "vec3 v = [1, 2, 3];", "syntax error at ,(1)" },
    { "the vector is on the left", "float f = 1.0; vec3 v = [f]; vec3 w = f * v;", "syntax error at ;(1)" },
    { "no parenthesised string", "string s = 'a'; string t = (s);", "syntax error at )(1)" },
    { "no bool comparison", "bool b = true; bool c = true; bool e = b == c;", "syntax error at ==(1)" },
    { "no int before float comparison", "int i = 1; float f = 1.0; bool t = i < f;", "syntax error at ;(1)" },
    { "if bodies are braced", "bool b = true;\nsub main() {\n if (b) F(); }", "syntax error at F(3)" },
    { "elseif is reserved", "bool b = true; sub main() { if (b) { } elseif (b) { } }", "syntax error at elseif(1)" },
    { "extern before export", "export extern int x;", "syntax error at extern(1)" },
    { "no semicolon after a text", "sub main() { F() = 'x'; }", "syntax error at ;(1)" },
    { "no semicolon after a body", "sub main() { F() { } ; }", "syntax error at ;(1)" },
    { "imports come first", "int a = 1;\nimport 'b.ini'", "syntax error at import(2)" },
    { "no semicolon after an import", "import 'b.ini';", "syntax error at ;(1)" },
    { "minus digit is a literal", "int b = 2; int a = b-1;", "syntax error at -1(1)" },
    { "names of subtrees are identifiers", "int Size = 1; sub Size() { }", "syntax error at Size(1)" },
    { "subtrees do not nest", "sub a() { sub b() { } }", "syntax error at sub(1)" },
    { "no trailing comma", "sub main() { F(1,); }", "syntax error at )(1)" },
    { "a declaration cannot use itself", "int x = x;", "syntax error at x(1)" },
    { "line counted in strings and comments", "/*\n*/ string s = 'a\nb';\n// c\n float x = 1;",
        "syntax error at ;(5)" },
    { "form feed is no whitespace", "int a =\f1;", "syntax error at \f(1)" },
    { "modified is reserved", "sub main() { modified(); }", "syntax error at modified(1)" },
};

void PrintTo(const error_case& c, std::ostream* os) { *os << c.name; }

class GrammarError : public ScriptTest, public ::testing::WithParamInterface<error_case> { };

TEST_P(GrammarError, StopsAtTheFirstSyntaxError)
{
    const error_case& c = GetParam();
    write("main.ini", c.script);
    walk("main.ini");
    ASSERT_TRUE(failed());
    int syntax_records = 0;
    for (const captured_record& r : records) {
        if (r.text.rfind("syntax error at", 0) == 0) {
            ++syntax_records;
            EXPECT_EQ(r.text, c.record);
            EXPECT_EQ(r.category, "Parser");
            EXPECT_EQ(r.level, 2);
        }
    }
    EXPECT_EQ(syntax_records, 1) << log_text();
}

INSTANTIATE_TEST_SUITE_P(Forms, GrammarError, ::testing::ValuesIn(error_cases), case_name<error_case>);

using GrammarRules = ScriptTest;

// Bodies nested inside main around innermost: main's body is depth 1, so 22
// nested bodies reach depth 23 and a 23rd would be depth 24.
std::string nested_bodies(int levels, const std::string& innermost)
{
    std::string text = "sub main() { ";
    for (int i = 0; i < levels; ++i)
        text += "F() { ";
    text += innermost;
    for (int i = 0; i < levels; ++i)
        text += "} ";
    return text + "}";
}

// A block past the deepest level is not opened, but what it declares still
// ends at its brace, so the parse goes on and reports every later error.
TEST_F(GrammarRules, BlocksNestTwentyFourDeepAndARefusedBlockKeepsItsDeclarations)
{
    std::string out = walk_text(nested_bodies(22, "Leaf(); "));
    EXPECT_FALSE(failed()) << log_text();
    EXPECT_NE(out.find("Leaf()"), std::string::npos);
    walk_text(nested_bodies(22, "F() { int q = 1; } q(); call nothere(); "));
    EXPECT_TRUE(failed());
    std::string log = log_text();
    EXPECT_NE(log.find("[parser::context::start_block] too many nesting levels in 'main.ini'!"), std::string::npos)
        << log;
    EXPECT_EQ(log.find("syntax error at q"), std::string::npos) << log;
    EXPECT_NE(log.find("[parser::node_call::node_call] unknown subtree 'nothere' in 'main.ini'"), std::string::npos)
        << log;
}

TEST_F(GrammarRules, DeepParenthesesExhaustTheParserStack)
{
    std::string text = "int x = " + std::string(20000, '(') + "1" + std::string(20000, ')') + ";";
    walk_text(text);
    EXPECT_TRUE(failed());
    EXPECT_NE(log_text().find("memory exhausted at ("), std::string::npos) << log_text().substr(0, 300);
}

// Expressions nest at most 1000 levels, counting through the variables they
// name, so evaluating, folding and releasing them cannot exhaust the stack.
TEST_F(GrammarRules, ExpressionsNestAtMostAThousandLevels)
{
    auto sum = [](int additions) {
        std::string text = "int x = 1";
        for (int i = 0; i < additions; ++i)
            text += " + 1";
        return text + "; sub main() { F(x); }";
    };
    EXPECT_EQ(walk_text(sum(999)), "F(1000)\n");
    walk_text(sum(1000));
    EXPECT_TRUE(failed());
    EXPECT_NE(log_text().find("[parser::grammar] expression nested more than 1000 levels deep in 'main.ini' line 1"),
        std::string::npos)
        << log_text().substr(0, 400);
    records.clear();

    std::string chain = "int a0 = 1;\n";
    for (int i = 1; i < 600; ++i)
        chain += "int a" + std::to_string(i) + " = a" + std::to_string(i - 1) + " + 1;\n";
    walk_text(chain + "sub main() { F(a599); }");
    EXPECT_TRUE(failed()) << "each variable adds the depth of its value";
    EXPECT_NE(log_text().find("expression nested more than 1000 levels deep in 'main.ini' line 501"), std::string::npos)
        << log_text().substr(0, 400);
}

TEST_F(GrammarRules, NamesAndStringsAtTheirLengthLimits)
{
    std::string name63(63, 'a'), name64(64, 'b'), s62(62, 's'), s63(63, 't');
    EXPECT_EQ(walk_text("sub main() { " + name63 + "('" + s62 + "', \"" + s63 + "\"); }"),
        name63 + "(\"" + s62 + "\", \"" + s63 + "\")\n");
    walk_text("sub main() { " + name64 + "(1); }");
    EXPECT_TRUE(failed());
    EXPECT_NE(log_text().find("syntax error at " + name64 + "(1)"), std::string::npos);
}

TEST_F(GrammarRules, EmptyScriptsAndImportOnlyScriptsAreAccepted)
{
    write("b.ini", "");
    write("main.ini", "import 'b.ini'\n");
    walk("main.ini");
    EXPECT_TRUE(records.empty()) << log_text();
}

} // namespace
