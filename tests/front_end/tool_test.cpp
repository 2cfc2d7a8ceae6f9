// The mcscript tool end to end: every command, its output and exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

#include "tests/support/script_fixture.h"

namespace {

struct run_result {
    int status;
    std::string out;
};

run_result run(const std::string& arguments)
{
    std::string command = std::string(MCSCRIPT_PATH) + " " + arguments + " 2>/dev/null";
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
    EXPECT_EQ(run("walk --extern f=2 e.ini").status, 1) << "2 has no point: not a float";
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

TEST_F(Tool, MulvIgnoresTheTranslation)
{
    write("m.ini", "float z = 0.0; sub main() { F(mulv(translate(z / z, 0.0, 0.0), [1.0, 2.0, 3.0])); }");
    run_result r = run("walk m.ini");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "F([1, 2, 3])\n");
}

TEST_F(Tool, DumpWritesEachArgumentExpression)
{
    write("d.ini", "int i = 2; sub main() { F(1 + 2); }");
    run_result r = run("dump d.ini");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "F(3)");
    EXPECT_NE(r.out.find("  arg 0\n    block 0x01000000 root=0\n"), std::string::npos) << r.out;
}

} // namespace
