// Starting and stopping the game script: from a module file (its two exported
// functions found by name) or from the two functions the host passes.
#include "host/modules/engine_module.h"
#include "modules/engine/engine_log.h"
#include "platform/platform.h"

namespace {

platform::handle script_module = nullptr;
GameScriptShutdownFunction script_shutdown = nullptr;

bool start(GameScriptInitFunction init, GameScriptShutdownFunction shutdown, bool fast_init)
{
    script_shutdown = shutdown;
    bool started = init && init(fast_init);
    ENGINE_LOG(
        Info, "game script %s (fast init %s)\n", started ? "started" : "did not start", fast_init ? "on" : "off");
    return started;
}

} // namespace

bool InitializeGameScript(const char* module_path, bool fast_init)
{
    UninitializeGameScript();
    script_module = platform::load_library(module_path);
    if (!script_module) {
        ENGINE_LOG(Error, "cannot load the game script module '%s'\n", module_path ? module_path : "");
        return false;
    }
    auto init
        = reinterpret_cast<GameScriptInitFunction>(platform::proc_address(script_module, "InitializeGameScriptDLL"));
    auto shutdown
        = reinterpret_cast<GameScriptShutdownFunction>(platform::proc_address(script_module, "ShutdownGameScriptDLL"));
    ENGINE_LOG(Info, "game script module '%s' loaded\n", module_path);
    if (!init)
        ENGINE_LOG(Error, "'%s' has no InitializeGameScriptDLL\n", module_path);
    return start(init, shutdown, fast_init);
}

bool InitializeGameScriptFn(GameScriptInitFunction init, GameScriptShutdownFunction shutdown, bool fast_init)
{
    UninitializeGameScript();
    return start(init, shutdown, fast_init);
}

void UninitializeGameScript()
{
    if (script_shutdown) {
        script_shutdown();
        ENGINE_LOG(Info, "game script stopped\n");
    }
    script_shutdown = nullptr;
    if (script_module)
        platform::free_library(script_module);
    script_module = nullptr;
}
