// Ordered shutdown after the message loop, and the same steps for whatever a
// refused start-up had made.
#include "host/shutdown.h"

#include "engine/game/gameini_parser.h"
#include "host/modules/engine_module.h"
#include "host/modules/filesystem_module.h"
#include "host/sdl_teardown.h"

namespace {

void release_icon(IconHandle& icon)
{
    if (icon)
        platform::destroy_icon(icon);
    icon = nullptr;
}

} // namespace

void ReleaseRunTexts(HostRun& run)
{
    run.speech.clear();
    run.settings.reset(); // drops its hold on the parsed script
    run.locale.clear();
    run.command_line_copy.clear();
}

void ShutDownModules(HostRun& run)
{
    if (run.splash_shown) // start-up refused before the game took over
        HideSplashscreen();
    run.splash_shown = false;
    if (run.game)
        DestroyGame();
    run.game = nullptr;
    if (run.mount_helper)
        Mount::DestroyMountHelper(run.mount_helper);
    run.mount_helper = nullptr;
    if (run.game_script_started)
        UninitializeGameScript();
    run.game_script_started = false;
    if (run.filesystem_started) {
        CrashClose();
        fs::shutdown();
    }
    run.filesystem_started = false;
    if (run.steam_started)
        IGame::SteamTerminate();
    run.steam_started = false;
    release_icon(run.large_icon);
    release_icon(run.small_icon);
    ReleaseRunTexts(run);
}

void FinishShutdown(HostRun& run)
{
    SetDumpFunction(run.previous_dump);
    TeardownSdl();
}
