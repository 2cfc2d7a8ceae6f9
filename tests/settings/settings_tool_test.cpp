// "mcscript settings" end to end: the record on standard output, the warnings
// on standard error in the diagnostic form, and the exit status with --strict.
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

// Runs the tool through the shell; redirect says where each stream goes.
run_result run(const std::string& arguments, const char* redirect)
{
    std::string command = std::string(MCSCRIPT_PATH) + " " + arguments + " " + redirect;
    run_result r { -1, "" };
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return r;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        r.out.append(buffer, n);
    int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

using SettingsTool = ScriptTest;

TEST_F(SettingsTool, PrintsTheRecordAndWarnsOnStandardError)
{
    write("game.ini", "sub main() {\n  AppId(480);\n  GameClasName('Game');\n}\n");
    run_result out = run("settings game.ini", "2>/dev/null");
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(out.out, "AppId = 480\n");
    run_result err = run("settings --strict game.ini", "2>&1 >/dev/null");
    EXPECT_EQ(err.status, 1);
    EXPECT_EQ(err.out,
        "game.ini:3:3: warning: 'GameClasName' is not a setting; did you mean 'GameClassName'?\n"
        "    3 |   GameClasName('Game');\n"
        "      |   ^~~~~~~~~~~~\n");
    EXPECT_EQ(run("check --strict game.ini", "2>/dev/null").status, 2) << "--strict belongs to settings";
}

} // namespace
