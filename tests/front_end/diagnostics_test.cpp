// The diagnostics a script writer sees: script text in, the rendered
// diagnostics out, one table row per kind of problem. Every row also checks
// that collecting diagnostics leaves the game's log records as they were.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "engine/kernel/Parser/diagnostics.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/unit_loader.h"
#include "tests/support/script_fixture.h"
#include "tools/mcscript/extern_values.h"

namespace {

struct diagnostic_case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files; // the first one is parsed
    std::string expected; // the rendered diagnostics
    std::vector<std::string> externs = {}; // KEY=VALUE; none: no extern interface
};

// 23 bodies on one line, the last of them one level too deep, and main's end.
const std::string too_deep = [] {
    std::string s;
    for (int i = 0; i < 23; ++i)
        s += "F() {";
    return s + std::string(23, '}') + "}";
}();

const std::vector<diagnostic_case> cases = {
    { "missing semicolon is shown where it goes", { { "a.ini", "int x = 1 // one\n/* two */\nGameClassName\n" } },
        "a.ini:1:10: error: expected ';' before 'GameClassName'\n"
        "    1 | int x = 1 // one\n"
        "      |          ^\n" },
    { "missing parenthesis at a line's end", { { "a.ini", "sub main() {\n  Size(1,\n    2\n  Mode(3);\n}\n" } },
        "a.ini:3:6: error: expected ')' or ',' before 'Mode'\n"
        "    3 |     2\n"
        "      |      ^\n" },
    { "declaration without its value", { { "a.ini", "vec3 v;\n" } },
        "a.ini:1:7: error: unexpected ';'; expected '=': a variable is declared with its value, as in "
        "'vec3 v = [0.0, 0.0, 0.0]'\n"
        "    1 | vec3 v;\n"
        "      |       ^\n" },
    { "parameter without its default", { { "a.ini", "sub f(int a = 1, string s\n) { }\n" } },
        "a.ini:1:26: error: expected '=' before ')': a parameter is declared with its default value, as in "
        "'string s = \"\"'\n"
        "    1 | sub f(int a = 1, string s\n"
        "      |                          ^\n" },
    { "named arguments that no parameter reads",
        { { "a.ini",
            "sub Size(int width = 640, int height = 480) { }\nsub None() { }\nsub main() {\n"
            "  call Size(height = 2, width = 3);\n  call Size(widht = 800, height = 600.0);\n  call None(x = "
            "1);\n}\n" } },
        "a.ini:5:13: warning: 'widht' is not a parameter of 'Size', so nothing reads it; did you mean 'width'?\n"
        "    5 |   call Size(widht = 800, height = 600.0);\n"
        "      |             ^~~~~\n"
        "a.ini:5:26: warning: 'height' is an int parameter of 'Size', so nothing reads this float argument\n"
        "    5 |   call Size(widht = 800, height = 600.0);\n"
        "      |                          ^~~~~~\n"
        "a.ini:6:13: warning: 'None' has no parameters, so nothing reads 'x'\n"
        "    6 |   call None(x = 1);\n"
        "      |             ^\n" },
    { "named argument to an imported subtree",
        { { "a.ini", "import 'b.ini'\nsub main() { call Zoom(zoom = 2); call Zoom(zoom = 2.0); }\n" },
            { "b.ini", "sub Zoom(float zoom = 1.0) { }\n" } },
        "a.ini:2:24: warning: 'zoom' is a float parameter of 'Zoom', so nothing reads this int argument\n"
        "    2 | sub main() { call Zoom(zoom = 2); call Zoom(zoom = 2.0); }\n"
        "      |                        ^~~~\n" },
    { "semicolon after an import", { { "a.ini", "import 'b.ini';\n" }, { "b.ini", "" } },
        "a.ini:1:15: error: unexpected ';': an import ends at its file name\n"
        "    1 | import 'b.ini';\n"
        "      |               ^\n" },
    { "expected tokens in a call", { { "a.ini", "sub main() {\n  Size(1 2);\n}\n" } },
        "a.ini:2:10: error: unexpected '2'; expected ')' or ','\n"
        "    2 |   Size(1 2);\n"
        "      |          ^\n" },
    { "end of file inside an expression", { { "a.ini", "int x = 1 +" } },
        "a.ini:1:12: error: unexpected end of file; expected an expression\n"
        "    1 | int x = 1 +\n"
        "      |            ^\n" },
    { "unclosed brace notes where it opened", { { "a.ini", "sub main() {\n  Size(1) {\n    Mode(1);\n" } },
        "a.ini:3:13: error: unexpected end of file; expected a statement or '}'\n"
        "    3 |     Mode(1);\n"
        "      |             ^\n"
        "a.ini:2:11: note: to match this '{'\n"
        "    2 |   Size(1) {\n"
        "      |           ^\n" },
    { "unclosed parenthesis notes where it opened", { { "a.ini", "sub main() {\n  Size(1,\n" } },
        "a.ini:2:10: error: unexpected end of file; expected an expression\n"
        "    2 |   Size(1,\n"
        "      |          ^\n"
        "a.ini:2:7: note: to match this '('\n"
        "    2 |   Size(1,\n"
        "      |       ^\n" },
    { "string across lines is a hint", { { "a.ini", "sub main() {\n  Text(\"abc);\n  Other(\"x\");\n}\n" } },
        "a.ini:3:10: error: unexpected 'x'; expected ')' or ','\n"
        "    3 |   Other(\"x\");\n"
        "      |          ^\n"
        "a.ini:2:8: note: this string runs across line breaks; is its closing quote missing?\n"
        "    2 |   Text(\"abc);\n"
        "      |        ^\n" },
    { "quote that starts no string", { { "a.ini", "sub main() { Text('abc); }\n" } },
        "a.ini:1:19: error: unexpected ''': no closing quote follows, so it starts no string\n"
        "    1 | sub main() { Text('abc); }\n"
        "      |                   ^\n" },
    { "int literal where a float is needed", { { "a.ini", "float gamma = 1;\n" } },
        "a.ini:1:15: error: int expression where a float is needed; write '1.0'\n"
        "    1 | float gamma = 1;\n"
        "      |               ^\n" },
    { "int components of a vector", { { "a.ini", "vec3 v = [1, 2, 3];\n" } },
        "a.ini:1:11: error: int expression where a float is needed; write '1.0'\n"
        "    1 | vec3 v = [1, 2, 3];\n"
        "      |           ^\n" },
    { "int expression where a float is needed", { { "a.ini", "float g = 2 * 3;\n" } },
        "a.ini:1:15: error: int expression where a float is needed\n"
        "    1 | float g = 2 * 3;\n"
        "      |               ^\n" },
    { "unknown name with its nearest visible name",
        { { "a.ini", "int texture_mb = 512;\nint budget = texure_mb * 2;\n" } },
        "a.ini:2:14: error: unknown name 'texure_mb'; did you mean 'texture_mb'?\n"
        "    2 | int budget = texure_mb * 2;\n"
        "      |              ^~~~~~~~~\n" },
    { "parameters are visible names", { { "a.ini", "sub S(int count = 1) {\n  F(cont);\n}\n" } },
        "a.ini:2:5: error: unknown name 'cont'; did you mean 'count'?\n"
        "    2 |   F(cont);\n"
        "      |     ^~~~\n" },
    { "unknown name far from every visible one", { { "a.ini", "int a = zzz;\n" } },
        "a.ini:1:9: error: unknown name 'zzz'\n"
        "    1 | int a = zzz;\n"
        "      |         ^~~\n" },
    { "name of an imported file that is not exported",
        { { "a.ini", "import 'b.ini'\nint x = hidden;\n" }, { "b.ini", "int hidden = 1;\nexport int shown = 2;\n" } },
        "a.ini:2:9: error: unknown name 'hidden': 'b.ini' declares it without 'export'\n"
        "    2 | int x = hidden;\n"
        "      |         ^~~~~~\n" },
    { "name followed by a negative number", { { "a.ini", "int width = 100;\nint w = width-80;\n" } },
        "a.ini:2:14: error: 'width-80' reads as 'width' followed by the number '-80'; write 'width - 80'\n"
        "    2 | int w = width-80;\n"
        "      |              ^~~\n" },
    { "elseif", { { "a.ini", "bool b = true;\nsub main() {\n  if (b) { } elseif (b) { }\n}\n" } },
        "a.ini:3:14: error: unexpected 'elseif'; write 'else if'\n"
        "    3 |   if (b) { } elseif (b) { }\n"
        "      |              ^~~~~~\n" },
    { "else followed by neither block nor if", { { "a.ini", "sub main() {\n  if (true) { } else F();\n}\n" } },
        "a.ini:2:22: error: unexpected 'F'; expected 'if' or '{'\n"
        "    2 |   if (true) { } else F();\n"
        "      |                      ^\n" },
    { "name over the limit", { { "a.ini", "int " + std::string(64, 'n') + " = 1;\n" } },
        "a.ini:1:5: error: name 'nnnnnnnnnnnnnnnnnnnn...' is too long: names have at most 63 characters\n"
        "    1 | int "
            + std::string(64, 'n') + " = 1;\n      |     ^" + std::string(63, '~') + "\n" },
    { "unknown subtree at the call, with the nearest name and no trailing error",
        { { "a.ini", "sub other() { }\nsub main() {\n  call othr();\n}\n" } },
        "a.ini:3:8: error: unknown subtree 'othr'; did you mean 'other'?\n"
        "    3 |   call othr();\n"
        "      |        ^~~~\n" },
    { "subtree called before its definition", { { "a.ini", "sub main() {\n  call other();\n}\nsub other() { }\n" } },
        "a.ini:2:8: error: unknown subtree 'other'\n"
        "    2 |   call other();\n"
        "      |        ^~~~~\n"
        "a.ini:4:5: note: 'other' is defined here, below the call: a subtree must be defined before its first call\n"
        "    4 | sub other() { }\n"
        "      |     ^~~~~\n" },
    { "import that cannot be opened", { { "a.ini", "import 'nothere.ini'\nint x = 1;\n" } },
        "a.ini:1:8: error: cannot open 'nothere.ini': No such file or directory\n"
        "    1 | import 'nothere.ini'\n"
        "      |        ^~~~~~~~~~~~~\n" },
    { "errors inside an imported file, with the import chain",
        { { "a.ini", "import 'b.ini'\n" }, { "b.ini", "import 'c.ini'\n" }, { "c.ini", "int x = ;\n" } },
        "c.ini:1:9: error: unexpected ';'; expected an expression\n"
        "    1 | int x = ;\n"
        "      |         ^\n"
        "b.ini:1:8: note: imported from b.ini:1\n"
        "    1 | import 'c.ini'\n"
        "      |        ^~~~~~~\n"
        "a.ini:1:8: note: imported from a.ini:1\n"
        "    1 | import 'b.ini'\n"
        "      |        ^~~~~~~\n" },
    { "import leading back to itself", { { "a.ini", "import 'a.ini'\n" } },
        "a.ini:1:8: error: this import leads back to a file that is importing it\n"
        "    1 | import 'a.ini'\n"
        "      |        ^~~~~~~\n" },
    { "extern without extern values", { { "a.ini", "extern int budget = mem;\n" } },
        "a.ini:1:12: error: extern int 'budget' (key 'mem') cannot be bound: this program supplies no extern values\n"
        "    1 | extern int budget = mem;\n"
        "      |            ^~~~~~\n" },
    { "extern with no value under its key", { { "a.ini", "extern float gamma;\n" } },
        "a.ini:1:14: error: extern float 'gamma' has no value: nothing is supplied under that key\n"
        "    1 | extern float gamma;\n"
        "      |              ^~~~~\n",
        { "other=1" } },
    { "blocks nested too deep", { { "a.ini", "sub main() {" + std::string(22, '\n') + too_deep + "\n" } },
        "a.ini:23:115: error: blocks nest more than 24 levels deep here (the file, the subtree body and 22 levels "
        "inside it)\n"
        "   23 | "
            + too_deep + "\n      | " + std::string(114, ' ') + "^\n" },
    { "byte-order mark", { { "a.ini", "\xEF\xBB\xBFint x = 1;\n" } },
        "a.ini:1:1: warning: the file starts with a UTF-8 byte-order mark; the game reads it as empty\n"
        "    1 | \xEF\xBB\xBFint x = 1;\n"
        "      | ^~~\n" },
    { "byte above 127 where the script could end", { { "a.ini", "int x = 1;\xC2\xA0\nint y = 2;\n" } },
        "a.ini:1:11: warning: byte 0xC2 outside a string or comment ends the game's input here; the rest of the "
        "file is ignored\n"
        "    1 | int x = 1;\xC2\xA0\n"
        "      |           ^\n" },
    { "byte above 127 inside a statement", { { "a.ini", "int y\xC2\xA0= 2;\n" } },
        "a.ini:1:6: error: unexpected byte 0xC2, where the game's input ends; expected '='\n"
        "    1 | int y\xC2\xA0= 2;\n"
        "      |      ^\n" },
    { "bytes above 127 in strings and comments are fine", { { "a.ini", "string s = 'caf\xC3\xA9'; // \xC3\xA9\n" } },
        "" },
    { "tabs keep the caret under the token", { { "a.ini", "int x =\t\t;\n" } },
        "a.ini:1:10: error: unexpected ';'; expected an expression\n"
        "    1 | int x =\t\t;\n"
        "      |        \t\t^\n" },
};

