// The message pump: every queued message is dispatched before the next frame,
// and a frame runs whenever the queue is empty, until WM_QUIT.
#pragma once

#include "host/modules/engine_module.h"
#include "platform/platform.h"

// Leaves message holding the WM_QUIT record, whose wParam is the exit code.
void RunMessageLoop(IGame& game, platform::message& message);
