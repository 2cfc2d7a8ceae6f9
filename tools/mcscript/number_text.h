// Numbers as the tool prints them: a float widened to double, in the form of
// printf's "%.9g" (nine significant digits, the shorter of fixed and
// exponent form, no trailing zeros; inf and -inf; NaN as the platform's printf
// writes it), appended in place.
#pragma once

#include <string>

namespace mcscript {

void append_number(std::string& out, float f);

} // namespace mcscript
