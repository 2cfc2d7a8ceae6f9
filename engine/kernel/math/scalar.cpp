// Scalar routines of the script's values: float/int conversion, rounding over a
// 32-bit truncation, clamping, guarded int division and number-to-text.
#include "engine/kernel/math/scalar.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace math {

// The longest "%f" text of a float is that of -FLT_MAX: a sign, 39 integer
// digits, the point and 6 decimals, 47 characters plus the zero. The usual
// 34-byte buffer would cut everything from about 1e26 on; this one never does.
constexpr size_t float_text_size = 48;
// "-2147483648" is 11 characters.
constexpr size_t int_text_size = 12;

int32_t to_int(float f)
{
    // -2^31 and 2^31 are exact floats; the comparison is false for NaN.
    if (!(f >= -2147483648.0f && f < 2147483648.0f))
        return INT32_MIN;
    return int32_t(f);
}

float floor(float x)
{
    int32_t t = to_int(x);
    if (t == INT32_MIN || float(t) == x)
        return x; // out of range, NaN or already integral (keeps -0.0)
    return float(x < 0 ? t - 1 : t);
}

float ceil(float x)
{
    int32_t t = to_int(x);
    if (t == INT32_MIN || float(t) == x)
        return x;
    return float(x > 0 ? t + 1 : t);
}

float saturate(float x)
{
    if (x < 0.0f)
        return 0.0f; // (|x| + x) * 0.5 would make NaN of -inf
    float y = (std::fabs(x) + x) * 0.5f; // -0.0 gives +0.0; NaN stays NaN
    return y > 1.0f ? 1.0f : y;
}

int32_t clamp_byte(int32_t i)
{
    if (i > 255)
        return 255;
    return i < 0 ? 0 : i;
}

string_base int_to_text(int32_t i)
{
    char text[int_text_size];
    std::to_chars_result r = std::to_chars(text, text + sizeof text, i);
    return string_base(text, uint32_t(r.ptr - text));
}

string_base float_to_text(float f)
{
    char text[float_text_size];
    int n = std::snprintf(text, sizeof text, "%f", double(f));
    if (n < 0 || size_t(n) >= sizeof text)
        return string_base::format("%f", double(f)); // cannot happen for a float; kept whole anyway
    return string_base(text, uint32_t(n));
}

int32_t int_div(int32_t a, int32_t b)
{
    if (b == 0)
        return 0;
    if (b == -1)
        return int32_t(0u - uint32_t(a)); // wraps: INT32_MIN / -1 is INT32_MIN
    return a / b;
}

int32_t int_mod(int32_t a, int32_t b)
{
    if (b == 0 || b == -1)
        return 0;
    return a % b;
}

} // namespace math
