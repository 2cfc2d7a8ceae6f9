// The seven value types of the script language and their type numbers
// (bool 0, int 1, float 2, vec3 3, vec4 4, mtx44 5, string 6; 7 = any type),
// with the visit functions that dispatch on a type number.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>

#include "engine/kernel/math/mtx44.h"
#include "engine/kernel/math/vec3.h"
#include "engine/kernel/math/vec4.h"
#include "engine/kernel/string_base.h"

namespace parser {

template <typename... Types> struct type_list {
    static constexpr size_t size = sizeof...(Types);
};

// The seven value types in the order of their type numbers: the numbers, the
// names and every dispatch over the types below come from this one list.
using value_types = type_list<bool, int32_t, float, vec3, vec4, mtx44, string_base>;

// Look-ups by name use the number after the last type to match any type.
constexpr uint8_t any_type = 7;
static_assert(value_types::size == any_type);

// The types as scripts write them, by type number.
constexpr const char* type_names[any_type] = { "bool", "int", "float", "vec3", "vec4", "mtx", "string" };

template <typename T, typename List> struct type_index;
template <typename T, typename... Rest> struct type_index<T, type_list<T, Rest...>> {
    static constexpr uint8_t value = 0;
};
template <typename T, typename First, typename... Rest> struct type_index<T, type_list<First, Rest...>> {
    static constexpr uint8_t value = 1 + type_index<T, type_list<Rest...>>::value;
};

template <typename T> constexpr uint8_t type_number_v = type_index<T, value_types>::value;

// Hands a type to a generic lambda: f(type_tag<T>()) reads T as
// typename decltype(tag)::type.
template <typename T> struct type_tag {
    using type = T;
};

template <typename F, typename... Types> decltype(auto) visit_in(type_list<Types...>, uint8_t number, F& f)
{
    using result = decltype(f(type_tag<bool>()));
    static constexpr result (*calls[])(F&) = { [](F& g) -> result { return g(type_tag<Types>()); }... };
    return calls[number](f);
}

// f(type_tag<T>()) for the type numbered number, which must be below any_type;
// returns what f returns (the same type for every T).
template <typename F> decltype(auto) visit_type(uint8_t number, F&& f)
{
    assert(number < any_type);
    return visit_in(value_types(), number, f);
}

template <typename F, typename... Types> void each_in(type_list<Types...>, F& f) { (f(type_tag<Types>()), ...); }

// f(type_tag<T>()) for each of the seven types in type-number order.
template <typename F> void for_each_type(F&& f) { each_in(value_types(), f); }

// One-letter names of the seven types, for the operator catalogue and the
// grammar, whose tables name many combinations of them.
namespace short_types {
using B = bool;
using I = int32_t;
using F = float;
using V3 = vec3;
using V4 = vec4;
using M = mtx44;
using S = string_base;
} // namespace short_types

// The value a temporary starts with before evaluation writes it: zero for the
// scalar and vector types, the identity matrix, the empty string.
template <typename T> T initial_value() { return T {}; }

} // namespace parser
