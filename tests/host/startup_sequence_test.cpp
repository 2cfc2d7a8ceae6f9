// WinMain as a whole: the start-up and shutdown call order, the main loop, and
// every way a run can end with the exit code and what is (not) called on it.
#include "tests/host/host_fixture.h"

#include <algorithm>

namespace {

using Calls = std::vector<std::string>;

const Calls kStartup = {
    "Main(instance, )",
    "GetDumpFunction()",
    "SetDumpFunction(HostDumpFunction)",
    "guarded_call()",
    "GetEngineDllVersion()",
    "create_mutex(Global\\IronveilMutex)",
    "module_file_name(null, 260)",
    "split_path(C:\\Games\\MireCrest\\bin\\mirecrest.exe)",
    "system_metric(11)",
    "system_metric(12)",
    "load_icon(161, 32, 32)",
    "system_metric(49)",
    "system_metric(50)",
    "load_icon(161, 16, 16)",
    "ShowSplashscreen(159, 160, 0x1c1)",
    "registry_open(SOFTWARE\\Quillon\\Mirecrest)",
    "registry_read_string(WriteDir, 260)",
    "registry_close()",
    "module_file_name(instance, 256)",
    "fs::is_full_path(Mirecrest)",
    "get_version(156)",
    "module_handle(shell32.dll)",
    "proc_address(SHGetFolderPathA)",
    "SHGetFolderPathA(5, 0)",
    "Mount::CreateMountHelper(C:\\Games\\MireCrest\\bin\\, MC, null)",
    "fs::init(C:\\Users\\Player\\Documents\\Mirecrest, 1, out/cache, false, true)",
    "GetAssetManager()",
    "AssetManager::GetDefaultWorkerCount()",
    "AssetManager::Initialize(MC, C:\\Games\\MireCrest\\bin\\, 4, false, null)",
    "create_directory(C:\\Users\\Player\\Documents\\Mirecrest)",
    "disk_free_space(C:\\Users\\Player\\Documents\\Mirecrest)",
    "AddSource(15, 1, '', 2, true)",
    "AddSource(6, 4, '', 0, false)",
    "AddSource(4, 8, '', 0, false)",
    "AddSource(15, 2, '', 2, true)",
    "fs::exists(game.ini)",
    "IGame::SteamInitialize(MC, 0)",
    "IGame::SteamClientStarted()",
    "IsLocaleAvailable()",
    "IGame::GetDefaultSpeechID()",
    "IsSpeechAvailable()",
    "AddSource(6, 48, '', 0, false)",
    "AddSource(6, 192, '', 0, false)",
    "InitializeGameScriptFn(module exports, false)",
    "CreateGame(Game, instance, true, MC)",
    "IGame::SetGameDirectories(C:\\Games\\MireCrest\\bin\\, MC, null)",
    "HideSplashscreen()",
    "IGame::SetLocaleID()",
    "IGame::SetSpeechID(, false)",
    "IGame::SetRootDirectory(C:\\Games\\MireCrest\\bin\\)",
    "IGame::SetNamedValue(MountHelper, 17, mount helper)",
    "IGame::Initialize(, 1, 0x1c1, 0x1c2, 0, 0, null)",
};

const Calls kLoopAndShutdown = {
    "peek_message(1)",
    "IGame::OnPaint()",
    "post_quit_message(0)",
    "peek_message(1)",
    "DestroyGame()",
    "Mount::DestroyMountHelper(mount helper)",
    "UninitializeGameScript()",
    "CrashClose()",
    "fs::shutdown()",
    "IGame::SteamTerminate()",
    "destroy_icon(0x1c1)",
    "destroy_icon(0x1c2)",
    "SetDumpFunction(previous)",
};

Calls joined(Calls a, const Calls& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The calls from the first one starting with from, to the end.
Calls calls_from(const Calls& calls, const std::string& from)
{
    auto it = std::find_if(calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(from, 0) == 0; });
    return Calls(it, calls.end());
}

TEST_F(HostTest, RunsTheWholeStartUpLoopAndShutdownInOrder)
{
    EXPECT_EQ(run(""), 0);
    EXPECT_EQ(host_calls(), joined(kStartup, kLoopAndShutdown));
    EXPECT_EQ(fakes::user_files(),
        (std::vector<std::string> { "check", "ConsoleHistory_Engine.txt", "PerformanceInfo.log",
            "ConsoleHistory_Engine.txt", "EngineRecordedCommands.txt", "EngineConsoleSettings.dat",
            "ConsoleHistory_GameScript.txt", "ConsoleWatch_GameScript.txt", "Audio.scr", "Video.scr" }));
    EXPECT_EQ(platform::fake::active_guards(), 0);
}

TEST_F(HostTest, ProcessorDetectionRunsBetweenMainAndTheDumpFunction)
{
    run("");
    const Calls& calls = platform::fake::calls();
    auto main = std::find(calls.begin(), calls.end(), "Main(instance, )");
    auto first_cpuid = std::find(calls.begin(), calls.end(), "cpuid(0, 0)");
    auto get_dump = std::find(calls.begin(), calls.end(), "GetDumpFunction()");
    EXPECT_LT(main, first_cpuid);
    EXPECT_LT(first_cpuid, get_dump);
    EXPECT_TRUE(GetCpuInfo().initialised);
}

TEST_F(HostTest, DispatchesEveryQueuedMessageBeforeTheNextFrameAndExitsWithTheQuitParameter)
{
    fakes::set().frames_before_quit = 2;
    fakes::set().quit_code = 7;
    platform::fake::set().messages.push_back(platform::message { nullptr, 0x100, 0, 0, 0 });
    platform::fake::set().messages.push_back(platform::message { nullptr, 0x101, 0, 0, 0 });
    EXPECT_EQ(run(""), 7);
    Calls loop = platform::fake::calls_starting_with({ "peek_message", "translate", "dispatch", "IGame::OnPaint" });
    EXPECT_EQ(loop,
        (Calls { "peek_message(1)", "translate_message(0x100)", "dispatch_message(0x100)", "peek_message(1)",
            "translate_message(0x101)", "dispatch_message(0x101)", "peek_message(1)", "IGame::OnPaint()",
            "peek_message(1)", "IGame::OnPaint()", "peek_message(1)" }));
}

// Each refusal of start-up: the last call of start-up proper, and the calls
// that follow it, which release in shutdown order exactly what start-up had
// made (the splash, the mount helper, the filesystem, the icons, the dump
// function). A refusal without a message box says why in an "EXIT" record.
struct Refusal {
    const char* name;
    void (*arrange)();
    const char* command_line;
    const char* ended_by;
    Calls released;
    size_t exit_records;
};

const Calls kIconsAndDumpFunction = { "destroy_icon(0x1c1)", "destroy_icon(0x1c2)", "SetDumpFunction(previous)" };
const Calls kAfterSplash = joined({ "HideSplashscreen()" }, kIconsAndDumpFunction);
const Calls kAfterFilesystem
    = joined({ "HideSplashscreen()", "Mount::DestroyMountHelper(mount helper)", "CrashClose()", "fs::shutdown()" },
        kIconsAndDumpFunction);
const Calls kAfterGameScript
    = joined({ "HideSplashscreen()", "Mount::DestroyMountHelper(mount helper)", "UninitializeGameScript()",
                 "CrashClose()", "fs::shutdown()", "IGame::SteamTerminate()" },
        kIconsAndDumpFunction);
const std::string kLongGameFolder = "gn=" + std::string(260, 'g');

const Refusal kRefusals[] = {
    { "WrongEngineVersion", [] { fakes::set().engine_version = 0x00060002; }, "",
        "message_box(null, Invalid engine dll version!, Error..., 0x10)", { "SetDumpFunction(previous)" }, 0 },
    { "AnotherInstance", [] { platform::fake::set().mutex_error = platform::error_already_exists; }, "",
        "message_box(null, Mire Crest is already running, Mire Crest Error, 0x10)", { "SetDumpFunction(previous)" },
        0 },
    { "ExecutablePathTooLong",
        [] { platform::fake::set().module_file_name = "C:\\" + std::string(300, 'x') + "\\mirecrest.exe"; }, "",
        "module_file_name(null, 260)", { "SetDumpFunction(previous)" }, 1 },
    { "GameFolderTooLong", [] {}, kLongGameFolder.c_str(), "module_file_name(instance, 256)", kAfterSplash, 1 },
    { "NoMountHelper", [] { fakes::set().no_mount_helper = true; }, "",
        "Mount::CreateMountHelper(C:\\Games\\MireCrest\\bin\\, MC, null)", kAfterSplash, 1 },
    { "LowDiskConfirmed",
        [] {
            platform::fake::set().disk_free_bytes = 0;
            platform::fake::set().message_box_answers = { platform::idok };
        },
        "",
        "message_box(null, You have insufficient disk space on drive C:\\Users\\Player\\Documents\\Mirecrest\nPlease "
        "free up 200 MB of disk space and run this game again., Free disk space warning, 0x31)",
        kAfterFilesystem, 0 },
    { "GameClassNameTooLong",
        [] { fakes::set().files["game.ini"] = "sub main() { GameClassName('" + std::string(300, 'c') + "'); }"; }, "",
        "fs::file::open(game.ini)", kAfterFilesystem, 1 },
    { "NoGame", [] { fakes::set().no_game = true; }, "", "CreateGame(Game, instance, true, MC)", kAfterGameScript, 1 },
};

class RefusalTest : public HostTest, public ::testing::WithParamInterface<Refusal> { };

TEST_P(RefusalTest, ReleasesWhatStartUpMadeAndReturnsZero)
{
    GetParam().arrange();
    EXPECT_EQ(run(GetParam().command_line), 0);
    EXPECT_FALSE(exited);
    Calls calls = host_calls();
    auto last = std::find(calls.rbegin(), calls.rend(), GetParam().ended_by);
    ASSERT_NE(last, calls.rend()) << GetParam().ended_by;
    EXPECT_EQ(Calls(last.base(), calls.end()), GetParam().released);
    EXPECT_EQ(fakes::installed_dump_function(), &fakes::previous_dump_function);
    EXPECT_EQ(fakes::log_entries_of("EXIT").size(), GetParam().exit_records);
    EXPECT_EQ(platform::fake::active_guards(), 0);
}

INSTANTIATE_TEST_SUITE_P(Host, RefusalTest, ::testing::ValuesIn(kRefusals),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(HostTest, MainFailingDoesNotEvenDetectTheProcessor)
{
    fakes::set().main_result = false;
    run("");
    EXPECT_EQ(platform::fake::calls(), Calls { "Main(instance, )" });
}

TEST_F(HostTest, DumpRttiReleasesAndReturnsWithoutRestoringTheDumpFunction)
{
    EXPECT_EQ(run("/dumprtti"), 0);
    Calls tail = calls_from(host_calls(), "InitializeGameScriptFn");
    EXPECT_EQ(tail, (Calls { "InitializeGameScriptFn(module exports, false)", "DumpRTTI()" }));
    EXPECT_EQ(fakes::installed_dump_function(), &HostDumpFunction);
}

TEST_F(HostTest, FailedInitializeExitsTheProcessWithOneAndShutsNothingDown)
{
    fakes::set().initialize_result = 3;
    EXPECT_EQ(run(""), 1);
    EXPECT_TRUE(exited);
    Calls tail = calls_from(host_calls(), "IGame::Initialize");
    EXPECT_EQ(tail.size(), 2u);
    EXPECT_EQ(tail.back(), "exit_process(1)");
}

TEST_F(HostTest, MissingAssetManagerIsLoggedAndStartUpGoesOn)
{
    fakes::set().no_asset_manager = true;
    EXPECT_EQ(run(""), 0);
    EXPECT_FALSE(called_starting_with("AssetManager::"));
    EXPECT_TRUE(called("fs::shutdown()"));
    EXPECT_EQ(fakes::log_entries_of("Game").at(0).level, 2);
}

TEST_F(HostTest, MissingIconsAreNotReleased)
{
    platform::fake::set().icons_exist = false;
    run("");
    EXPECT_FALSE(called_starting_with("destroy_icon"));
    EXPECT_TRUE(called("IGame::Initialize(, 1, 0, 0, 0, 0, null)"));
}

} // namespace
