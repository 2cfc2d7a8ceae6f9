// The game.ini settings as start-up takes them.
#include "host/game_ini_settings.h"

#include "engine/game/gameini_parser.h"

namespace {

// The fields of the record the host uses, each with its set byte.
GameIniValues values_of(const GameIniSettings& s)
{
    GameIniValues v;
    v.has_game_class = s.GameClassName.set;
    v.game_class = s.GameClassName.value;
    v.has_game_dll = s.GameDLL.set;
    v.game_dll = s.GameDLL.value;
    v.has_crash_box = s.CrashCanShowMessageBox.set;
    v.crash_box = s.CrashCanShowMessageBox.value;
    v.has_locale = s.Locale.set;
    v.locale = s.Locale.value;
    v.has_app_id = s.AppId.set;
    v.app_id = s.AppId.value;
    v.has_fast_init = s.FastInitializePDB.set;
    v.fast_init = s.FastInitializePDB.value;
    return v;
}

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
    run.settings = std::make_unique<GameIniSettings>(ini_file_name);
    return TakeGameIniValues(values_of(*run.settings), run);
}
