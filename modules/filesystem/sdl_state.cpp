// g_SdlManager: the module's SDL state object. It only holds pointers; SDL itself
// is started by the engine when it opens its window and stopped by the host.
#include "modules/filesystem/sdl_state.h"

#include "host/modules/filesystem_module.h"
#include "platform/critical_section.h"

SDL* g_SdlManager = nullptr;

namespace sdl_state {

#if defined(MC_WITH_SDL)
// Static storage: the host deletes the section and the object, not the section's memory.
static platform::critical_section lock;
#endif

void create()
{
#if defined(MC_WITH_SDL)
    if (g_SdlManager)
        return;
    SDL* state = new SDL;
    platform::initialize_critical_section(&lock);
    state->lock = &lock;
    g_SdlManager = state;
#endif
}

} // namespace sdl_state
