// What each operator computes: one rule per operator tag, overloaded on the
// result and operand types of its catalogue classes. Vector forms apply the
// scalar rule per component; apply_operator converts an int operand that meets
// a float one before a rule sees it.
#pragma once

#include <bit>
#include <cmath>
#include <string_view>
#include <type_traits>

#include "engine/kernel/Parser/operator_tags.h"
#include "engine/kernel/Parser/value_types.h"
#include "engine/kernel/ascii_case.h"
#include "engine/kernel/math/matrix_ops.h"
#include "engine/kernel/math/scalar.h"
#include "engine/kernel/math/vector_ops.h"

namespace parser {

namespace rules {

// Component-wise application of scalar functions; a float second operand is
// combined with every component.
template <typename F> vec3 map(vec3 v, F f) { return { f(v.x), f(v.y), f(v.z) }; }
template <typename F> vec4 map(vec4 v, F f) { return { f(v.x), f(v.y), f(v.z), f(v.w) }; }
template <typename F> vec3 zip(vec3 a, vec3 b, F f) { return { f(a.x, b.x), f(a.y, b.y), f(a.z, b.z) }; }
template <typename F> vec4 zip(vec4 a, vec4 b, F f) { return { f(a.x, b.x), f(a.y, b.y), f(a.z, b.z), f(a.w, b.w) }; }
template <typename F> vec3 zip(vec3 a, float b, F f) { return { f(a.x, b), f(a.y, b), f(a.z, b) }; }
template <typename F> vec4 zip(vec4 a, float b, F f) { return { f(a.x, b), f(a.y, b), f(a.z, b), f(a.w, b) }; }

// Int arithmetic wraps in two's complement: it is done on uint32_t and
// converted back (a modular conversion).
inline int32_t wrap(uint32_t v) { return int32_t(v); }
inline int32_t negate_int(int32_t a) { return wrap(0u - uint32_t(a)); }

// Sign changes act on the sign bit only, so NaN and -0.0 behave as IEEE says.
inline float negate(float f) { return std::bit_cast<float>(std::bit_cast<uint32_t>(f) ^ 0x80000000u); }
inline float absolute(float f) { return std::bit_cast<float>(std::bit_cast<uint32_t>(f) & 0x7fffffffu); }

inline float sine(float x) { return std::sin(x); }
inline float cosine(float x) { return std::cos(x); }
inline float tangent(float x) { return std::tan(x); }
inline float exponential(float x) { return std::exp(x); }
inline float natural_log(float x) { return std::log(x); }
inline float decimal_log(float x) { return std::log10(x); }

inline float plus(float a, float b) { return a + b; }
inline float minus(float a, float b) { return a - b; }
inline float times(float a, float b) { return a * b; }
inline float quotient(float a, float b) { return a / b; }
inline float power(float a, float b) { return std::pow(a, b); }
// Equal operands (and a NaN operand) yield b.
inline float smaller(float a, float b) { return a < b ? a : b; }
inline float larger(float a, float b) { return a > b ? a : b; }

// A float function of one argument over float, vec3 and vec4.
template <float (*F)(float)> struct unary_componentwise {
    static void apply(float& out, float a) { out = F(a); }
    static void apply(vec3& out, vec3 a) { out = map(a, F); }
    static void apply(vec4& out, vec4 a) { out = map(a, F); }
};

// A float function of two arguments over float, vec3 and vec4.
template <float (*F)(float, float)> struct binary_componentwise {
    static void apply(float& out, float a, float b) { out = F(a, b); }
    static void apply(vec3& out, vec3 a, vec3 b) { out = zip(a, b, F); }
    static void apply(vec3& out, vec3 a, float b) { out = zip(a, b, F); }
    static void apply(vec4& out, vec4 a, vec4 b) { out = zip(a, b, F); }
    static void apply(vec4& out, vec4 a, float b) { out = zip(a, b, F); }
};

// Float comparisons answer as an unordered compare does: a NaN operand makes
// equal, less and lequal true and notequal, greater and gequal false.
inline bool float_equal(float a, float b) { return !(a < b) && !(a > b); }
inline bool float_less(float a, float b) { return !(a >= b); }
inline bool float_lequal(float a, float b) { return !(a > b); }

inline std::string_view view(const string_base& s) { return { s.c_str(), s.size() }; }

// Byte comparison ignoring the case of ASCII letters; null text reads as empty.
inline bool text_equal(const string_base& a, const string_base& b)
{
    return ascii::equal_ignoring_case(view(a), view(b));
}

// Case-sensitive; an empty b occurs in every text, the empty one included.
inline bool text_contains(const string_base& a, const string_base& b)
{
    return view(a).find(view(b)) != std::string_view::npos;
}

inline string_base map_text(const string_base& a, char (*f)(char))
{
    string_base r(a);
    for (uint32_t i = 0; i < r.length; ++i)
        r.data[i] = f(r.data[i]);
    return r;
}

// Concatenation into a buffer of exactly len(a) + len(b); empty gives null data.
inline string_base concat(const string_base& a, const string_base& b) { return a + b; }

// A copy of v with component C (0 x, 1 y, 2 z, 3 w) set to f.
template <int C> vec4 replace(vec4 v, float f)
{
    static_assert(C >= 0 && C < 4);
    (C == 0 ? v.x : C == 1 ? v.y : C == 2 ? v.z : v.w) = f;
    return v;
}

} // namespace rules

template <typename OP> struct operator_rule;

// clang-format off
template <>
struct operator_rule<OP_neg> : rules::unary_componentwise<rules::negate> {
    using unary_componentwise::apply;
    static void apply(int32_t& out, int32_t a) { out = rules::negate_int(a); }
};

template <>
struct operator_rule<OP_not> {
    static void apply(bool& out, bool a) { out = !a; }
    static void apply(bool& out, int32_t a) { out = a == 0; }
    static void apply(int32_t& out, int32_t a) { out = ~a; }
};

template <>
struct operator_rule<OP_abs> : rules::unary_componentwise<rules::absolute> {
    using unary_componentwise::apply;
    static void apply(int32_t& out, int32_t a) { out = a < 0 ? rules::negate_int(a) : a; }
};

template <>
struct operator_rule<OP_clamp> {
    static void apply(int32_t& out, int32_t a) { out = math::clamp_byte(a); }
    static void apply(float& out, float a) { out = math::saturate(a); }
    static void apply(vec3& out, vec3 a) { out = math::saturate(a); }
    static void apply(vec4& out, vec4 a) { out = math::saturate(a); }
};

template <> struct operator_rule<OP_floor> { static void apply(float& out, float a) { out = math::floor(a); } };
template <> struct operator_rule<OP_ceil> { static void apply(float& out, float a) { out = math::ceil(a); } };
template <> struct operator_rule<OP_int> { static void apply(int32_t& out, float a) { out = math::to_int(a); } };
template <> struct operator_rule<OP_float> { static void apply(float& out, int32_t a) { out = float(a); } };

template <> struct operator_rule<OP_sin> : rules::unary_componentwise<rules::sine> {};
template <> struct operator_rule<OP_cos> : rules::unary_componentwise<rules::cosine> {};
template <> struct operator_rule<OP_tan> : rules::unary_componentwise<rules::tangent> {};
template <> struct operator_rule<OP_exp> : rules::unary_componentwise<rules::exponential> {};
template <> struct operator_rule<OP_ln> : rules::unary_componentwise<rules::natural_log> {};
template <> struct operator_rule<OP_log> : rules::unary_componentwise<rules::decimal_log> {};
// clang-format on

template <> struct operator_rule<OP_add> : rules::binary_componentwise<rules::plus> {
    using binary_componentwise::apply;
    static void apply(int32_t& out, int32_t a, int32_t b) { out = rules::wrap(uint32_t(a) + uint32_t(b)); }
    static void apply(string_base& out, const string_base& a, const string_base& b) { out = rules::concat(a, b); }
    static void apply(string_base& out, const string_base& a, int32_t b)
    {
        out = rules::concat(a, math::int_to_text(b));
    }
    static void apply(string_base& out, int32_t a, const string_base& b)
    {
        out = rules::concat(math::int_to_text(a), b);
    }
    static void apply(string_base& out, const string_base& a, float b)
    {
        out = rules::concat(a, math::float_to_text(b));
    }
    static void apply(string_base& out, float a, const string_base& b)
    {
        out = rules::concat(math::float_to_text(a), b);
    }
};

template <> struct operator_rule<OP_sub> : rules::binary_componentwise<rules::minus> {
    using binary_componentwise::apply;
    static void apply(int32_t& out, int32_t a, int32_t b) { out = rules::wrap(uint32_t(a) - uint32_t(b)); }
};

template <> struct operator_rule<OP_mul> : rules::binary_componentwise<rules::times> {
    using binary_componentwise::apply;
    static void apply(int32_t& out, int32_t a, int32_t b) { out = rules::wrap(uint32_t(a) * uint32_t(b)); }
    static void apply(mtx44& out, const mtx44& a, const mtx44& b) { out = math::multiply(a, b); }
};

template <> struct operator_rule<OP_div> : rules::binary_componentwise<rules::quotient> {
    using binary_componentwise::apply;
    static void apply(int32_t& out, int32_t a, int32_t b) { out = math::int_div(a, b); }
    // A vector divided by a float is multiplied by the reciprocal, taken once.
    static void apply(vec3& out, vec3 a, float b) { out = rules::zip(a, 1.0f / b, rules::times); }
    static void apply(vec4& out, vec4 a, float b) { out = rules::zip(a, 1.0f / b, rules::times); }
};

template <> struct operator_rule<OP_mod> {
    static void apply(int32_t& out, int32_t a, int32_t b) { out = math::int_mod(a, b); }
    static void apply(float& out, float a, float b) { out = std::fmod(a, b); }
};

template <> struct operator_rule<OP_pow> : rules::binary_componentwise<rules::power> {
};

template <> struct operator_rule<OP_min> : rules::binary_componentwise<rules::smaller> {
    using binary_componentwise::apply;
    static void apply(int32_t& out, int32_t a, int32_t b) { out = a < b ? a : b; }
};

template <> struct operator_rule<OP_max> : rules::binary_componentwise<rules::larger> {
    using binary_componentwise::apply;
    static void apply(int32_t& out, int32_t a, int32_t b) { out = a > b ? a : b; }
};

// The bool forms of and / or short-circuit in their node; these are the int forms.
// clang-format off
template <> struct operator_rule<OP_and> { static void apply(int32_t& out, int32_t a, int32_t b) { out = a & b; } };
template <> struct operator_rule<OP_or> { static void apply(int32_t& out, int32_t a, int32_t b) { out = a | b; } };
template <> struct operator_rule<OP_xor> { static void apply(int32_t& out, int32_t a, int32_t b) { out = a ^ b; } };
// clang-format on

template <> struct operator_rule<OP_equal> {
    static void apply(bool& out, int32_t a, int32_t b) { out = a == b; }
    static void apply(bool& out, float a, float b) { out = rules::float_equal(a, b); }
    static void apply(bool& out, const string_base& a, const string_base& b) { out = rules::text_equal(a, b); }
};

template <> struct operator_rule<OP_notequal> {
    static void apply(bool& out, int32_t a, int32_t b) { out = a != b; }
    static void apply(bool& out, float a, float b) { out = !rules::float_equal(a, b); }
    static void apply(bool& out, const string_base& a, const string_base& b) { out = !rules::text_equal(a, b); }
};

// clang-format off
template <>
struct operator_rule<OP_less> {
    static void apply(bool& out, int32_t a, int32_t b) { out = a < b; }
    static void apply(bool& out, float a, float b) { out = rules::float_less(a, b); }
};
template <>
struct operator_rule<OP_lequal> {
    static void apply(bool& out, int32_t a, int32_t b) { out = a <= b; }
    static void apply(bool& out, float a, float b) { out = rules::float_lequal(a, b); }
};
template <>
struct operator_rule<OP_greater> {
    static void apply(bool& out, int32_t a, int32_t b) { out = a > b; }
    static void apply(bool& out, float a, float b) { out = a > b; }
};
template <>
struct operator_rule<OP_gequal> {
    static void apply(bool& out, int32_t a, int32_t b) { out = a >= b; }
    static void apply(bool& out, float a, float b) { out = a >= b; }
};

template <> struct operator_rule<OP_substr> {
    static void apply(bool& out, const string_base& a, const string_base& b) { out = rules::text_contains(a, b); }
};
template <> struct operator_rule<OP_empty> {
    static void apply(bool& out, const string_base& a) { out = a.empty(); }
};
template <> struct operator_rule<OP_lowercase> {
    static void apply(string_base& out, const string_base& a) { out = rules::map_text(a, ascii::lower); }
};
template <> struct operator_rule<OP_uppercase> {
    static void apply(string_base& out, const string_base& a) { out = rules::map_text(a, ascii::upper); }
};

template <> struct operator_rule<OP_length> { static void apply(float& out, vec3 a) { out = math::length(a); } };
template <> struct operator_rule<OP_dist> { static void apply(float& out, vec3 a, vec3 b) { out = math::dist(a, b); } };
template <> struct operator_rule<OP_dist2> { static void apply(float& out, vec3 a, vec3 b) { out = math::dist2(a, b); } };
template <> struct operator_rule<OP_cross> { static void apply(vec3& out, vec3 a, vec3 b) { out = math::cross(a, b); } };
template <> struct operator_rule<OP_normalize> { static void apply(vec3& out, vec3 a) { out = math::normalize(a); } };
// clang-format on

template <> struct operator_rule<OP_dot> {
    static void apply(float& out, vec3 a, vec3 b) { out = math::dot(a, b); }
    static void apply(float& out, vec4 a, vec4 b) { out = math::dot(a, b); }
    static void apply(float& out, vec4 a, vec3 b) { out = math::dot(a, b); }
    static void apply(float& out, vec3 a, vec4 b) { out = math::dot(a, b); }
};

template <> struct operator_rule<OP_mulp> {
    static void apply(vec3& out, const mtx44& a, vec3 b) { out = math::transform_point(a, b); }
    static void apply(vec4& out, const mtx44& a, vec4 b) { out = math::transform(a, b); }
};

template <> struct operator_rule<OP_mulv> {
    static void apply(vec3& out, const mtx44& a, vec3 b) { out = math::transform_vector(a, b); }
};

template <> struct operator_rule<OP_transpose> {
    static void apply(mtx44& out, const mtx44& a) { out = math::transpose(a); }
};

template <> struct operator_rule<OP_invert> {
    static void apply(mtx44& out, const mtx44& a)
    {
        out = a;
        math::invert(out);
    }
};

template <> struct operator_rule<OP_translation> {
    static void apply(mtx44& out, vec3 a) { out = math::make_translation(a.x, a.y, a.z); }
    static void apply(mtx44& out, float a, float b, float c) { out = math::make_translation(a, b, c); }
};

template <> struct operator_rule<OP_scaling> {
    static void apply(mtx44& out, float a) { out = math::make_scaling(a, a, a); }
    static void apply(mtx44& out, vec3 a) { out = math::make_scaling(a.x, a.y, a.z); }
    static void apply(mtx44& out, float a, float b, float c) { out = math::make_scaling(a, b, c); }
};

template <> struct operator_rule<OP_rotation> {
    static void apply(mtx44& out, vec3 axis, float degrees) { out = math::make_rotation_axis(axis, degrees); }
    static void apply(mtx44& out, float a, float b, float c) { out = math::make_rotation_xyz(a, b, c); }
};

template <> struct operator_rule<OP_orientation> {
    static void apply(mtx44& out, vec3 direction, vec3 position) { out = math::make_orientation(direction, position); }
};

// clang-format off
template <> struct operator_rule<OP_replaceX> { static void apply(vec4& out, vec4 a, float b) { out = rules::replace<0>(a, b); } };
template <> struct operator_rule<OP_replaceY> { static void apply(vec4& out, vec4 a, float b) { out = rules::replace<1>(a, b); } };
template <> struct operator_rule<OP_replaceZ> { static void apply(vec4& out, vec4 a, float b) { out = rules::replace<2>(a, b); } };
template <> struct operator_rule<OP_replaceW> { static void apply(vec4& out, vec4 a, float b) { out = rules::replace<3>(a, b); } };
// clang-format on

// An int operand that meets a float operand becomes the nearest float; the
// operands keep their written order.
template <typename... V>
constexpr bool mixes_int_and_float
    = sizeof...(V) == 2 && (std::is_same_v<V, float> || ...) && (std::is_same_v<V, int32_t> || ...);

template <bool Mixed, typename V> decltype(auto) promoted(const V& v)
{
    if constexpr (Mixed && std::is_same_v<V, int32_t>)
        return float(v);
    else
        return (v);
}

// Applies OP's rule to evaluated operands.
template <typename OP, typename R, typename... V> void apply_operator(R& out, const V&... operands)
{
    operator_rule<OP>::apply(out, promoted<mixes_int_and_float<V...>>(operands)...);
}

} // namespace parser
