// The ordered shutdown after the quit message: the module objects, the game
// script, crash handling, the filesystem, Steam and the icons under the guard,
// then the dump function and SDL after it.
#pragma once

#include "host/host_run.h"

// Releases speech, the settings record, locale and the command line copy.
void ReleaseRunTexts(HostRun& run);

// Shutdown steps 1 to 8, run inside the guard.
void ShutDownModules(HostRun& run);

// Shutdown steps 9 and 10: restores the previous dump function and tears SDL
// down. The crash handler runs these too.
void FinishShutdown(HostRun& run);
