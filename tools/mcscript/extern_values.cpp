// Conversions of "--extern" texts into the seven value types, and the
// bindings that read them.
#include "tools/mcscript/extern_values.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace mcscript {
namespace {

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == separator) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

bool convert(const std::string& text, bool& out)
{
    if (text == "true" || text == "false") {
        out = text == "true";
        return true;
    }
    return false;
}

bool is_digit(char c, int base) { return base == 16 ? std::isxdigit(uint8_t(c)) != 0 : c >= '0' && c <= '9'; }

// Decimal, or hexadecimal after "0x", with an optional leading '-' and nothing
// else (no spaces, no '+'): decimal within the int range, hexadecimal any 32
// bits.
bool convert(const std::string& text, int32_t& out)
{
    const char* s = text.c_str();
    bool negative = *s == '-';
    const char* digits = s + negative;
    int base = std::strncmp(digits, "0x", 2) == 0 ? 16 : 10;
    if (base == 16)
        digits += 2;
    for (const char* p = digits; *p; ++p)
        if (!is_digit(*p, base))
            return false;
    if (!*digits)
        return false;
    char* end = nullptr;
    errno = 0;
    unsigned long long v = std::strtoull(digits, &end, base);
    if (*end || errno || v > (base == 16 ? 0xffffffffull : 0x80000000ull))
        return false;
    uint32_t bits = uint32_t(v);
    if (base == 10 && !negative && v > 0x7fffffffull)
        return false;
    out = int32_t(negative ? 0u - bits : bits);
    return true;
}

// A plain decimal number: an optional '-', digits with at most one point
// (required when with_point), an optional exponent; no spaces, no NaN or
// infinity, no hexadecimal; finite as a float.
bool decimal(const std::string& text, bool with_point, float& out)
{
    size_t i = text[0] == '-' ? 1 : 0, digits = 0;
    bool point = false;
    for (; i < text.size() && (text[i] == '.' || is_digit(text[i], 10)); ++i) {
        if (text[i] == '.' && point)
            return false;
        point |= text[i] == '.';
        digits += text[i] != '.';
    }
    if (digits == 0 || (with_point && !point))
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        i += i + 1 < text.size() && (text[i + 1] == '-' || text[i + 1] == '+') ? 2 : 1;
        size_t start = i;
        while (i < text.size() && is_digit(text[i], 10))
            ++i;
        if (i == start)
            return false;
    }
    if (i != text.size())
        return false;
    out = std::strtof(text.c_str(), nullptr);
    return std::isfinite(out);
}

bool number(const std::string& text, float& out) { return decimal(text, false, out); }

// A float is written with a point.
bool convert(const std::string& text, float& out) { return decimal(text, true, out); }

bool numbers(const std::string& text, float* out, size_t count)
{
    std::vector<std::string> parts = split(text, ',');
    if (parts.size() != count)
        return false;
    for (size_t i = 0; i < count; ++i)
        if (!number(parts[i], out[i]))
            return false;
    return true;
}

bool convert(const std::string& text, vec3& out) { return numbers(text, &out.x, 3); }
bool convert(const std::string& text, vec4& out) { return numbers(text, &out.x, 4); }
bool convert(const std::string& text, mtx44& out) { return numbers(text, out.m, 16); }

bool convert(const std::string& text, string_base& out)
{
    out = string_base(text.c_str(), uint32_t(text.size()));
    return true;
}

} // namespace

template <typename T> struct value_binding final : parser::extern_binding<T> {
    std::vector<T> values;
    void read(void*, T& out, uint32_t index, void*) override
    {
        out = values[index < values.size() ? index : values.size() - 1];
    }
    uint32_t attributes() override { return 0; }
};

extern_values::extern_values() = default;
extern_values::~extern_values() = default;

bool extern_values::add(const std::string& assignment)
{
    size_t equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0)
        return false;
    values_[assignment.substr(0, equals)] = split(assignment.substr(equals + 1), ';');
    return true;
}

template <typename T> parser::extern_binding<T>* extern_values::find(const char* key)
{
    auto it = values_.find(key);
    if (it == values_.end())
        return nullptr;
    struct owned : binding_base {
        value_binding<T> binding;
    };
    auto made = std::make_unique<owned>();
    for (const std::string& text : it->second) {
        T value {};
        if (!convert(text, value))
            refusals_.push_back({ it->first, text, parser::type_names[parser::type_number_v<T>] });
        made->binding.values.push_back(value); // bound all the same: the refusal is reported once the parse ends
    }
    parser::extern_binding<T>* result = &made->binding;
    bindings_.push_back(std::move(made));
    return result;
}

parser::extern_binding<bool>* extern_values::find_bool(const char* key) { return find<bool>(key); }
parser::extern_binding<int32_t>* extern_values::find_int(const char* key) { return find<int32_t>(key); }
parser::extern_binding<float>* extern_values::find_float(const char* key) { return find<float>(key); }
parser::extern_binding<vec3>* extern_values::find_vec3(const char* key) { return find<vec3>(key); }
parser::extern_binding<vec4>* extern_values::find_vec4(const char* key) { return find<vec4>(key); }
parser::extern_binding<mtx44>* extern_values::find_mtx44(const char* key) { return find<mtx44>(key); }
parser::extern_binding<string_base>* extern_values::find_string(const char* key) { return find<string_base>(key); }

bool extern_values::report_refusals() const
{
    for (const refusal& r : refusals_)
        std::fprintf(
            stderr, "mcscript: --extern %s=%s: not a value of type %s\n", r.key.c_str(), r.value.c_str(), r.type);
    return !refusals_.empty();
}

} // namespace mcscript
