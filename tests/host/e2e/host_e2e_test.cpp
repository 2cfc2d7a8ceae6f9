// The real mirecrest over its platform and the stand-in modules, natively and,
// cross-built, on Windows under Wine: each test runs the executable in a fresh
// root of its own with a copy of the sample game as its working directory.
#include "host_e2e.h"

#include <fstream>

namespace e2e {
namespace {

TEST_F(HostE2E, RunsTheDemoGameAndExitsWithTheQuitCode)
{
    Outcome o = run({ "-frames=2", "-exitcode=7" });
    ASSERT_TRUE(o.exited) << o.output;
    EXPECT_EQ(o.code, 7) << o.output;
    EXPECT_TRUE(has(o, "first frame")) << o.output;
    EXPECT_TRUE(has(o, "quitting after 2 frames with exit code 7")) << o.output;
    EXPECT_TRUE(has(o, "write directory '" + write_dir().string() + "' (flags 1,")) << o.output;
    EXPECT_TRUE(has(o, "filesystem shut down")) << o.output;
    std::ifstream log(write_dir() / "mirecrest.log");
    std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("quitting after 2 frames"), std::string::npos) << text;
}

TEST_F(HostE2E, FailedInitializeExitsWithOneWithoutShuttingDown)
{
    Outcome o = run({ "-initfail" });
    ASSERT_TRUE(o.exited) << o.output;
    EXPECT_EQ(o.code, 1) << o.output;
    EXPECT_FALSE(has(o, "first frame")) << o.output;
    EXPECT_FALSE(has(o, "filesystem shut down")) << o.output;
    EXPECT_FALSE(has(o, "game destroyed")) << o.output;
}

// "-ami" and the registry's texts for the box are the start-up tests' own.
TEST_F(HostE2E, SecondInstanceIsRefused)
{
    ASSERT_TRUE(machine_->hold_instance_lock());
    Outcome refused = run({ "-frames=1", "-exitcode=3" });
    ASSERT_TRUE(refused.exited) << refused.output;
    EXPECT_EQ(refused.code, 0) << refused.output;
    EXPECT_TRUE(has(refused, "Mire Crest is already running")) << refused.output;
    EXPECT_FALSE(has(refused, "first frame")) << refused.output;
}

// The crash guard hands the fault to the dump writer (a report in the write
// directory, a minidump on Windows); its handler then ends the run with the
// quit message's code, 0 since no message was taken before the fault.
TEST_F(HostE2E, CrashInAFrameWritesACrashReportAndReturnsAsTheGuardSays)
{
    Outcome o = run({ "-crash", "-exitcode=5" }, Start().ending_early());
    ASSERT_TRUE(o.exited) << o.output;
    EXPECT_EQ(o.code, 0) << o.output;
    EXPECT_EQ(crash_reports().size(), 1u) << o.output;
    EXPECT_TRUE(has(o, "exception 0xC0000005")) << o.output;
    EXPECT_FALSE(has(o, "filesystem shut down")) << o.output;
#ifdef _WIN32
    ASSERT_TRUE(has(o, "minidump written")) << o.output;
    fsys::path dump = crash_reports().at(0).replace_extension(".dmp");
    char magic[4] = {};
    std::ifstream(dump, std::ios::binary).read(magic, 4);
    EXPECT_EQ(std::string(magic, 4), "MDMP") << dump;
#endif
}

// The dump writer says "keep searching": the fault takes its course.
TEST_F(HostE2E, CrashWithContinueSearchEndsByTheFault)
{
    Outcome o = run({ "-crash" }, Start().with_env("MC_DUMP_VERDICT=search").ending_early());
    EXPECT_TRUE(o.faulted) << o.output;
    EXPECT_EQ(crash_reports().size(), 1u) << o.output;
}

TEST_F(HostE2E, DumpRttiEndsWithoutCreatingTheGame)
{
    Outcome o = run({ "/DumpRTTI", "-exitcode=6" }, Start().ending_early());
    ASSERT_TRUE(o.exited) << o.output;
    EXPECT_EQ(o.code, 0) << o.output;
    EXPECT_TRUE(has(o, "class DemoGame : public IGame")) << o.output;
    EXPECT_FALSE(has(o, "first frame")) << o.output;
}

// A refusal once the mount helper and the filesystem exist releases them (a
// leak checker in the executable sees nothing left).
TEST_F(HostE2E, RefusalAfterTheFilesystemStartedShutsItDown)
{
    std::ofstream(root_ / "wd" / "long.ini") << "sub main() { GameClassName('" << std::string(300, 'c') << "'); }\n";
    Outcome o = run({ "--wd", "ini=long.ini", "-frames=1", "-exitcode=2" });
    ASSERT_TRUE(o.exited) << o.output;
    EXPECT_EQ(o.code, 0) << o.output;
    EXPECT_TRUE(has(o, "The game class name (GameClassName) does not fit in 259 characters")) << o.output;
    EXPECT_TRUE(has(o, "crash handling closed")) << o.output;
    EXPECT_TRUE(has(o, "filesystem shut down")) << o.output;
    EXPECT_FALSE(has(o, "first frame")) << o.output;
}

// The write directory from the registry's WriteDir: a relative name goes under
// the documents folder, and an empty one falls back under the working
// directory (an over-long one is refused as the start-up tests check).
TEST_F(HostE2E, WriteDirNamesRelativeAndEmpty)
{
    std::string name = "McE2E-" + std::to_string(unique());
    machine_->set_registry("WriteDir", name);
    fsys::path relative = machine_->personal_folder() / name;
    Outcome o = run({ "-frames=1" });
    EXPECT_EQ(o.code, 0) << o.output;
    EXPECT_TRUE(has(o, "write directory '" + relative.string() + "' (flags 1,")) << o.output;
    EXPECT_TRUE(fsys::exists(relative / "mirecrest.log")) << o.output;
    fsys::remove_all(relative);

    machine_->set_registry("WriteDir", "");
    o = run({ "--wd", "-frames=1" });
    EXPECT_EQ(o.code, 0) << o.output;
    EXPECT_TRUE(fsys::exists(root_ / "wd" / "MC" / "out" / "mirecrest.log")) << o.output;
    EXPECT_FALSE(fsys::exists(machine_->personal_folder() / "Mirecrest"));
}

TEST_F(HostE2E, SettingsFilesChooseTheGameClassAndLocale)
{
    Outcome o = run({ "--wd", "-frames=1" });
    EXPECT_EQ(o.code, 0) << o.output;
    EXPECT_TRUE(has(o, "creating game class 'DemoGame'")) << o.output;
    EXPECT_TRUE(has(o, "System locale is 'Es'")) << o.output;
    EXPECT_TRUE(has(o, "(app 480)")) << o.output;

    // Started from another folder, -game_dir names the game whose files are read.
    fsys::create_directories(root_ / "elsewhere");
    std::ofstream(root_ / "elsewhere" / "game.ini") << "sub main() { GameClassName('WrongGame'); }\n";
    o = run({ "-game_dir=" + (root_ / "wd").string(), "-frames=1" }, Start().in(root_ / "elsewhere"));
    EXPECT_EQ(o.code, 0) << o.output;
    EXPECT_TRUE(has(o, "creating game class 'DemoGame'")) << o.output;
}

} // namespace
} // namespace e2e
