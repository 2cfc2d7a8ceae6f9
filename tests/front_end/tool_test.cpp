// The mcscript tool end to end: every command, its output and exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include "tests/support/script_fixture.h"

namespace {

struct run_result {
    int status;
    std::string out;
};

run_result run(const std::string& arguments, const std::string& environment = "")
{
    bool keeps_stderr = arguments.find(" 2>") != std::string::npos;
    std::string command
        = environment + " " + std::string(MCSCRIPT_PATH) + " " + arguments + (keeps_stderr ? "" : " 2>/dev/null");
    run_result r { -1, "" };
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return r;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        r.out.append(buffer, n);
    int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

// The run with standard error too; the command line may redirect standard input.
struct full_result {
    int status;
    std::string out;
    std::string err;
};

full_result run_full(const std::string& arguments, const std::string& environment = "")
{
    run_result r = run(arguments + " 2>stderr.txt", environment);
    std::ostringstream err;
    err << std::ifstream("stderr.txt").rdbuf();
    return { r.status, r.out, err.str() };
}

using Tool = ScriptTest;

TEST_F(Tool, CheckReportsEachFile)
{
    write("good.ini", "int x = 1;");
    write("bad.ini", "int x = ;");
    EXPECT_EQ(run("check good.ini").status, 0);
    EXPECT_EQ(run("check good.ini bad.ini").status, 1);
    EXPECT_EQ(run("check missing.ini").status, 1);
    EXPECT_EQ(run("check").status, 2);
    EXPECT_EQ(run("frobnicate x").status, 2);
    EXPECT_EQ(run("").status, 2);
}

TEST_F(Tool, WalkPrintsWhatAReaderSees)
{
    write("s.ini", "sub main() { Size(1920, 1080) { Mode('full'); } } sub other() { O([1.0, 2.0, 3.0]); }");
    run_result r = run("walk s.ini");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Size(1920, 1080) {\n  Mode(\"full\")\n}\n");
    r = run("walk --subtree other s.ini");
    EXPECT_EQ(r.out, "O([1, 2, 3])\n");
    EXPECT_EQ(run("walk --subtree nothere s.ini").status, 1);
    EXPECT_EQ(run("walk s.ini s.ini").status, 2);
    EXPECT_EQ(run("walk --extern novalue s.ini").status, 2);
}

TEST_F(Tool, ExternValuesBindByTypeAndIndex)
{
    write("e.ini",
        "extern bool b; extern int i = count; extern float f; extern string s; extern vec3 v;"
        "extern vec4 q; extern mtx m; int k = 5; extern int pick = list k;"
        "sub main() { F(b, i, f, s, v, q, mulp(m, [1.0]), pick); }");
    run_result r = run("walk --extern b=true --extern count=0x10 --extern f=2.5 --extern s=hi --extern v=1,2,3 "
                       "--extern q=1,2,3,4 --extern m=1,0,0,5,0,1,0,0,0,0,1,0,0,0,0,1 --extern 'list=7;8;9' e.ini");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "F(true, 16, 2.5, \"hi\", [1, 2, 3], [1, 2, 3, 4], [6, 1, 1], 9)\n");
    EXPECT_EQ(run("walk --extern f=2 e.ini").status, 2) << "2 has no point: not a float, a usage error";
    EXPECT_EQ(run("walk e.ini").status, 1) << "no interface without --extern";
}

// The tool leaves the last file's tree to the process exit. Built with the
// address sanitizer, a leak report would turn these exits into failures: the
// tree, its strings and the tables it holds must stay reachable to the end.
TEST_F(Tool, LeavesTheLastTreeToTheExitWithoutALeak)
{
    write("a.ini", "string s = 'text'; int k = 2; sub main() { A(s + '_' + k, [1.0, 2.0, 3.0]) { B(k * 3); } }");
    write("b.ini", "import 'a.ini'\nsub other(int a = 1) { C(a); } sub main() { call other(a = 4); }");
    EXPECT_EQ(run("check a.ini b.ini a.ini").status, 0) << "earlier trees released, the last one kept";
    run_result r = run("walk a.ini");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "A(\"text_2\", [1, 2, 3]) {\n  B(6)\n}\n");
    r = run("walk b.ini");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "C(4)\n");
    EXPECT_EQ(run("dump b.ini").status, 0);
    EXPECT_EQ(run("walk --subtree missing b.ini").status, 1) << "the tree is kept on failure too";
}

