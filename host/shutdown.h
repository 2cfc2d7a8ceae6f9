// The ordered shutdown after the quit message: the module objects, the game
// script, crash handling, the filesystem, Steam and the icons under the guard,
// then the dump function and SDL after it.
#pragma once

#include "host/host_run.h"

// Releases speech, the settings record, locale and the command line copy.
void ReleaseRunTexts(HostRun& run);

// From DestroyGame to releasing the run's texts, run inside the guard. Each step
// runs only for what start-up made, so a start-up refused halfway releases
// exactly that (hiding the splash screen first when it is still shown); after
// the message loop everything is there and every step runs.
void ShutDownModules(HostRun& run);

// The last two steps, after the guard: restores the previous dump function and tears SDL
// down. The crash handler runs these too.
void FinishShutdown(HostRun& run);
