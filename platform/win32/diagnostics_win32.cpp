// Stack traces for crash reports on Windows: RtlCaptureStackBackTrace for the
// return addresses, and "module(+0xoffset)" from the module that holds an
// address (mingw builds carry no symbol files to name functions by).
#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace platform {

namespace {

// RtlCaptureStackBackTrace counts frames in a 16-bit number; crash reports ask
// for far fewer, so larger requests are cut to a round 1024 as on POSIX.
constexpr uint32_t max_frames = 1024;

const char* base_name(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/')
            name = p + 1;
    return name;
}

} // namespace

uint32_t stack_trace(void** frames, uint32_t capacity)
{
    if (!frames || capacity == 0)
        return 0;
    return RtlCaptureStackBackTrace(0, capacity > max_frames ? max_frames : capacity, frames, nullptr);
}

bool describe_address(const void* address, char* out, uint32_t size)
{
    HMODULE module = nullptr;
    DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!address || !out || size == 0 || !GetModuleHandleExA(flags, static_cast<LPCSTR>(address), &module))
        return false;
    char path[max_path];
    DWORD length = GetModuleFileNameA(module, path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return false;
    size_t offset = size_t(static_cast<const char*>(address) - reinterpret_cast<const char*>(module));
    int written = std::snprintf(out, size, "%s(+0x%zx)", base_name(path), offset);
    return written > 0; // snprintf cuts a longer text to size
}

} // namespace platform
