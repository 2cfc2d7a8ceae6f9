// The host's entry: start-up, the message loop and shutdown of one run.
#pragma once

#include "host/modules/module_export.h"

// Returns the process exit code: 0 when start-up is refused or after
// "/DumpRTTI", otherwise the quit message's wParam (a failed game
// initialisation ends the process with 1 from inside).
int WinMain(InstanceHandle instance, InstanceHandle previous_instance, const char* command_line, int show_command);
