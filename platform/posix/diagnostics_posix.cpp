// Stack traces for crash reports on POSIX: glibc's backtrace for the return
// addresses and dladdr for "module(symbol+0xoffset)". The unwinder is loaded
// at start, so a trace taken inside a signal handler does not load it then.
// There are no minidumps on POSIX.
#include <dlfcn.h>
#include <execinfo.h>

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "platform/posix/last_error_posix.h"

namespace platform {

namespace {

// The first call to backtrace loads libgcc's unwinder; do it before any fault.
struct unwinder_warm_up {
    unwinder_warm_up()
    {
        void* frame = nullptr;
        backtrace(&frame, 1);
    }
} warm_up;

const char* base_name(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

} // namespace

uint32_t stack_trace(void** frames, uint32_t capacity)
{
    if (!frames || capacity == 0)
        return 0;
    int count = backtrace(frames, int(capacity > 1024 ? 1024 : capacity));
    return count > 0 ? uint32_t(count) : 0;
}

bool describe_address(const void* address, char* out, uint32_t size)
{
    Dl_info info {};
    if (!out || size == 0 || !dladdr(address, &info) || !info.dli_fname)
        return false;
    const char* module = base_name(info.dli_fname);
    int written = 0;
    if (info.dli_sname && info.dli_saddr)
        written = std::snprintf(out, size, "%s(%s+0x%zx)", module, info.dli_sname,
            size_t(static_cast<const char*>(address) - static_cast<const char*>(info.dli_saddr)));
    else
        written = std::snprintf(out, size, "%s(+0x%zx)", module,
            size_t(static_cast<const char*>(address) - static_cast<const char*>(info.dli_fbase)));
    return written > 0; // snprintf cuts a longer text to size
}

bool write_minidump(const char*, exception_pointers*, bool)
{
    posix::set_last_error(error_not_supported);
    return false;
}

} // namespace platform
