// The game.ini settings as start-up takes them.
#include "host/game_ini_settings.h"

namespace {

// The settings reader fills this from the parsed file once it exists; until
// then nothing is set.
GameIniValues read_game_ini(const char*) { return GameIniValues {}; }

} // namespace

bool TakeGameIniValues(const GameIniValues& values, HostRun& run)
{
    if (values.has_game_class && !run.game_class_name.assign(values.game_class.c_str())) {
        LogPathTooLong("The game class name (GameClassName)", values.game_class.c_str(), nullptr);
        return false;
    }
    if (values.has_game_dll) {
        PathText path = run.executable_dir;
        if (!path.append(values.game_dll.c_str())) {
            LogPathTooLong(
                "The game-script module path (GameDLL)", run.executable_dir.c_str(), values.game_dll.c_str());
            return false;
        }
        run.game_script_path = path;
    }
    if (values.has_crash_box)
        CrashShowMessageBox(values.crash_box != 0);
    if (values.has_locale)
        run.locale = values.locale;
    if (values.has_app_id)
        run.app_id = values.app_id;
    if (values.has_fast_init)
        run.script_flag = values.fast_init;
    return true;
}

bool ApplyGameIniSettings(const char* ini_file_name, HostRun& run)
{
    return TakeGameIniValues(read_game_ini(ini_file_name), run);
}
