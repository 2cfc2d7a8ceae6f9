// "%.9g" of a float widened to double, built by hand for the values scripts
// use. A float is m x 2^e exactly (m below 2^24), so for exponents within
// +-60 its nine correctly rounded digits come from 128-bit integer arithmetic:
// m x 10^s shifted right by -e, or m x 2^e divided by a power of ten. The
// digits are then laid out as printf lays out %g. Zeros, infinities, NaN and
// the very small or very large values go to the C++ or C library.
#include "tools/mcscript/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace mcscript {
namespace {

__extension__ typedef unsigned __int128 wide;

constexpr int significant = 9;
constexpr uint64_t nine_digit_low = 100000000; // the smallest nine-digit number
constexpr uint64_t nine_digit_end = 1000000000;

constexpr auto powers_of_ten = [] {
    std::array<wide, 23> p {};
    p[0] = 1;
    for (size_t i = 1; i < p.size(); ++i)
        p[i] = p[i - 1] * 10;
    return p;
}();

// The nine-digit rounding of a value: digits from nine_digit_low to below
// nine_digit_end, and the decimal exponent of the first digit.
struct nine_digits {
    uint32_t digits;
    int exponent;
};

// m x 2^e scaled by 10^s and cut to an integer, with the remainder as a
// fraction of den.
struct scaled {
    wide quotient;
    wide remainder;
    wide den;
};

scaled scale(uint32_t m, int e, int s)
{
    if (e >= 0) {
        wide value = wide(m) << e;
        if (s >= 0)
            return { value * powers_of_ten[size_t(s)], 0, 1 };
        wide den = powers_of_ten[size_t(-s)];
        return { value / den, value % den, den };
    }
    // e < 0 keeps the value below 2^24, so s is at least 1 here.
    wide value = wide(m) * powers_of_ten[size_t(s)];
    wide den = wide(1) << -e;
    return { value >> -e, value & (den - 1), den };
}

// Rounds to nearest, ties to even, as printf does in the default rounding
// mode. Callers keep e within +-60 and m a normal float's mantissa, which
// bounds every product below 2^100 and the scale within the table.
nine_digits round_to_nine(uint32_t m, int e)
{
    // floor(log10(2^p)) for the value's leading bit p: the decimal exponent
    // or one below it; the quotient's size corrects it either way.
    int p = 31 - __builtin_clz(m) + e;
    int x = (p * 78913) >> 18;
    for (;;) {
        scaled v = scale(m, e, significant - 1 - x);
        if (v.quotient >= nine_digit_end || v.quotient < nine_digit_low) {
            x += v.quotient >= nine_digit_end ? 1 : -1;
            continue;
        }
        wide twice = v.remainder * 2;
        uint64_t q = uint64_t(v.quotient);
        if (twice > v.den || (twice == v.den && (q & 1)))
            ++q;
        if (q == nine_digit_end) {
            q = nine_digit_low;
            ++x;
        }
        return { uint32_t(q), x };
    }
}

// %g's layout of the digits: exponent form below 1e-4 and from 1e9 on,
// fixed form otherwise; trailing zeros and a bare point dropped.
char* lay_out(char* at, nine_digits n)
{
    char d[significant];
    uint32_t rest = n.digits;
    for (int i = significant - 1; i >= 0; --i, rest /= 10)
        d[i] = char('0' + rest % 10);
    int kept = significant;
    while (kept > 1 && d[kept - 1] == '0')
        --kept;
    int x = n.exponent;
    if (x < -4 || x >= significant) {
        *at++ = d[0];
        if (kept > 1) {
            *at++ = '.';
            std::memcpy(at, d + 1, size_t(kept - 1));
            at += kept - 1;
        }
        *at++ = 'e';
        *at++ = x < 0 ? '-' : '+';
        int magnitude = x < 0 ? -x : x; // two digits at least, as printf writes them
        *at++ = char('0' + magnitude / 10);
        *at++ = char('0' + magnitude % 10);
        return at;
    }
    if (x < 0) {
        *at++ = '0';
        *at++ = '.';
        for (int z = -1; z > x; --z)
            *at++ = '0';
        std::memcpy(at, d, size_t(kept));
        return at + kept;
    }
    std::memcpy(at, d, size_t(x + 1)); // the integer part, zeros included
    at += x + 1;
    if (kept > x + 1) {
        *at++ = '.';
        std::memcpy(at, d + x + 1, size_t(kept - x - 1));
        at += kept - x - 1;
    }
    return at;
}

} // namespace

void append_number(std::string& out, float f)
{
    char text[32]; // "-1.23456789e-308" is the longest a "%.9g" double gives
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    int e = int(bits >> 23 & 0xff) - 150; // the range leaves out zeros, subnormals, infinities and NaN
    if (e >= -60 && e <= 60) {
        char* at = text;
        if (bits >> 31)
            *at++ = '-';
        at = lay_out(at, round_to_nine((bits & 0x7fffff) | 0x800000, e));
        out.append(text, at);
        return;
    }
    if (std::isnan(f)) { // the C libraries differ on the sign ("-nan" or "nan"); keep the platform's text
        out.append(text, size_t(std::snprintf(text, sizeof text, "%.9g", double(f))));
        return;
    }
    auto written = std::to_chars(text, text + sizeof text, double(f), std::chars_format::general, 9);
    out.append(text, written.ptr);
}

} // namespace mcscript
