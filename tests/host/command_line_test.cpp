// The command line: splitting into the token table with its limits, the token
// switches, and the "--wd" / "-game_dir=" substring switches as WinMain applies them.
#include "host/command_line.h"

#include <string>

#include "tests/host/host_fixture.h"

namespace {

std::vector<std::string> tokens()
{
    std::vector<std::string> out;
    for (int i = 0; i < g_CommandLineTokens.count; ++i)
        out.push_back(g_CommandLineTokens.entries[i]);
    return out;
}

using Tokens = std::vector<std::string>;
const std::string kExe = "C:\\Games\\MireCrest\\bin\\mirecrest.exe";

TEST_F(HostTest, SplitsAtRunsOfBlanksAndTabsAndQuotesMeanNothing)
{
    EXPECT_EQ(SplitCommandLine("  a\t\tb  \"c d\" ", instance()), 0);
    EXPECT_EQ(tokens(), (Tokens { kExe, "a", "b", "\"c", "d\"" }));
    EXPECT_EQ(SplitCommandLine("", instance()), 0);
    EXPECT_EQ(tokens(), (Tokens { kExe }));
    EXPECT_TRUE(called("module_file_name(instance, 256)"));
}

TEST_F(HostTest, EntryZeroIsTheModuleFileNameCutToTwoHundredFiftyFiveCharacters)
{
    platform::fake::set().instance_name_known = false;
    SplitCommandLine("a", instance());
    EXPECT_EQ(tokens(), (Tokens { kExe, "a" }));
    EXPECT_TRUE(called("module_file_name(null, 256)")) << "the executable's name stands in for the instance's";

    platform::fake::set().module_file_name = std::string(300, 'm');
    SplitCommandLine("next", instance());
    EXPECT_EQ(tokens(), (Tokens { std::string(255, 'm'), "next" }));
}

TEST_F(HostTest, SixtyThreeTokensFitAndMoreAreDroppedWithAnErrorRecord)
{
    std::string line;
    for (int i = 0; i < 63; ++i)
        line += "t" + std::to_string(i) + " ";
    EXPECT_EQ(SplitCommandLine(line.c_str(), instance()), 0);
    EXPECT_EQ(g_CommandLineTokens.count, 64);
    EXPECT_TRUE(fakes::log_entries().empty());

    EXPECT_EQ(SplitCommandLine((line + "x y").c_str(), instance()), 2);
    EXPECT_EQ(g_CommandLineTokens.count, 64);
    EXPECT_STREQ(g_CommandLineTokens.entries[63], "t62");
    auto records = fakes::log_entries_of("Game");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].level, 2);
    EXPECT_EQ(records[0].file, "WinFrame");
    EXPECT_EQ(records[0].function, "SplitCommandLine");
    EXPECT_NE(records[0].text.find("2 tokens dropped"), std::string::npos) << records[0].text;
}

TEST_F(HostTest, TokenTextStopsAtTheFirstTokenThatDoesNotFitTheTextArea)
{
    // Entry 0 takes 38 bytes with its zero; 1024 - 38 = 986 remain.
    std::string exact(985, 'a');
    EXPECT_EQ(SplitCommandLine(exact.c_str(), instance()), 0);
    EXPECT_EQ(tokens(), (Tokens { kExe, exact }));

    std::string too_long(986, 'a');
    EXPECT_EQ(SplitCommandLine(("ok " + too_long + " b").c_str(), instance()), 2);
    EXPECT_EQ(tokens(), (Tokens { kExe, "ok" }));
}

// What the token switches make of a command line, seen in CreateMountHelper's
// arguments (working dir, game folder, prefix) and in the full-dump switch.
struct SwitchCase {
    const char* command_line;
    const char* mount_helper_call;
    bool full_dump;
};

const std::string kWd = "C:\\Games\\MireCrest\\bin\\";

