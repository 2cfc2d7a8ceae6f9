// The executable's resources on Windows: icons and the splash bitmap through
// LoadImageA, strings through LoadStringA, and the system's icon metrics.
#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace platform {

int system_metric(int index) { return GetSystemMetrics(index); }

handle load_icon(handle instance, int resource, int cx, int cy)
{
    return LoadImageA(static_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(resource), IMAGE_ICON, cx, cy, 0);
}

void destroy_icon(handle icon)
{
    if (icon)
        DestroyIcon(static_cast<HICON>(icon));
}

// A DIB section keeps the picture's own pixel format (24 bits) rather than the screen's.
handle load_bitmap(handle instance, int resource)
{
    return LoadImageA(
        static_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(resource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
}

void destroy_bitmap(handle bitmap)
{
    if (bitmap)
        DeleteObject(static_cast<HBITMAP>(bitmap));
}

// Copies at most size - 1 characters and a zero; the count copied, 0 when missing.
int load_string(handle instance, int resource, char* out, int size)
{
    if (!out || size <= 0)
        return 0;
    out[0] = 0;
    return LoadStringA(static_cast<HINSTANCE>(instance), UINT(resource), out, size);
}

} // namespace platform
