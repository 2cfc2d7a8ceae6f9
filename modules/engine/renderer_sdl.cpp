// The demo game's window over SDL2: an SDL_Renderer clearing the window to an
// animated colour. Without DISPLAY or WAYLAND_DISPLAY (and no SDL_VIDEODRIVER
// chosen by the user) SDL's dummy video driver is used, so the frames run the
// same way with nothing shown.
#include <SDL.h>

#include <cstdlib>

#include "host/modules/filesystem_module.h"
#include "modules/engine/engine_log.h"
#include "modules/engine/renderer.h"
#include "platform/critical_section.h"

namespace renderer {

namespace {

// The splash picture's size, which is also a comfortable window size.
constexpr int window_width = 512;
constexpr int window_height = 256;

SDL_Renderer* drawing = nullptr;
bool has_display = false;

bool display_set()
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && x11[0]) || (wayland && wayland[0]);
}

// A colour channel that rises and falls over a period of frames.
uint8_t wave(int64_t frame, int64_t period)
{
    int64_t step = frame % period;
    int64_t half = period / 2;
    return uint8_t((step < half ? step : period - step) * 255 / half);
}

} // namespace

bool open(const char* title)
{
    if (!g_SdlManager || drawing)
        return drawing != nullptr;
    has_display = display_set();
    if (!has_display)
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "dummy", SDL_HINT_DEFAULT);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        ENGINE_LOG(Error, "SDL video does not start: %s\n", SDL_GetError());
        return false;
    }
    platform::scoped_lock hold(*g_SdlManager->lock);
    SDL_Window* window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, window_width,
        window_height, has_display ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
    if (!window) {
        ENGINE_LOG(Error, "no window: %s\n", SDL_GetError());
        return false;
    }
    drawing = SDL_CreateRenderer(window, -1, has_display ? 0 : SDL_RENDERER_SOFTWARE);
    if (!drawing)
        ENGINE_LOG(Error, "no renderer: %s\n", SDL_GetError());
    g_SdlManager->window = window;
    g_SdlManager->state = 1;
    ENGINE_LOG(Info, "window open (%s video driver)\n", SDL_GetCurrentVideoDriver());
    return drawing != nullptr;
}

bool visible() { return has_display && drawing; }

void draw(int64_t frame)
{
    if (!drawing)
        return;
    SDL_SetRenderDrawColor(drawing, wave(frame, 240), wave(frame + 80, 300), wave(frame + 160, 360), 255);
    SDL_RenderClear(drawing);
    SDL_RenderPresent(drawing);
}

bool close_requested()
{
    if (!drawing)
        return false;
    bool closed = false;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        closed = closed || event.type == SDL_QUIT;
    return closed;
}

void close()
{
    if (drawing)
        SDL_DestroyRenderer(drawing);
    drawing = nullptr;
}

} // namespace renderer
