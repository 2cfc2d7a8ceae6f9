// Scalar routines and conversions of the script's value types: rounding,
// clamping, float/int conversion and number-to-text.
#pragma once

#include <cstdint>

#include "engine/kernel/string_base.h"

namespace math {

// Truncation toward zero; NaN and values outside the int range give INT32_MIN.
int32_t to_int(float f);
// floor/ceil over a 32-bit truncation: values that do not fit are returned as
// they are, and so are integral values (which keeps -0.0).
float floor(float x);
float ceil(float x);
// Clamp into [0, 1] as (|x| + x) * 0.5, capped at 1.
float saturate(float x);
// Clamp into [0, 255].
int32_t clamp_byte(int32_t i);
// Decimal text of an int ("-42").
string_base int_to_text(int32_t i);
// "%f" of the value widened to double ("1.500000"); never cut, however large.
string_base float_to_text(float f);
// Int division and remainder that never stop the process: division by zero
// gives 0 and the remainder 0; INT32_MIN / -1 gives INT32_MIN with remainder 0.
int32_t int_div(int32_t a, int32_t b);
int32_t int_mod(int32_t a, int32_t b);

} // namespace math
