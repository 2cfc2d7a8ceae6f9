// Creation of g_SdlManager, the SDL window and GL context state that the engine
// fills and the host tears down at exit.
#pragma once

namespace sdl_state {

// Creates g_SdlManager with its critical section when the module was built with
// SDL and the object does not exist yet; does nothing otherwise.
void create();

} // namespace sdl_state
