// Stack traces for crash reports on POSIX: glibc's backtrace for the return
// addresses and dladdr for "module(symbol+0xoffset)". Both run inside the crash
// handler: the unwinder is loaded at start, so a trace taken there does not load
// it then, and the names are put together by hand, without stdio or allocation.
// There are no minidumps on POSIX.
#include <dlfcn.h>
#include <execinfo.h>

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

// Lower-case hexadecimal without leading zeros into out (17 bytes at most).
void hex_text(size_t value, char* out)
{
    char digits[16];
    int count = 0;
    do
        digits[count++] = "0123456789abcdef"[value & 0xF];
    while ((value >>= 4) != 0);
    while (count > 0)
        *out++ = digits[--count];
    *out = 0;
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
    bool named = info.dli_sname && info.dli_saddr;
    const void* start = named ? info.dli_saddr : info.dli_fbase;
    size_t offset = size_t(static_cast<const char*>(address) - static_cast<const char*>(start));
    char number[2 + 16 + 1] = "0x";
    hex_text(offset, number + 2);
    uint32_t length = 0;
    const char* pieces[] = { base_name(info.dli_fname), "(", named ? info.dli_sname : "", "+", number, ")" };
    for (const char* piece : pieces)
        for (; *piece && length + 1 < size; ++piece)
            out[length++] = *piece; // cut to fit, as snprintf would
    out[length] = 0;
    return true;
}

bool write_minidump(const char*, exception_pointers*, bool)
{
    posix::set_last_error(error_not_supported);
    return false;
}

} // namespace platform
