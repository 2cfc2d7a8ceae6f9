// The settings lint of "mcscript settings": each script's warnings (line,
// column and text) and exit status, the lint agreeing with the reader on every
// key, and the sample game.ini being clean.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "engine/game/gameini_parser.h"
#include "tests/support/script_fixture.h"
#include "tools/mcscript/settings_lint.h"

namespace {

namespace diag = parser::diag;

// Each warning as "FILE:LINE:COL: MESSAGE".
std::vector<std::string> warnings(const diag::sink& diagnostics)
{
    std::vector<std::string> out;
    for (const diag::diagnostic& d : diagnostics.items()) {
        EXPECT_EQ(d.level, diag::severity::warning) << d.message;
        out.push_back(d.where.file + ":" + std::to_string(d.where.line) + ":" + std::to_string(d.where.column) + ": "
            + d.message);
    }
    return out;
}

struct lint_case {
    const char* what;
    const char* script; // written as g.ini
    std::vector<std::string> expected;
    int status = 0; // without --strict
};

const lint_case lint_cases[] = {
    { "a clean file",
        "sub main() {\n  AppId(480); GameName('Mire'); TitleId('0x1A2B'); appid(1); GPUMem_PC(256);\n"
        "  LowViolence(0); FastInitializePDB('any'); Display(1); A(1);\n}",
        {} },
    { "names close to a key, also with a _pc ending",
        "sub main() {\n  GameClasName('Game');\n  Lcoale('En');\n  Mapp('m');\n  Locale_pc('En');\n"
        "  GPUMem_pcc(1);\n}",
        { "g.ini:2:3: 'GameClasName' is not a setting; did you mean 'GameClassName'?",
            "g.ini:3:3: 'Lcoale' is not a setting; did you mean 'Locale'?",
            "g.ini:4:3: 'Mapp' is not a setting; did you mean 'Map'?",
            "g.ini:5:3: 'Locale_pc' is not a setting; did you mean 'Locale'?",
            "g.ini:6:3: 'GPUMem_pcc' is not a setting; did you mean 'GPUMem_pc'?" } },
    { "arguments the reader cannot take",
        "sub main() {\n  AppId('480');\n  CrashCanShowMessageBox(true);\n  Locale(1);\n  Region();\n"
        "  TextureStreamMem_pc(1.5);\n}",
        { "g.ini:2:3: 'AppId' takes an int but got a string; the setting keeps its default (0)",
            "g.ini:3:3: 'CrashCanShowMessageBox' takes an int but got a bool; the setting keeps its default (not set)",
            "g.ini:4:3: 'Locale' takes a string but got an int; the setting keeps its default (empty)",
            "g.ini:5:3: 'Region' takes a string but got no argument; the setting keeps its default (empty)",
            "g.ini:6:3: 'TextureStreamMem_pc' takes an int but got a float; the setting keeps its default (0)" } },
    { "TitleId text that is not wholly hexadecimal",
        "sub main() {\n  TitleId('12XY');\n  TitleId('XY');\n  TitleId('123456789');\n  TitleId(' -1');\n}",
        { "g.ini:2:3: 'TitleId' text '12XY' is read only up to '12': the setting is 0x12 (18)",
            "g.ini:3:3: 'TitleId' text 'XY' does not start with a hexadecimal number: the setting is 0",
            "g.ini:4:3: 'TitleId' text '123456789' is more than 32 bits of hexadecimal: the setting is 0xFFFFFFFF "
            "(4294967295)" } },
    { "through calls, with each call's arguments",
        "sub Ids(string title = '1A', int app = 0) {\n  TitleId(title);\n  AppId(app);\n  Regoin('EU');\n}\n"
        "sub main() {\n  call Ids(title = 'Q1');\n  call Ids(title = 'FF');\n  call Ids();\n}",
        { "g.ini:2:3: 'TitleId' text 'Q1' does not start with a hexadecimal number: the setting is 0",
            "g.ini:4:3: 'Regoin' is not a setting; did you mean 'Region'?" } },
    { "both branches of if and else, taken or not",
        "sub Late() { Lcale('x'); }\nsub main() {\n  if (1 > 2) {\n    Mapp('m');\n    call Late();\n  } else if "
        "(true) {\n    GameDLL(3);\n  } else {\n    AppId('1');\n  }\n}",
        { "g.ini:4:5: 'Mapp' is not a setting; did you mean 'Map'?",
            "g.ini:1:14: 'Lcale' is not a setting; did you mean 'Locale'?",
            "g.ini:7:5: 'GameDLL' takes a string but got an int; the setting keeps its default (empty)",
            "g.ini:9:5: 'AppId' takes an int but got a string; the setting keeps its default (0)" } },
    { "SkuOverride sections, their argument and their letter case",
        "sub main() {\n  SkuOverride('') {\n    Map(1);\n    AppIdd(2);\n  }\n  SkuOverride(1) { }\n"
        "  SkuOverride('console') { Locale(2); }\n  skuoverride('') { }\n}",
        { "g.ini:3:5: 'Map' takes a string but got an int; the section leaves the setting as it was",
            "g.ini:4:5: 'AppIdd' is not a setting; did you mean 'AppId'?",
            "g.ini:6:3: 'SkuOverride' takes a string (the SKU's name) but got an int; its keys apply as those of "
            "SkuOverride('')",
            "g.ini:7:28: 'Locale' takes a string but got an int; the section leaves the setting as it was",
            "g.ini:8:3: 'skuoverride' is not a section; did you mean 'SkuOverride'?" } },
    { "a walk the host stops: settings are lost, and the status is 1", "sub main() {\n  AppId(1);\n  call main();\n}",
        { "g.ini:3:8: calls and conditionals nest more than 24 levels deep here: the host stops reading settings at "
          "this point" },
        1 },
    { "bodies of other statements are not read, and not linted", "sub main() { Display() { Mapp('x'); } }", {} },
};

using SettingsLint = ScriptTest;

TEST_F(SettingsLint, WarnsAtEachStatementAndStrictFailsOnAWarning)
{
    for (const lint_case& c : lint_cases) {
        write("g.ini", c.script);
        mcscript::settings_result loose = mcscript::run_settings("g.ini", false);
        EXPECT_EQ(warnings(loose.diagnostics), c.expected) << c.what;
        EXPECT_EQ(loose.status, c.status) << c.what;
        EXPECT_EQ(mcscript::run_settings("g.ini", true).status, c.expected.empty() ? 0 : 1) << c.what;
    }
}

TEST_F(SettingsLint, WarnsWhereArgumentsCarriedThroughCallsStopTheHost)
{
    std::string ones;
    for (int i = 0; i < 600; ++i)
        ones += " + 1";
    write("g.ini",
        "sub s0(int p = 0) { AppId(p); }\nsub s1(int p = 0) { call s0(p = p" + ones
            + "); }\nsub main() {\n  call s1(p = 1" + ones + ");\n}");
    mcscript::settings_result r = mcscript::run_settings("g.ini", false);
    EXPECT_EQ(warnings(r.diagnostics),
        std::vector<std::string> { "g.ini:4:8: the arguments carried into this call nest expressions more than 1000 "
                                   "levels deep: the host stops reading settings at this point" });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.record, "");
}

