// Numbers as the tool prints them: a float widened to double, in the form of
// printf's "%.9g" (nine significant digits, the shorter of fixed and
// exponent form, no trailing zeros; inf, -inf, nan and -nan), appended in place.
#pragma once

#include <charconv>
#include <string>

namespace mcscript {

inline void append_number(std::string& out, float f)
{
    char text[32]; // "-1.23456789e-308" is the longest a "%.9g" double gives
    auto written = std::to_chars(text, text + sizeof text, double(f), std::chars_format::general, 9);
    out.append(text, written.ptr);
}

} // namespace mcscript
