// Message boxes on Windows: MessageBoxA with the caller's style. Caption and
// text also go to standard error, where a run from a console (or under Wine
// without a display, where no box can open) shows them; a GUI process without
// a console loses nothing by it.
#include <cstdio>

#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace platform {

int message_box(handle owner, const char* text, const char* caption, uint32_t style)
{
    std::fprintf(stderr, "== %s ==\n%s\n", caption ? caption : "", text ? text : "");
    std::fflush(stderr);
    return MessageBoxA(static_cast<HWND>(owner), text, caption, style);
}

} // namespace platform