TEST_F(SettingsLint, WarningsInAnImportedFileNameIt)
{
    write("lib.ini", "sub Shared() {\n  GPUMemm(1);\n}");
    write("g.ini", "import 'lib.ini'\nsub main() { call Shared(); }");
    EXPECT_EQ(warnings(mcscript::run_settings("g.ini", false).diagnostics),
        std::vector<std::string> { "lib.ini:2:3: 'GPUMemm' is not a setting; did you mean 'GPUMem'?" });
}

// Every key and its _pc name: with each kind of argument, the lint warns
// exactly when the reader passes the statement over.
TEST_F(SettingsLint, AgreesWithTheReaderOnEveryKey)
{
    const char* arguments[] = { "", "7", "'7'", "true", "7.5", "[1.0]" };
    int keys = 0;
    for (const GameIniKey& k : GameIniKeys()) {
        for (const char* name : { k.name, k.pc_name }) {
            if (!name)
                continue;
            ++keys;
            for (const char* a : arguments) {
                write("g.ini", std::string("sub main() { ") + name + "(" + a + "); }");
                mcscript::settings_result r = mcscript::run_settings("g.ini", true);
                bool read = r.record.find(std::string(k.name) + " = ") != std::string::npos;
                EXPECT_EQ(read, r.diagnostics.items().empty()) << name << "(" << a << ")";
                EXPECT_EQ(r.status, read ? 0 : 1) << name << "(" << a << ")";
            }
        }
    }
    EXPECT_EQ(keys, 23);
}

TEST_F(SettingsLint, TheSampleGameIniIsClean)
{
    mcscript::settings_result r = mcscript::run_settings(MC_SOURCE_DIR "/sample/game.ini", true);
    EXPECT_TRUE(r.diagnostics.items().empty())
        << (r.diagnostics.items().empty() ? "" : r.diagnostics.items()[0].message);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.record.find("TitleId = 6699\n"), std::string::npos) << r.record;
}

// The settings guide's table of warnings: each row whose first cell is one
// statement gives, in main, the warning its last cell quotes.
TEST_F(SettingsLint, TheSettingsGuideQuotesTheRealWarnings)
{
    std::ifstream file(MC_SOURCE_DIR "/docs/settings.md", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    std::string guide = text.str();
    size_t start = guide.find("## What mcscript settings warns about");
    ASSERT_NE(start, std::string::npos);
    std::string section = guide.substr(start, guide.find("\n## ", start + 1) - start);
    static const std::regex row("\n\\| `([A-Za-z_]+\\([^`]*\\);)` \\| [^|]* \\| `([^`]*)` \\|");
    int rows = 0;
    for (std::sregex_iterator it(section.begin(), section.end(), row), end; it != end; ++it, ++rows) {
        write("g.ini", "sub main() { " + (*it)[1].str() + " }");
        mcscript::settings_result r = mcscript::run_settings("g.ini", false);
        ASSERT_EQ(r.diagnostics.items().size(), 1u) << (*it)[1];
        EXPECT_EQ(r.diagnostics.items()[0].message, (*it)[2].str()) << (*it)[1];
    }
    EXPECT_GE(rows, 8);
}

TEST_F(SettingsLint, MissingAndFailingFilesAreErrors)
{
    write("nomain.ini", "sub other() { AppId(1); }");
    write("bad.ini", "sub main() { AppId(1 }");
    const std::pair<const char*, const char*> failures[] = {
        { "nothere.ini", "cannot open 'nothere.ini': No such file or directory" },
        { "nomain.ini", "no subtree 'main' in 'nomain.ini'" },
        { "bad.ini", "unexpected '}'; expected ')' or ','" },
    };
    for (const auto& [file, message] : failures) {
        mcscript::settings_result r = mcscript::run_settings(file, false);
        EXPECT_EQ(r.status, 1) << file;
        ASSERT_FALSE(r.diagnostics.items().empty()) << file;
        EXPECT_EQ(r.diagnostics.items()[0].message, message) << file;
        EXPECT_EQ(r.record, "") << file;
    }
}

} // namespace
