// The values WinMain holds for one run, from start-up through the message loop
// to shutdown: directories, switches, languages, icons and the module objects.
#pragma once

#include <memory>

#include "engine/game/gameini_parser.h"
#include "host/command_line.h"
#include "host/modules/engine_module.h"
#include "host/modules/filesystem_module.h"
#include "host/path_text.h"
#include "platform/platform.h"

struct HostRun {
    InstanceHandle instance = nullptr;
    const char* command_line = "";
    int show_command = 0;

    PathText executable_dir;
    PathText working_dir;
    string_base command_line_copy;
    TokenSwitches switches;
    PathText write_dir_name { "Mirecrest" };
    PathText write_dir;
    FFSAddSourceFlags::ENUM fs_flags = FFSAddSourceFlags::Default;

    // The game.ini record, from its reading at start-up to the release of the
    // run's texts (or the end of WinMain, on the paths that end before shutdown).
    std::unique_ptr<GameIniSettings> settings;
    // Set by game.ini.
    PathText game_class_name { "Game" };
    PathText game_script_path;
    bool script_flag = false;
    int app_id = 0;

    string_base locale;
    string_base speech;
    IconHandle large_icon = nullptr;
    IconHandle small_icon = nullptr;
    DumpFunction previous_dump = nullptr;
    Mount::IMountHelper* mount_helper = nullptr;
    IGame* game = nullptr;

    // What else start-up has made so far: whichever way the run ends, the
    // shutdown releases exactly what is there (ShutDownModules).
    bool splash_shown = false; // until HideSplashscreen
    bool filesystem_started = false; // fs::init ran
    bool steam_started = false; // IGame::SteamInitialize ran
    bool game_script_started = false; // InitializeGameScript(Fn) ran

    // The message loop's record; its wParam is the exit code, also after a crash.
    platform::message message {};
    // "/DumpRTTI" ended the run: the shutdown sequence does not run.
    bool skip_shutdown = false;
};
