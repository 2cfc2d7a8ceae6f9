// Parsing of the demo game's switches out of the command line it is given.
#include "modules/engine/demo_switches.h"

#include <cstring>

namespace demo {

namespace {

// A billion frames is about six months at 60 frames a second: plenty, and far
// from any overflow.
constexpr int64_t max_frames = 1000000000;

// Reads an optionally signed decimal number that fills [begin, end) and lies in [low, high].
bool read_number(const char* begin, const char* end, int64_t low, int64_t high, int64_t* value)
{
    bool negative = begin != end && *begin == '-';
    if (negative || (begin != end && *begin == '+'))
        ++begin;
    if (begin == end)
        return false;
    int64_t number = 0;
    for (const char* p = begin; p != end; ++p) {
        if (*p < '0' || *p > '9' || number > high + 1)
            return false;
        number = number * 10 + (*p - '0');
    }
    number = negative ? -number : number;
    if (number < low || number > high)
        return false;
    *value = number;
    return true;
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

bool starts_with(const char* begin, const char* end, const char* prefix)
{
    size_t length = std::strlen(prefix);
    return size_t(end - begin) >= length && std::memcmp(begin, prefix, length) == 0;
}

bool equals(const char* begin, const char* end, const char* word)
{
    return size_t(end - begin) == std::strlen(word) && starts_with(begin, end, word);
}

void apply(const char* begin, const char* end, switches& out)
{
    int64_t value = 0;
    if (starts_with(begin, end, "-frames=")) {
        if (read_number(begin + 8, end, 0, max_frames, &value))
            out.frames = value;
        else
            ++out.refused;
    } else if (starts_with(begin, end, "-exitcode=")) {
        if (read_number(begin + 10, end, INT32_MIN, INT32_MAX, &value))
            out.exit_code = int(value);
        else
            ++out.refused;
    } else if (equals(begin, end, "-initfail")) {
        out.init_fail = true;
    } else if (equals(begin, end, "-crash")) {
        out.crash = true;
    }
}

} // namespace

switches parse_switches(const char* command_line, int64_t default_frames)
{
    switches out;
    out.frames = default_frames;
    const char* p = command_line ? command_line : "";
    while (*p) {
        while (is_blank(*p))
            ++p;
        const char* begin = p;
        while (*p && !is_blank(*p))
            ++p;
        if (p != begin)
            apply(begin, p, out);
    }
    return out;
}

} // namespace demo
