// Doubles of the four SDL2 calls the host's teardown makes; the host tests link
// these instead of the SDL2 library.
#include <SDL.h>

#include "platform/fake/fake_platform.h"
#include "tests/host/fakes/describe.h"

extern "C" {

void SDL_StopTextInput(void) { platform::fake::record("SDL_StopTextInput()"); }

void SDL_GL_DeleteContext(SDL_GLContext context)
{
    platform::fake::record("SDL_GL_DeleteContext(" + fakes::hex(context) + ")");
}

void SDL_DestroyWindow(SDL_Window* window) { platform::fake::record("SDL_DestroyWindow(" + fakes::hex(window) + ")"); }

void SDL_Quit(void) { platform::fake::record("SDL_Quit()"); }
}
