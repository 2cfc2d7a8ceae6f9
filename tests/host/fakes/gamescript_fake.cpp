// Double of the game-script module's two exports; the host only passes their
// addresses on.
#include "host/modules/gamescript_module.h"
#include "platform/fake/fake_platform.h"

bool InitializeGameScriptDLL(bool)
{
    platform::fake::record("InitializeGameScriptDLL()");
    return true;
}

void ShutdownGameScriptDLL() { platform::fake::record("ShutdownGameScriptDLL()"); }
