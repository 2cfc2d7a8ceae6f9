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

// The whole start-up with a game.ini the filesystem double holds.
namespace {

class GameIniStartup : public HostTest {
protected:
    int run_with(const std::string& ini_name, const std::string& text, const std::string& command_line)
    {
        fakes::set().files[ini_name] = text;
        fakes::set().frames_before_quit = 1;
        return run(command_line);
    }
    static size_t position(const std::string& prefix)
    {
        const std::vector<std::string> calls = host_calls();
        for (size_t i = 0; i < calls.size(); ++i)
            if (calls[i].rfind(prefix, 0) == 0)
                return i;
        return calls.size();
    }
};

const char* const full_ini = "sub main() {"
                             "  GameClassName('DemoGame'); GameDLL('gamedll_x64_rwdi.dll'); FastInitializePDB();"
                             "  CrashCanShowMessageBox(1); Locale('De'); AppId(480);"
                             "}";

TEST_F(GameIniStartup, EachUsedFieldReachesItsOperation)
{
    EXPECT_EQ(run_with("game.ini", full_ini, ""), 0);
    EXPECT_TRUE(called_starting_with("CreateGame(DemoGame,"));
    EXPECT_TRUE(called("InitializeGameScript(C:\\Games\\MireCrest\\bin\\gamedll_x64_rwdi.dll, true)"));
    EXPECT_TRUE(called("CrashShowMessageBox(true)"));
    EXPECT_TRUE(called("IGame::SteamInitialize(MC, 480)"));
    EXPECT_TRUE(called("IsLocaleAvailable(De)"));
    EXPECT_TRUE(called("IGame::SetLocaleID(De)"));
    EXPECT_LT(position("CrashShowMessageBox"), position("IGame::SteamInitialize"));
}

TEST_F(GameIniStartup, NoAssertWinsOverGameIni)
{
    run_with("game.ini", full_ini, "-noassert");
    size_t from_ini = position("CrashShowMessageBox(true)");
    size_t from_switch = position("CrashShowMessageBox(false)");
    ASSERT_LT(from_switch, host_calls().size());
    EXPECT_LT(from_ini, from_switch);
}

TEST_F(GameIniStartup, IniSwitchChoosesAnotherFile)
{
    run_with("other.ini", "sub main() { GameClassName('OtherGame'); }", "ini=other.ini");
    EXPECT_TRUE(called_starting_with("CreateGame(OtherGame,"));
}

// The game's log for a broken game.ini, record by record: the script tool's
// diagnostics must leave it as it always was. Start-up goes on with the defaults.
TEST_F(GameIniStartup, BrokenFileLogsTheSameRecordsAsEverAndStartsWithDefaults)
{
    EXPECT_EQ(run_with("game.ini", "sub main() {\n  GameClassName('Broken'\n  call missing();\n}\n", ""), 0);
    std::vector<std::string> logged; // the pieces of each record, from where they come
    for (const fakes::log_entry& e : fakes::log_entries())
        if (e.category == "Parser" || e.category == "EXIT" || e.category.empty())
            logged.push_back(e.file + " " + e.function + " " + e.text);
    std::vector<std::string> expected = {
        "engine/kernel/Parser/parser_y yyerror syntax error at call(3)\n",
        "engine/kernel/Parser/ParserNodes ParseUnit [ParseUnit] ",
        "engine/kernel/Parser/ParserNodes ParseUnit syntax error in 'game.ini' line 3\n",
        "engine/game/gameini_parser GameIniSettings::Load game.ini file cannot be parsed: make sure game.ini file "
        "uses <new_parser> format!\n",
    };
    EXPECT_EQ(logged, expected);
    EXPECT_EQ(fakes::log_entries_of("EXIT").at(0).line, 47);
    EXPECT_TRUE(called_starting_with("CreateGame(Game,"));
    EXPECT_TRUE(called("IGame::SteamInitialize(MC, 0)"));
}

TEST_F(GameIniStartup, MissingFileIsSilent)
{
    EXPECT_EQ(run(""), 0);
    EXPECT_TRUE(fakes::log_entries_of("EXIT").empty());
    EXPECT_TRUE(called_starting_with("CreateGame(Game,"));
}

} // namespace