const SwitchCase kSwitchCases[] = {
    { "", "Mount::CreateMountHelper(C:\\Games\\MireCrest\\bin\\, MC, null)", false },
    { "gn=Mod pre=Patch1", "Mount::CreateMountHelper(C:\\Games\\MireCrest\\bin\\, Mod, Patch1)", false },
    { "gn=", "Mount::CreateMountHelper(C:\\Games\\MireCrest\\bin\\, Engine, null)", false },
    { "gn=A gn=B", "Mount::CreateMountHelper(C:\\Games\\MireCrest\\bin\\, B, null)", false },
    { "GN=A Pre=x", "Mount::CreateMountHelper(C:\\Games\\MireCrest\\bin\\, MC, null)", false },
    { "/FULLDUMP", "Mount::CreateMountHelper(C:\\Games\\MireCrest\\bin\\, MC, null)", true },
    { "/fulldumpx", "Mount::CreateMountHelper(C:\\Games\\MireCrest\\bin\\, MC, null)", false },
    { "pre=", "Mount::CreateMountHelper(C:\\Games\\MireCrest\\bin\\, MC, )", false },
};

class SwitchTest : public HostTest, public ::testing::WithParamInterface<SwitchCase> { };

TEST_P(SwitchTest, SetsFolderPrefixAndFullDump)
{
    run(GetParam().command_line);
    EXPECT_TRUE(called(GetParam().mount_helper_call)) << GetParam().command_line;
    EXPECT_EQ(FullDump(), GetParam().full_dump);
}

INSTANTIATE_TEST_SUITE_P(Host, SwitchTest, ::testing::ValuesIn(kSwitchCases));

TEST(TokenSwitches, FirstMatchingSwitchAppliesAndIniIsCaseSensitive)
{
    struct Case {
        const char* line;
        const char* ini;
        bool dump_rtti;
    };
    const Case cases[] = {
        { "ini=my.ini", "my.ini", false },
        { "INI=my.ini", "game.ini", false },
        { "ini=", "", false },
        { "ini=gn=x", "gn=x", false },
        { "/dumprtti", "game.ini", true },
        { "/DumpRTTI2", "game.ini", false },
    };
    for (const Case& c : cases) {
        platform::fake::reset();
        SplitCommandLine(c.line, nullptr);
        TokenSwitches switches;
        ASSERT_TRUE(ScanTokenSwitches(g_CommandLineTokens, switches));
        EXPECT_STREQ(switches.ini_file_name, c.ini) << c.line;
        EXPECT_STREQ(switches.game_folder, "MC") << c.line;
        EXPECT_EQ(switches.dump_rtti, c.dump_rtti) << c.line;
    }
}

TEST(TokenSwitches, EntryZeroIsScannedToo)
{
    platform::fake::reset();
    platform::fake::set().module_file_name = "gn=FromModuleName";
    SplitCommandLine("", nullptr);
    TokenSwitches switches;
    ASSERT_TRUE(ScanTokenSwitches(g_CommandLineTokens, switches));
    EXPECT_STREQ(switches.game_folder, "FromModuleName");
}

// "gn=" and "pre=" values live in 260-byte buffers: 259 characters fit, 260 refuse start-up.
TEST_F(HostTest, OverLongFolderOrPrefixRefusesStartUpWithAnExitRecord)
{
    for (const char* key : { "gn=", "pre=" }) {
        reset_everything();
        EXPECT_EQ(run(key + std::string(259, 'f')), 0);
        EXPECT_TRUE(called_starting_with("Mount::CreateMountHelper")) << key;

        reset_everything();
        EXPECT_EQ(run(key + std::string(260, 'f')), 0);
        EXPECT_FALSE(called_starting_with("Mount::CreateMountHelper")) << key;
        auto records = fakes::log_entries_of("EXIT");
        ASSERT_EQ(records.size(), 1u) << key;
        EXPECT_EQ(records[0].level, 1);
        EXPECT_EQ(records[0].action, 3);
        EXPECT_NE(records[0].text.find("does not fit in 259 characters"), std::string::npos);
    }
}

// The working directory each case ends with, seen in CreateMountHelper.
struct WorkingDirCase {
    const char* command_line;
    const char* working_dir;
};

