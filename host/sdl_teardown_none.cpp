// SDL teardown for builds without SDL2: there g_SdlManager is always null, so
// there is nothing to tear down.
#include "host/sdl_teardown.h"

void TeardownSdl() { }
