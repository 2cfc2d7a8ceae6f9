// The message queue on Windows: PeekMessageA, TranslateMessage, DispatchMessageA
// and PostQuitMessage on the calling thread's queue. A message keeps its window,
// id, parameters and time; the cursor position of the MSG record is not carried
// (no caller reads it).
#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace platform {

namespace {

MSG to_native(const message& m)
{
    MSG native {};
    native.hwnd = static_cast<HWND>(m.window);
    native.message = m.id;
    native.wParam = WPARAM(m.wparam);
    native.lParam = LPARAM(m.lparam);
    native.time = m.time;
    return native;
}

} // namespace

bool peek_message(message* out, handle window, uint32_t filter_min, uint32_t filter_max, uint32_t remove)
{
    MSG native {};
    if (!out || !PeekMessageA(&native, static_cast<HWND>(window), filter_min, filter_max, remove))
        return false;
    *out = message { native.hwnd, native.message, uint64_t(native.wParam), int64_t(native.lParam), native.time };
    return true;
}

bool translate_message(const message* msg)
{
    if (!msg)
        return false;
    MSG native = to_native(*msg);
    return TranslateMessage(&native);
}

int64_t dispatch_message(const message* msg)
{
    if (!msg)
        return 0;
    MSG native = to_native(*msg);
    return DispatchMessageA(&native);
}

void post_quit_message(int exit_code) { PostQuitMessage(exit_code); }

} // namespace platform