TEST_F(Tool, ExternValuesTheExternCannotTakeAreUsageErrors)
{
    write("t.ini", "extern bool b; extern int i; extern float f; extern vec3 v; sub main() { F(b, i, f, v); }");
    const std::string good = "--extern b=true --extern i=1 --extern f=1.0 --extern v=1,2,3 ";
    struct {
        const char* assignment;
        int status;
    } cases[] = {
        { "i=-2147483648", 0 },
        { "i=0xffffffff", 0 },
        { "f=-1.5e3", 0 },
        { "v=1.5,-2,3e2", 0 },
        { "b=yes", 2 },
        { "i=abc", 2 },
        { "i=2147483648", 2 },
        { "i=' 5'", 2 },
        { "i=+5", 2 },
        { "f=nan", 2 },
        { "f=inf", 2 },
        { "f=0x1.8p1", 2 },
        { "f=1e99", 2 },
        { "f=1.0e99", 2 },
        { "f=' 1.5'", 2 },
        { "f=2", 2 },
        { "v=1,2", 2 },
        { "v='1, 2, 3'", 2 },
        { "'i=1;x'", 2 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(run("walk " + good + "--extern " + c.assignment + " t.ini").status, c.status) << c.assignment;
    EXPECT_EQ(run("check " + good + "--extern i=x t.ini").status, 2);
    EXPECT_EQ(
        run_full("walk " + good + "--extern i=12x t.ini").err, "mcscript: --extern i=12x: not a value of type int\n");
}

TEST_F(Tool, AWalkStoppedByANestingLimitFails)
{
    write("loop.ini", "sub loop() { L(); call loop(); } sub main() { A(); call loop(); B(); }");
    run_result r = run("walk loop.ini");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.substr(0, 8), "A()\nL()\n") << "what was walked is still printed";
    EXPECT_EQ(run("settings loop.ini").status, 1);
    write("fine.ini", "sub main() { A(); }");
    EXPECT_EQ(run("settings fine.ini").status, 0);
}

TEST_F(Tool, AScriptOfTwoGibibytesIsRefused)
{
    // Sparse: the size is refused before anything is read.
    write("big.ini", "");
    std::filesystem::resize_file("big.ini", uint64_t(1) << 31);
    EXPECT_EQ(run("check big.ini").status, 1);
}

TEST_F(Tool, DumpWritesEachArgumentExpression)
{
    write("d.ini", "int i = 2; sub main() { F(1 + 2); }");
    run_result r = run("dump d.ini");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "F(3)");
    EXPECT_NE(r.out.find("  arg 0\n    block 0x01000000 root=0\n"), std::string::npos) << r.out;
}

const char* const broken = "int x = 1\nGameClassName\n";
const char* const broken_shown = "bad.ini:1:10: error: expected ';' before 'GameClassName'\n"
                                 "    1 | int x = 1\n"
                                 "      |          ^\n";

TEST_F(Tool, EveryCommandShowsDiagnosticsInTheCompilersForm)
{
    write("bad.ini", broken);
    for (const char* command : { "check", "walk", "dump", "settings" }) {
        full_result r = run_full(std::string(command) + " bad.ini");
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_EQ(r.out, "") << command;
        EXPECT_EQ(r.err, broken_shown) << command;
    }
}

