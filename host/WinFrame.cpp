// WinMain: the start-up sequence step by step, each failure handled where it
// happens, then the message loop and the ordered shutdown, all under the crash
// guard from the engine version check on.
#include "host/WinFrame.h"

#include "engine/kernel/Cpuid.h"
#include "host/command_line.h"
#include "host/crash_guard.h"
#include "host/game_ini_settings.h"
#include "host/host_log.h"
#include "host/host_run.h"
#include "host/language_selection.h"
#include "host/main_loop.h"
#include "host/modules/gamescript_module.h"
#include "host/shutdown.h"
#include "host/startup_checks.h"
#include "host/working_directory.h"
#include "host/write_directory.h"

namespace {

// Resources of the executable: the splash picture, the product name and the icon group.
constexpr int kSplashBitmap = 159;
constexpr int kProductNameString = 160;
constexpr int kIconGroup = 161;

// Start-up refused or finished early.
constexpr int kExitEarly = 0;

// Files the filesystem module keeps in the write directory; null-terminated.
// "ConsoleHistory_Engine.txt" stands twice, as the module expects.
const char* const kUserFiles[] = {
    "check",
    "ConsoleHistory_Engine.txt",
    "PerformanceInfo.log",
    "ConsoleHistory_Engine.txt",
    "EngineRecordedCommands.txt",
    "EngineConsoleSettings.dat",
    "ConsoleHistory_GameScript.txt",
    "ConsoleWatch_GameScript.txt",
    "Audio.scr",
    "Video.scr",
    nullptr,
};

// The data sources the mount helper gets before the languages are known:
// (kind, flags, priority, optional), each with an empty path.
struct MountSource {
    int kind;
    int flags;
    int priority;
    bool optional;
};
constexpr MountSource kMountSources[]
    = { { 15, 1, 2, true }, { 6, 4, 0, false }, { 4, 8, 0, false }, { 15, 2, 2, true } };
constexpr int kLocaleSourceFlags = 48;
constexpr int kSpeechSourceFlags = 192;

IconHandle load_icon(InstanceHandle instance, int width_metric, int height_metric)
{
    int width = platform::system_metric(width_metric);
    int height = platform::system_metric(height_metric);
    return platform::load_icon(instance, kIconGroup, width, height);
}

void load_icons(HostRun& run)
{
    run.large_icon = load_icon(run.instance, platform::sm_cxicon, platform::sm_cyicon);
    run.small_icon = load_icon(run.instance, platform::sm_cxsmicon, platform::sm_cysmicon);
}

// Start-up refused: whatever it made so far is released in shutdown order (and
// WinMain then restores the dump function and tears SDL down).
int refuse(HostRun& run)
{
    ShutDownModules(run);
    return kExitEarly;
}

void start_asset_manager(const HostRun& run)
{
    AssetManager* assets = GetAssetManager();
    if (!assets) {
        Log::Category(
            Log::ELevel::Error, kHostCategory, HostWhere(__LINE__), false, "GetAssetManager returned no object\n");
        return;
    }
    int workers = assets->GetDefaultWorkerCount();
    assets->Initialize(run.switches.game_folder, run.working_dir.c_str(), workers, false, nullptr);
}

void add_mount_sources(Mount::IMountHelper& mount_helper)
{
    const string_base empty;
    for (const MountSource& s : kMountSources)
        mount_helper.AddSource(s.kind, s.flags, empty, s.priority, s.optional);
}

void add_language_sources(Mount::IMountHelper& mount_helper, const HostRun& run)
{
    mount_helper.AddSource(6, kLocaleSourceFlags, run.locale, 0, false);
    mount_helper.AddSource(6, kSpeechSourceFlags, run.speech, 0, false);
}

void start_game_script(const HostRun& run)
{
    if (!run.game_script_path.empty())
        InitializeGameScript(run.game_script_path.c_str(), run.script_flag);
    else
        InitializeGameScriptFn(InitializeGameScriptDLL, ShutdownGameScriptDLL, run.script_flag);
}

void set_game_languages(IGame& game, const HostRun& run)
{
    game.SetLocaleID(run.locale);
    game.SetSpeechID(run.speech, false);
    game.SetRootDirectory(run.working_dir.c_str());
}

void hand_mount_helper_to_game(IGame& game, Mount::IMountHelper* mount_helper)
{
    TaggedValue value;
    value.type = TaggedValue::Object;
    value.payload = reinterpret_cast<uintptr_t>(mount_helper);
    game.SetNamedValue("MountHelper", value);
}

// A module that hands out no object where start-up needs one: the run cannot
// go on, so start-up is refused rather than crashing on the null object.
bool report_missing_object(int line, const char* what)
{
    Log::Fatal(HostWhere(line), "%s returned no object: start-up stops\n", what);
    return false;
}

// The engine version, the single instance and the directories the run works in.
bool check_engine_and_directories(HostRun& run)
{
    if (GetEngineDllVersion() != kEngineDllVersion) {
        platform::message_box(nullptr, "Invalid engine dll version!", "Error...", platform::mb_iconerror);
        return false;
    }
    return CheckSingleInstance(run.command_line) && FindExecutableDirectory(run.executable_dir)
        && FindWorkingDirectory(run.command_line, run.executable_dir, run.working_dir)
        && ApplyGameDirSwitch(run.command_line, run.working_dir);
}

// The splash screen, the command line's switches and the write directory.
bool read_switches(HostRun& run)
{
    load_icons(run);
    ShowSplashscreen(run.instance, kSplashBitmap, kProductNameString, run.large_icon);
    run.splash_shown = true;
    ReadWriteDirectoryName(run.write_dir_name);
    SplitCommandLine(run.command_line, run.instance);
    if (!ScanTokenSwitches(g_CommandLineTokens, run.switches))
        return false;
    if (run.switches.game_folder[0] == 0)
        run.switches.game_folder = "Engine";
    return ChooseWriteDirectory(
        run.write_dir_name, run.working_dir, run.switches.game_folder, run.write_dir, run.fs_flags);
}

// The mount helper, the filesystem module and the asset manager, once the disk
// has room to write.
bool start_filesystem(HostRun& run)
{
    run.mount_helper = Mount::CreateMountHelper(run.working_dir.c_str(), run.switches.game_folder, run.switches.prefix);
    if (!run.mount_helper)
        return report_missing_object(__LINE__, "Mount::CreateMountHelper");
    fs::init(run.write_dir.c_str(), run.fs_flags, "out/cache", false, true, kUserFiles);
    run.filesystem_started = true;
    start_asset_manager(run);
    return CheckFreeDiskSpace(run.write_dir.c_str());
}

// game.ini, Steam, the languages and the game script.
bool apply_settings_and_languages(HostRun& run)
{
    add_mount_sources(*run.mount_helper);
    if (!ApplyGameIniSettings(run.switches.ini_file_name, run))
        return false;
    if (HasSwitch(run.command_line_copy.c_str(), "-noassert"))
        CrashShowMessageBox(false);
    IGame::SteamInitialize(run.switches.game_folder, run.app_id);
    run.steam_started = true;
    SelectLanguages(*run.mount_helper, run.locale, run.speech);
    add_language_sources(*run.mount_helper, run);
    start_game_script(run);
    run.game_script_started = true;
    return true;
}

// "/DumpRTTI": the type list is written and the run ends without the shutdown
// sequence; the modules, the mount helper and the icons stay until the process
// ends.
int dump_rtti(HostRun& run)
{
    DumpRTTI();
    ReleaseRunTexts(run);
    run.skip_shutdown = true;
    return kExitEarly;
}

// The game object made and initialised; false when no object comes back.
bool create_game(HostRun& run)
{
    run.game = CreateGame(run.game_class_name.c_str(), run.instance, true, run.switches.game_folder);
    if (!run.game)
        return report_missing_object(__LINE__, "CreateGame");
    run.game->SetGameDirectories(run.working_dir.c_str(), run.switches.game_folder, run.switches.prefix);
    HideSplashscreen();
    run.splash_shown = false;
    set_game_languages(*run.game, run);
    hand_mount_helper_to_game(*run.game, run.mount_helper);
    // A game that cannot initialise ends the process here, with nothing shut down.
    if (run.game->Initialize(run.command_line, run.show_command, run.large_icon, run.small_icon, 0, 0, nullptr) != 0)
        platform::exit_process(1);
    return true;
}

// From the engine version check through the message loop to the release of the
// run's texts: everything the crash guard covers. Every refusal releases what
// start-up made so far; only "/DumpRTTI" and a failed IGame::Initialize end
// without the shutdown sequence, as the start-up sequence defines.
int run_game(HostRun& run)
{
    if (!check_engine_and_directories(run) || !read_switches(run) || !start_filesystem(run)
        || !apply_settings_and_languages(run))
        return refuse(run);
    if (run.switches.dump_rtti)
        return dump_rtti(run);
    if (!create_game(run))
        return refuse(run);
    RunMessageLoop(*run.game, run.message);
    ShutDownModules(run);
    return int(run.message.wparam);
}

} // namespace

int WinMain(InstanceHandle instance, InstanceHandle, const char* command_line, int show_command)
{
    if (!Main(instance, command_line))
        return kExitEarly;
    cpuidInitialize();
    // On the heap, so that after a crash the record can be left as it is.
    auto run = std::make_unique<HostRun>();
    run->instance = instance;
    run->command_line = command_line ? command_line : "";
    run->command_line_copy = run->command_line;
    run->show_command = show_command;
    InstallHostDumpFunction(*run);
    int exit_code = kExitEarly;
    if (!RunGuarded(*run, run_game, &exit_code))
        return CrashHandler(std::move(run));
    if (!run->skip_shutdown)
        FinishShutdown(*run);
    return exit_code;
}
