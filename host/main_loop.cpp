// The message pump.
#include "host/main_loop.h"

void RunMessageLoop(IGame& game, platform::message& message)
{
    message = platform::message {};
    for (;;) {
        if (!platform::peek_message(&message, nullptr, 0, 0, platform::pm_remove)) {
            game.OnPaint();
            continue;
        }
        if (message.id == platform::wm_quit)
            return;
        platform::translate_message(&message);
        platform::dispatch_message(&message);
    }
}
