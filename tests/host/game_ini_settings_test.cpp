// How start-up takes the game.ini values: only the keys that were set, the
// game-script module path under the executable directory, the crash box, and
// names that do not fit their buffers.
#include "host/game_ini_settings.h"

#include "tests/host/host_fixture.h"

namespace {

HostRun run_in(const char* executable_dir)
{
    HostRun run;
    run.executable_dir.assign(executable_dir);
    return run;
}

TEST_F(HostTest, UnsetKeysKeepTheDefaults)
{
    HostRun run = run_in("C:\\bin\\");
    ASSERT_TRUE(TakeGameIniValues(GameIniValues {}, run));
    EXPECT_STREQ(run.game_class_name.c_str(), "Game");
    EXPECT_TRUE(run.game_script_path.empty());
    EXPECT_FALSE(run.script_flag);
    EXPECT_EQ(run.app_id, 0);
    EXPECT_TRUE(run.locale.empty());
    EXPECT_FALSE(called_starting_with("CrashShowMessageBox"));
}

TEST_F(HostTest, SetKeysChangeTheRun)
{
    GameIniValues values;
    values.has_game_class = true;
    values.game_class = "DemoGame";
    values.has_game_dll = true;
    values.game_dll = "gamedll_x64_rwdi.dll";
    values.has_crash_box = true;
    values.crash_box = 2;
    values.has_locale = true;
    values.locale = "De";
    values.has_app_id = true;
    values.app_id = 480;
    values.has_fast_init = true;
    values.fast_init = true;
    HostRun run = run_in("C:\\bin\\");
    ASSERT_TRUE(TakeGameIniValues(values, run));
    EXPECT_STREQ(run.game_class_name.c_str(), "DemoGame");
    EXPECT_STREQ(run.game_script_path.c_str(), "C:\\bin\\gamedll_x64_rwdi.dll");
    EXPECT_TRUE(run.script_flag);
    EXPECT_EQ(run.app_id, 480);
    EXPECT_STREQ(run.locale.c_str(), "De");
    EXPECT_TRUE(called("CrashShowMessageBox(true)"));

    values.crash_box = 0;
    TakeGameIniValues(values, run);
    EXPECT_TRUE(called("CrashShowMessageBox(false)"));
}

TEST_F(HostTest, NamesThatDoNotFitAreRefused)
{
    GameIniValues values;
    values.has_game_dll = true;
    values.game_dll = std::string(259 - 7, 'm').c_str(); // "C:\bin\" takes 7
    HostRun run = run_in("C:\\bin\\");
    EXPECT_TRUE(TakeGameIniValues(values, run));
    values.game_dll = std::string(253, 'm').c_str();
    EXPECT_FALSE(TakeGameIniValues(values, run));

    GameIniValues names;
    names.has_game_class = true;
    names.game_class = std::string(260, 'c').c_str();
    EXPECT_FALSE(TakeGameIniValues(names, run));
    EXPECT_STREQ(run.game_class_name.c_str(), "Game");
    EXPECT_EQ(fakes::log_entries_of("EXIT").size(), 2u);
}

} // namespace
