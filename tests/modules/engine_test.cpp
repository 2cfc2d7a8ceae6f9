// The engine stand-in: the demo game's switches, the mount helper's
// availability rule, the simulated Steam client and the version override.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "host/modules/engine_module.h"
#include "modules/engine/demo_switches.h"
#include "tests/modules/temp_directory.h"
#include "tests/support/posix_environment.h"

namespace {

TEST(DemoSwitches, ReadFromTheCommandLine)
{
    struct row {
        const char* line;
        int64_t frames;
        int exit_code;
        bool init_fail, crash;
        int refused;
    } rows[] = {
        { "", 120, 0, false, false, 0 }, { "-frames=3 -exitcode=7", 3, 7, false, false, 0 },
        { "gn=MC\t-initfail  -crash", 120, 0, true, true, 0 }, { "-exitcode=-2 -frames=0", 0, -2, false, false, 0 },
        { "-frames=1000000000 -exitcode=2147483647", 1000000000, 2147483647, false, false, 0 },
        { "-frames=1000000001 -exitcode=2147483648", 120, 0, false, false, 2 }, // out of range
        { "-frames=-1 -frames= -frames=5x -exitcode=", 120, 0, false, false, 4 },
        { "-frames=99999999999999999999999", 120, 0, false, false, 1 },
        { "--frames=5 x-crash -initfailed -crash=1", 120, 0, false, false, 0 }, // whole tokens only
        { "-frames=2 -frames=9", 9, 0, false, false, 0 }, // the last one wins
    };
    for (const row& r : rows) {
        demo::switches s = demo::parse_switches(r.line, demo::headless_frames);
        EXPECT_EQ(s.frames, r.frames) << r.line;
        EXPECT_EQ(s.exit_code, r.exit_code) << r.line;
        EXPECT_EQ(s.init_fail, r.init_fail) << r.line;
        EXPECT_EQ(s.crash, r.crash) << r.line;
        EXPECT_EQ(s.refused, r.refused) << r.line;
    }
    EXPECT_EQ(demo::parse_switches(nullptr, 5).frames, 5);
}

TEST(MountHelper, LanguageIsAvailableWhenItsFolderExists)
{
    temp_directory working;
    std::filesystem::create_directories(working.path() / "MC/localization/Es");
    std::filesystem::create_directories(working.path() / "MC/speech/En");
    std::filesystem::create_directories(working.path() / "MC/localization/.hidden");
    write_text(working / "MC/localization/Fr", "a file, not a folder");
    Mount::IMountHelper* helper = Mount::CreateMountHelper((working.str() + "/").c_str(), "MC", nullptr);
    struct row {
        const char* name;
        bool locale, speech;
    } rows[] = {
        { "Es", true, false },
        { "En", false, true },
        { "es", false, false }, // letter case counts
        { "Fr", false, false },
        { "", false, false },
        { "..", false, false },
        { "../localization/Es", false, false }, // no way out of the folder
        { ".hidden", true, false },
    };
    for (const row& r : rows) {
        EXPECT_EQ(helper->IsLocaleAvailable(r.name), r.locale) << r.name;
        EXPECT_EQ(helper->IsSpeechAvailable(r.name), r.speech) << r.name;
    }
    helper->AddSource(15, 1, string_base(), 2, true);
    Mount::DestroyMountHelper(helper);
}

class Steam : public ::testing::Test {
protected:
    void TearDown() override
    {
        IGame::SteamTerminate();
        for (const char* name : { "MC_STEAM_CLIENT", "MC_STEAM_LOCALE", "MC_STEAM_FILES", "MC_ENGINE_VERSION" })
            unsetenv(name);
    }
};

TEST_F(Steam, NoClientByDefault)
{
    EXPECT_FALSE(IGame::SteamInitialize("MC", 0));
    EXPECT_FALSE(IGame::SteamClientStarted());
    setenv("MC_STEAM_FILES", "out/LanguageEl", 1);
    EXPECT_FALSE(SteamRemoteStorage()->FileExists("out/LanguageEl")); // no client, no storage
    EXPECT_EQ(IGame::GetFallbackLocaleID(), "En");
    EXPECT_EQ(IGame::GetFallbackSpeechID(), "En");
    EXPECT_EQ(IGame::GetDefaultSpeechID("Es"), "Es");
}

TEST_F(Steam, SimulatedClientWithLocaleAndFiles)
{
    setenv("MC_STEAM_CLIENT", "1", 1);
    setenv("MC_STEAM_LOCALE", "Es", 1);
    setenv("MC_STEAM_FILES", "out/Other,out/LanguageEl", 1);
    EXPECT_TRUE(IGame::SteamInitialize("MC", 480));
    EXPECT_TRUE(IGame::SteamClientStarted());
    EXPECT_EQ(IGame::GetDefaultLocaleID(), "Es");
    EXPECT_TRUE(SteamRemoteStorage()->FileExists("out/LanguageEl"));
    EXPECT_FALSE(SteamRemoteStorage()->FileExists("out/Language"));
    IGame::SteamTerminate();
    EXPECT_FALSE(IGame::SteamClientStarted());
    unsetenv("MC_STEAM_LOCALE");
    EXPECT_EQ(IGame::GetDefaultLocaleID(), "En");
}

TEST_F(Steam, EngineVersionOverride)
{
    EXPECT_EQ(GetEngineDllVersion(), kEngineDllVersion);
    setenv("MC_ENGINE_VERSION", "0x00050001", 1);
    EXPECT_EQ(GetEngineDllVersion(), 0x00050001);
    setenv("MC_ENGINE_VERSION", "12", 1);
    EXPECT_EQ(GetEngineDllVersion(), 12);
    setenv("MC_ENGINE_VERSION", "six", 1);
    EXPECT_EQ(GetEngineDllVersion(), kEngineDllVersion);
}

} // namespace
