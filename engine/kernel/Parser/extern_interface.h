// The binder a program hands to the parser: it finds the binding for each
// extern declaration by key and supplies predefined variables. Slots 0 and 8
// are kept free so the slot order stays as the program expects.
#pragma once

#include <cstdint>

#include "engine/kernel/Parser/variable.h"

namespace parser {

class extern_interface {
public:
    virtual void reserved_slot_0() { } // slot 0
    virtual extern_binding<bool>* find_bool(const char* key) = 0; // slot 1
    virtual extern_binding<int32_t>* find_int(const char* key) = 0; // slot 2
    virtual extern_binding<float>* find_float(const char* key) = 0; // slot 3
    virtual extern_binding<vec3>* find_vec3(const char* key) = 0; // slot 4
    virtual extern_binding<vec4>* find_vec4(const char* key) = 0; // slot 5
    virtual extern_binding<mtx44>* find_mtx44(const char* key) = 0; // slot 6
    virtual extern_binding<string_base>* find_string(const char* key) = 0; // slot 7
    virtual void reserved_slot_8() { } // slot 8
    // Predefined variable number i; the caller adds the reference it keeps.
    virtual variable* predefined_variable(uint32_t i) = 0; // slot 9
    virtual uint32_t predefined_count() = 0; // slot 10

protected:
    ~extern_interface() = default;
};

// The finder of T's bindings, so one template serves the seven extern kinds.
template <typename T> struct extern_finder;
template <> struct extern_finder<bool> {
    static constexpr auto find = &extern_interface::find_bool;
};
template <> struct extern_finder<int32_t> {
    static constexpr auto find = &extern_interface::find_int;
};
template <> struct extern_finder<float> {
    static constexpr auto find = &extern_interface::find_float;
};
template <> struct extern_finder<vec3> {
    static constexpr auto find = &extern_interface::find_vec3;
};
template <> struct extern_finder<vec4> {
    static constexpr auto find = &extern_interface::find_vec4;
};
template <> struct extern_finder<mtx44> {
    static constexpr auto find = &extern_interface::find_mtx44;
};
template <> struct extern_finder<string_base> {
    static constexpr auto find = &extern_interface::find_string;
};

} // namespace parser
