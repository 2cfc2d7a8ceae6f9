// Exports of the game-script module (gamedll_x64_rwdi). The host only passes
// their addresses to the engine's InitializeGameScriptFn.
#pragma once

#include "host/modules/module_export.h"

extern "C" {
MC_GAMESCRIPT_API bool InitializeGameScriptDLL(bool fast_init);
MC_GAMESCRIPT_API void ShutdownGameScriptDLL();
}
