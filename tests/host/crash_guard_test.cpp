// The crash guard: a fault in a frame goes through GenerateDump to the host's
// dump function and WriteFullDump; the handler restores the dump function,
// tears SDL down and returns the last message's wParam; nothing else shuts down.
#include "host/crash_guard.h"

#include "engine/kernel/Parser/node_pool.h"
#include "tests/host/host_fixture.h"

namespace {

using Calls = std::vector<std::string>;

const Calls kNotOnTheCrashPath = { "DestroyGame()", "Mount::DestroyMountHelper", "UninitializeGameScript()",
    "CrashClose()", "fs::shutdown()", "IGame::SteamTerminate()", "destroy_icon" };

TEST_F(HostTest, CrashInAFrameWritesTheDumpAndRunsOnlyTheLastTwoShutdownSteps)
{
    fakes::set().crash_at_frame = 1;
    platform::fake::set().messages.push_back(platform::message { nullptr, 0x100, 5, 0, 0 });
    EXPECT_EQ(run(""), 5); // the wParam of the last message taken
    Calls tail = platform::fake::calls_starting_with(
        { "raise_fault", "GenerateDump", "WriteFullDump", "SetDumpFunction", "previous dump" });
    EXPECT_EQ(tail,
        (Calls { "SetDumpFunction(HostDumpFunction)", "raise_fault(0xc0000005)", "GenerateDump(0xc0000005)",
            "WriteFullDump(0xc0000005, pointers, null, false, null)", "SetDumpFunction(previous)" }));
    for (const std::string& call : kNotOnTheCrashPath)
        EXPECT_FALSE(called_starting_with(call)) << call;
    EXPECT_EQ(platform::fake::active_guards(), 0);
}

// The record of a crashed run is neither released nor destroyed: the settings,
// their parsed script and the texts stay as the fault left them. A run that
// ends normally leaves no record behind.
TEST_F(HostTest, CrashLeavesTheRunsRecordAsItWas)
{
    uint32_t live_before = parser::node_pool_live_count();
    fakes::set().files["game.ini"] = "sub main() { Locale('Fr'); }";
    fakes::set().crash_at_frame = 1;
    fakes::set().quit_code = 9;
    EXPECT_EQ(run("-x"), 0) << "no message was taken before the fault";
    std::unique_ptr<HostRun> crashed = TakeCrashedRun();
    ASSERT_TRUE(crashed);
    ASSERT_TRUE(crashed->settings);
    EXPECT_NE(crashed->settings->parse_result, nullptr);
    EXPECT_GT(parser::node_pool_live_count(), live_before);
    EXPECT_STREQ(crashed->locale.c_str(), "Fr");
    EXPECT_STREQ(crashed->command_line_copy.c_str(), "-x");
    crashed.reset();
    EXPECT_EQ(parser::node_pool_live_count(), live_before);

    reset_everything();
    fakes::set().files["game.ini"] = "sub main() { Locale('Fr'); }";
    EXPECT_EQ(run("-x"), 0);
    EXPECT_FALSE(TakeCrashedRun());
    EXPECT_EQ(parser::node_pool_live_count(), live_before);
}

// The switch's spellings are the command-line tests' own.
TEST_F(HostTest, FullDumpSwitchReachesWriteFullDump)
{
    fakes::set().crash_at_frame = 1;
    run("x /FullDump");
    EXPECT_TRUE(called("WriteFullDump(0xc0000005, pointers, null, true, null)"));
}

TEST_F(HostTest, ResumeVerdictLetsTheGameGoOn)
{
    fakes::set().crash_at_frame = 1;
    fakes::set().frames_before_quit = 2;
    fakes::set().quit_code = 4;
    fakes::set().dump_verdict = -1;
    EXPECT_EQ(run(""), 4);
    EXPECT_TRUE(called("fs::shutdown()"));
}

TEST_F(HostTest, ContinueSearchVerdictLeavesTheFaultToTakeItsCourse)
{
    fakes::set().crash_at_frame = 1;
    fakes::set().dump_verdict = 0;
    EXPECT_THROW(run(""), platform::fake::unhandled_fault);
    EXPECT_FALSE(called("SetDumpFunction(previous)"));
}

TEST_F(HostTest, CrashDuringDumpRttiGoesThroughTheGuard)
{
    fakes::set().crash_in_dump_rtti = true;
    EXPECT_EQ(run("/DumpRTTI"), 0);
    EXPECT_TRUE(called("GenerateDump(0xc0000005)"));
    EXPECT_TRUE(called("SetDumpFunction(previous)"));
}

TEST_F(HostTest, HostDumpFunctionOnlyWritesTheDumpAndReportsZero)
{
    platform::exception_pointers pointers { 0xC0000094, nullptr };
    SetFullDump(true);
    EXPECT_EQ(HostDumpFunction(0xC0000094, &pointers), EDumpResult::Handled);
    EXPECT_EQ(platform::fake::calls(), Calls { "WriteFullDump(0xc0000094, pointers, null, true, null)" });
}

} // namespace
