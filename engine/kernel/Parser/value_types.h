// The seven value types of the script language and their type numbers
// (bool 0, int 1, float 2, vec3 3, vec4 4, mtx44 5, string 6; 7 = any type).
#pragma once

#include <cstdint>

#include "engine/kernel/math/mtx44.h"
#include "engine/kernel/math/vec3.h"
#include "engine/kernel/math/vec4.h"
#include "engine/kernel/string_base.h"

namespace parser {

constexpr uint8_t any_type = 7;

template <typename T> struct type_number;
template <> struct type_number<bool> {
    static constexpr uint8_t value = 0;
};
template <> struct type_number<int32_t> {
    static constexpr uint8_t value = 1;
};
template <> struct type_number<float> {
    static constexpr uint8_t value = 2;
};
template <> struct type_number<vec3> {
    static constexpr uint8_t value = 3;
};
template <> struct type_number<vec4> {
    static constexpr uint8_t value = 4;
};
template <> struct type_number<mtx44> {
    static constexpr uint8_t value = 5;
};
template <> struct type_number<string_base> {
    static constexpr uint8_t value = 6;
};

template <typename T> constexpr uint8_t type_number_v = type_number<T>::value;

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