const WorkingDirCase kWorkingDirCases[] = {
    { "--wd", "C:\\Work\\" },
    { "x--wdx", "C:\\Work\\" },
    { "-game_dir=D:\\Games\\Root", "D:\\Games\\Root\\" },
    { "-game_dir=D:/Games/Root/", "D:/Games/Root/" },
    { "-game_dir=D:\\Games\\Root\\ -x", "D:\\Games\\Root\\" },
    { "-game_dir=D:\\A b", "D:\\A\\" },
    { "--wd -game_dir=E:\\G", "E:\\G\\" },
    { "-game_dir=E:\\G --wd", "E:\\G\\" },
    { "-GAME_DIR=E:\\G", "C:\\Games\\MireCrest\\bin\\" },
    { "-game_dir=", "C:\\Games\\MireCrest\\bin\\" },
    { "-game_dir= rest", "C:\\Games\\MireCrest\\bin\\" },
};

class WorkingDirTest : public HostTest, public ::testing::WithParamInterface<WorkingDirCase> { };

TEST_P(WorkingDirTest, ComesFromTheSwitches)
{
    EXPECT_EQ(run(GetParam().command_line), 0);
    std::string expected = std::string("Mount::CreateMountHelper(") + GetParam().working_dir + ", MC, null)";
    EXPECT_TRUE(called(expected)) << GetParam().command_line;
    EXPECT_TRUE(called(std::string("IGame::SetRootDirectory(") + GetParam().working_dir + ")"));
}

INSTANTIATE_TEST_SUITE_P(Host, WorkingDirTest, ::testing::ValuesIn(kWorkingDirCases));

TEST_F(HostTest, EmptyGameDirIsIgnoredWithAnErrorRecord)
{
    run("-game_dir=");
    EXPECT_FALSE(called_starting_with("fs::does_dir_exist"));
    auto records = fakes::log_entries_of("Game");
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records[0].level, 2);
    EXPECT_NE(records[0].text.find("-game_dir= names no directory"), std::string::npos);
}

TEST_F(HostTest, MissingGameDirIsLoggedAndStartUpGoesOn)
{
    fakes::set().does_dir_exist = false;
    EXPECT_EQ(run("-game_dir=D:\\Nowhere"), 0);
    EXPECT_TRUE(called("fs::does_dir_exist(D:\\Nowhere\\)"));
    EXPECT_EQ(fakes::log_entries_of("EXIT"),
        (std::vector<fakes::log_entry> { { 1, "EXIT", "WinFrame", 394, "WinMain", 3, 0,
            "You are running game with -game_dir=D:\\Nowhere\\ but this dir is not existing!" } }));
    EXPECT_TRUE(called("fs::shutdown()"));
}

TEST_F(HostTest, GameDirThatDoesNotFitRefusesStartUp)
{
    // 258 characters plus the added separator fill the 260-byte buffer exactly.
    EXPECT_EQ(run("-game_dir=" + std::string(258, 'd')), 0);
    EXPECT_TRUE(called("fs::does_dir_exist(" + std::string(258, 'd') + "\\)"));

    reset_everything();
    EXPECT_EQ(run("-game_dir=" + std::string(259, 'd')), 0);
    EXPECT_FALSE(called_starting_with("fs::does_dir_exist"));
    EXPECT_FALSE(called_starting_with("load_icon"));
    EXPECT_EQ(fakes::log_entries_of("EXIT").size(), 1u);
}

TEST_F(HostTest, CurrentDirectoryThatCannotBeReadOrDoesNotFitRefusesStartUp)
{
    platform::fake::set().current_directory = std::nullopt;
    EXPECT_EQ(run("--wd"), 0);
    EXPECT_FALSE(called_starting_with("load_icon"));
    EXPECT_EQ(fakes::log_entries_of("EXIT").size(), 1u);

    reset_everything();
    platform::fake::set().current_directory = std::string(259, 'c'); // no room for the separator
    EXPECT_EQ(run("--wd"), 0);
    EXPECT_FALSE(called_starting_with("load_icon"));

    reset_everything();
    platform::fake::set().current_directory = std::string(258, 'c');
    EXPECT_EQ(run("--wd"), 0);
    EXPECT_TRUE(called("IGame::SetRootDirectory(" + std::string(258, 'c') + "\\)"));
}

} // namespace
