// Formatted construction of qlib::string_base<char>.
#include "engine/kernel/string_base.h"

#include <cstdio>

namespace qlib {

// Formats into a 2048-byte buffer and grows it by 2048 bytes at a time until the
// text fits, so a long message is never cut.
template <> string_base<char> string_base<char>::vformat(const char* fmt, va_list args)
{
    constexpr uint32_t step = 2048;
    string_base<char> out;
    for (uint32_t size = step;; size += step) {
        char* buffer = static_cast<char*>(std::malloc(size));
        if (!buffer)
            std::abort();
        va_list copy;
        va_copy(copy, args);
        int n = std::vsnprintf(buffer, size, fmt, copy);
        va_end(copy);
        if (n >= 0 && uint32_t(n) < size) {
            out.data = n ? buffer : nullptr;
            out.length = uint32_t(n);
            out.capacity = n ? size - 1 : 0;
            if (!n)
                std::free(buffer);
            return out;
        }
        std::free(buffer);
        if (n < 0)
            return out; // an encoding error: the empty string
    }
}

template <> string_base<char> string_base<char>::format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    string_base<char> out = vformat(fmt, args);
    va_end(args);
    return out;
}

} // namespace qlib