TEST_F(Tool, CheckReportsEveryFailingFileAndKeepsWarningsSuccessful)
{
    write("bad.ini", broken);
    write("good.ini", "int x = 1;");
    write("worse.ini", "int y = ;");
    full_result r = run_full("check bad.ini good.ini worse.ini missing.ini");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
        std::string(broken_shown)
            + "worse.ini:1:9: error: unexpected ';'; expected an expression\n"
              "    1 | int y = ;\n"
              "      |         ^\n"
              "mcscript: error: cannot open 'missing.ini': No such file or directory\n");
    write("bom.ini", "\xEF\xBB\xBFint x = 1;");
    r = run_full("check bom.ini");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')),
        "bom.ini:1:1: warning: the file starts with a UTF-8 byte-order mark; the game reads it as empty");
}

TEST_F(Tool, FilesThatCannotBeReadSayWhy)
{
    std::filesystem::create_directory("folder.ini");
    full_result r = run_full("check folder.ini");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "mcscript: error: cannot open 'folder.ini': Is a directory\n");
    r = run_full("settings missing.ini");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "mcscript: error: cannot open 'missing.ini': No such file or directory\n");
}

TEST_F(Tool, RecordsShowTheGamesOwnLogOnlyWhenAsked)
{
    write("bad.ini", broken);
    const std::string clog = "ERRR Parser yyerror: syntax error at GameClassName(2)\n";
    const std::string parse_unit = "ERRR Parser ParseUnit: [ParseUnit] syntax error in 'bad.ini' line 2\n";
    EXPECT_EQ(run_full("check bad.ini").err, broken_shown);
    EXPECT_EQ(run_full("check --records bad.ini").err, clog + parse_unit + broken_shown);
    EXPECT_EQ(run_full("--records check bad.ini").err, clog + parse_unit + broken_shown);
    EXPECT_EQ(run_full("walk --records bad.ini").err, clog + parse_unit + broken_shown);
    EXPECT_EQ(run_full("check --records bad.ini", "MC_LOG=Parser=0").err, clog + broken_shown)
        << "MC_LOG filters the category records";
}

TEST_F(Tool, HelpAndVersionGoToStandardOutput)
{
    for (const char* option : { "--help", "-h", "check --help" }) {
        full_result r = run_full(option);
        EXPECT_EQ(r.status, 0) << option;
        EXPECT_EQ(r.out.substr(0, 30), "usage: mcscript check [--recor") << option;
        EXPECT_NE(r.out.find("- reads standard input"), std::string::npos) << option;
        EXPECT_EQ(r.err, "") << option;
    }
    full_result r = run_full("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, 9), "mcscript ");
    EXPECT_EQ(r.out.back(), '\n');
    r = run_full("check --frobnicate x.ini");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "mcscript: error: unknown option --frobnicate");
}

TEST_F(Tool, SettingsPrintsTheRecordAndWarnsOnStandardError)
{
    write("game.ini", "sub main() {\n  AppId(480);\n  GameClasName('Game');\n}\n");
    full_result r = run_full("settings game.ini");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "AppId = 480\n");
    r = run_full("settings --strict game.ini");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "AppId = 480\n");
    EXPECT_EQ(r.err,
        "game.ini:3:3: warning: 'GameClasName' is not a setting; did you mean 'GameClassName'?\n"
        "    3 |   GameClasName('Game');\n"
        "      |   ^~~~~~~~~~~~\n");
    EXPECT_EQ(run("check --strict game.ini").status, 2) << "--strict belongs to settings";
}

TEST_F(Tool, DashReadsStandardInput)
{
    write("bad.ini", "int x = ;\n");
    write("good.ini", "sub main() { Size(1); }");
    full_result r = run_full("check - < bad.ini");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
        "<stdin>:1:9: error: unexpected ';'; expected an expression\n"
        "    1 | int x = ;\n"
        "      |         ^\n");
    r = run_full("walk - < good.ini");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Size(1)\n");
}

} // namespace
