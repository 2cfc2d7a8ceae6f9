// SDL teardown over the real SDL2 calls, on the filesystem module's g_SdlManager.
#include "host/sdl_teardown.h"

#include <SDL.h>

#include "host/modules/filesystem_module.h"
#include "platform/critical_section.h"

void TeardownSdl()
{
    SDL* sdl = g_SdlManager;
    if (!sdl)
        return;
    SDL_StopTextInput();
    if (sdl->gl_context) {
        SDL_GL_DeleteContext(sdl->gl_context);
        sdl->gl_context = nullptr;
    }
    if (sdl->window) {
        SDL_DestroyWindow(sdl->window);
        sdl->window = nullptr;
    }
    sdl->state = 0;
    SDL_Quit();
    if (sdl->lock) // its memory belongs to the filesystem module
        platform::delete_critical_section(sdl->lock);
    delete sdl;
    g_SdlManager = nullptr;
}
