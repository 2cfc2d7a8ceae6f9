// Letter case of ASCII text, the one way names are compared ignoring case:
// file and unit names, settings keys, switches, log categories, header names.
// Only A-Z and a-z change; every other byte, those above 127 included, stays.
#pragma once

#include <string_view>

namespace ascii {

constexpr char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
constexpr char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

// The same text once the case of ASCII letters is ignored. The C library's
// strcasecmp and tolower follow the locale; these never do.
constexpr bool equal_ignoring_case(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

// Orders as the lower-case texts do, bytes compared unsigned: negative, zero or
// positive as a comes before, with or after b.
constexpr int compare_ignoring_case(std::string_view a, std::string_view b)
{
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        int x = static_cast<unsigned char>(lower(a[i])), y = static_cast<unsigned char>(lower(b[i]));
        if (x != y)
            return x - y;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

} // namespace ascii
