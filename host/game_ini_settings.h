// Where the game.ini settings enter start-up: the values the host takes from
// the settings record and how each one changes the run.
#pragma once

#include "host/host_run.h"

// The keys the host takes from game.ini, each only when the key was set.
struct GameIniValues {
    bool has_game_class = false;
    string_base game_class; // GameClassName
    bool has_game_dll = false;
    string_base game_dll; // GameDLL, relative to the executable directory
    bool has_crash_box = false;
    int crash_box = 0; // CrashCanShowMessageBox
    bool has_locale = false;
    string_base locale; // Locale
    bool has_app_id = false;
    int app_id = 0; // AppId
    bool has_fast_init = false;
    bool fast_init = false; // FastInitializePDB
};

// Takes the set values into the run. False (logged) when the game class name or
// the game-script module path does not fit 260 bytes: start-up is refused.
bool TakeGameIniValues(const GameIniValues& values, HostRun& run);

// Builds the settings record from game.ini (or the "ini=" file) once the mount
// sources are added, keeps it in the run and takes its values.
bool ApplyGameIniSettings(const char* ini_file_name, HostRun& run);
