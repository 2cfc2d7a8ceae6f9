// Message boxes on POSIX. In order: MC_MESSAGEBOX_ANSWER=ok|cancel answers at
// once (caption and text still go to standard error); with a display (DISPLAY or
// WAYLAND_DISPLAY set) an SDL message box, when the process carries SDL (the
// game's executable links it; the library does not, so tools start without
// SDL's libraries); with a terminal on standard input a question on standard
// error; otherwise the default button, OK.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

#if defined(MC_WITH_SDL)
#include <SDL.h>
#endif

namespace platform {

namespace {

bool has_cancel(uint32_t style) { return (style & 0x0F) == mb_okcancel; }

// The MC_MESSAGEBOX_ANSWER answer, or 0 when it is not set or not understood.
int answer_override(uint32_t style)
{
    const char* answer = std::getenv("MC_MESSAGEBOX_ANSWER");
    if (!answer)
        return 0;
    if (std::strcmp(answer, "ok") == 0)
        return idok;
    if (std::strcmp(answer, "cancel") == 0)
        return has_cancel(style) ? idcancel : idok;
    return 0;
}

#if defined(MC_WITH_SDL)
uint32_t sdl_flags(uint32_t style)
{
    uint32_t icon = style & 0xF0;
    if (icon == mb_iconerror)
        return SDL_MESSAGEBOX_ERROR;
    if (icon == mb_iconexclamation)
        return SDL_MESSAGEBOX_WARNING;
    return SDL_MESSAGEBOX_INFORMATION;
}

using show_message_box = int (*)(const SDL_MessageBoxData*, int*);

// SDL's message box from the libraries already in the process, or null.
show_message_box sdl_message_box()
{
    return reinterpret_cast<show_message_box>(dlsym(RTLD_DEFAULT, "SDL_ShowMessageBox"));
}

// The SDL box's answer, or 0 when no box could be shown.
int sdl_answer(const char* text, const char* caption, uint32_t style)
{
    show_message_box show = sdl_message_box();
    if (!show)
        return 0;
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!(display && display[0]) && !(wayland && wayland[0]))
        return 0;
    const SDL_MessageBoxButtonData buttons[] = {
        { SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, idok, "OK" },
        { SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, idcancel, "Cancel" },
    };
    SDL_MessageBoxData box {};
    box.flags = sdl_flags(style);
    box.title = caption;
    box.message = text;
    box.numbuttons = has_cancel(style) ? 2 : 1;
    box.buttons = buttons;
    int pressed = 0;
    if (show(&box, &pressed) != 0)
        return 0;
    return pressed == idcancel && has_cancel(style) ? idcancel : idok;
}
#else
int sdl_answer(const char*, const char*, uint32_t) { return 0; }
#endif

// Asks on the terminal: "o" or an empty line is OK, "c" is Cancel.
int terminal_answer(uint32_t style)
{
    if (!has_cancel(style)) {
        std::fprintf(stderr, "[press Enter]\n");
        for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar()) { }
        return idok;
    }
    std::fprintf(stderr, "[O]K / [C]ancel? ");
    int first = std::getchar();
    for (int c = first; c != EOF && c != '\n'; c = std::getchar()) { }
    return first == 'c' || first == 'C' ? idcancel : idok;
}

} // namespace

int message_box(handle, const char* text, const char* caption, uint32_t style)
{
    text = text ? text : "";
    caption = caption ? caption : "";
    std::fprintf(stderr, "== %s ==\n%s\n", caption, text);
    if (int answer = answer_override(style))
        return answer;
    if (int answer = sdl_answer(text, caption, style))
        return answer;
    if (isatty(STDIN_FILENO))
        return terminal_answer(style);
    return idok; // no one to ask: the default button
}

} // namespace platform
