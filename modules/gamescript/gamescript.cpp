// The game-script module stand-in: its two exports start and stop it, and say so.
#include "engine/kernel/log_record.h"
#include "host/modules/gamescript_module.h"

bool InitializeGameScriptDLL(bool fast_init)
{
    Log::Category(Log::ELevel::Info, "GameScript", { "modules/gamescript", __LINE__, "InitializeGameScriptDLL" }, false,
        "game script module started (fast init %s)\n", fast_init ? "on" : "off");
    return true;
}

void ShutdownGameScriptDLL()
{
    Log::Category(Log::ELevel::Info, "GameScript", { "modules/gamescript", __LINE__, "ShutdownGameScriptDLL" }, false,
        "game script module stopped\n");
}