class Diagnostics : public ScriptTest, public ::testing::WithParamInterface<diagnostic_case> {
protected:
    // Parses the first file, with diagnostics collected or not; returns the
    // rendered diagnostics and leaves the log records in records.
    std::string parse(bool collect)
    {
        const diagnostic_case& c = GetParam();
        mcscript::extern_values externs;
        for (const std::string& assignment : c.externs)
            externs.add(assignment);
        parser::diag::sink out;
        parser::unit* u;
        if (collect) {
            parser::diag::collecting scope(out);
            u = ParseUnit(c.files[0].first.c_str(), c.externs.empty() ? nullptr : &externs, nullptr, true, nullptr);
        } else {
            u = ParseUnit(c.files[0].first.c_str(), c.externs.empty() ? nullptr : &externs, nullptr, true, nullptr);
        }
        if (u)
            u->release();
        std::string text;
        for (const parser::diag::diagnostic& d : out.items())
            text += parser::diag::render(d, "mcscript");
        return text;
    }
};

TEST_P(Diagnostics, RenderAndLeaveTheRecordsAlone)
{
    for (const auto& [name, text] : GetParam().files)
        write(name, text);
    parse(false);
    std::vector<captured_record> game_records = std::move(records);
    records.clear();
    EXPECT_EQ(parse(true), GetParam().expected);
    ASSERT_EQ(records.size(), game_records.size()) << log_text();
    for (size_t i = 0; i < records.size(); ++i)
        EXPECT_EQ(records[i].text, game_records[i].text);
}

std::string case_name(const ::testing::TestParamInfo<diagnostic_case>& info)
{
    std::string name;
    for (const char* p = info.param.name; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Table, Diagnostics, ::testing::ValuesIn(cases), case_name);

// A file the tool names that cannot be opened is reported without a position.
TEST_F(ScriptTest, FileThatCannotBeOpenedHasTheSystemsReason)
{
    parser::diag::sink out;
    {
        parser::diag::collecting scope(out);
        EXPECT_EQ(ParseUnit("nothere.ini", nullptr, nullptr, true, nullptr), nullptr);
    }
    ASSERT_EQ(out.items().size(), 1u);
    EXPECT_EQ(parser::diag::render(out.items()[0], "mcscript"),
        "mcscript: error: cannot open 'nothere.ini': No such file or directory\n");
}

} // namespace
