// Numbers as the tool prints them: a float widened to double, in the form of
// printf's "%.9g" (nine significant digits, the shorter of fixed and
// exponent form, no trailing zeros; inf and -inf; NaN as the platform's printf
// writes it), appended in place.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace mcscript {

inline void append_number(std::string& out, float f)
{
    char text[32]; // "-1.23456789e-308" is the longest a "%.9g" double gives
    if (std::isnan(f)) { // the C libraries differ on the sign ("-nan" or "nan"); keep the platform's text
        out.append(text, size_t(std::snprintf(text, sizeof text, "%.9g", double(f))));
        return;
    }
    auto written = std::to_chars(text, text + sizeof text, double(f), std::chars_format::general, 9);
    out.append(text, written.ptr);
}

} // namespace mcscript
