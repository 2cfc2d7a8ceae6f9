// Shared test support for the program-structure tests: the fixture (log records
// captured, every node and list element given back), fake extern
// bindings and a fake extern interface, and small node builders.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/kernel/Parser/context.h"
#include "engine/kernel/Parser/extern_interface.h"
#include "engine/kernel/Parser/node_pool.h"
#include "engine/kernel/Parser/statements.h"
#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/var.h"
#include "tests/support/released_pools_test.h"

namespace program_test {

class ProgramTest : public ReleasedPoolsTest {
protected:
    void SetUp() override
    {
        Log::Settings::Instance().SetCategoryLevel("Parser", Log::ELevel::Warning);
        capture_records();
    }
};

// A binding whose value is base plus the index it is read with (bool: index
// is odd; string: the index as text), counting its reads.
template <typename T> class fake_binding final : public parser::extern_binding<T> {
public:
    void read(void*, T& out, uint32_t index, void*) override
    {
        ++reads;
        last_index = index;
        if constexpr (std::is_same_v<T, int32_t>)
            out = base + int32_t(index);
        else if constexpr (std::is_same_v<T, bool>)
            out = (index & 1) != 0;
        else if constexpr (std::is_same_v<T, float>)
            out = float(index);
        else if constexpr (std::is_same_v<T, string_base>)
            out = string_base::format("%u", index);
    }
    uint32_t attributes() override { return attribute_word; }

    int32_t base = 100;
    uint32_t attribute_word = 0x40;
    int reads = 0;
    uint32_t last_index = 0;
};

// Finds each type's binding under the key "known".
class fake_interface final : public parser::extern_interface {
public:
    parser::extern_binding<bool>* find_bool(const char* k) override { return pick(k, &b); }
    parser::extern_binding<int32_t>* find_int(const char* k) override { return pick(k, &i); }
    parser::extern_binding<float>* find_float(const char* k) override { return pick(k, &f); }
    parser::extern_binding<vec3>* find_vec3(const char* k) override { return pick(k, &v3); }
    parser::extern_binding<vec4>* find_vec4(const char* k) override { return pick(k, &v4); }
    parser::extern_binding<mtx44>* find_mtx44(const char* k) override { return pick(k, &m); }
    parser::extern_binding<string_base>* find_string(const char* k) override { return pick(k, &s); }
    parser::variable* predefined_variable(uint32_t) override { return nullptr; }
    uint32_t predefined_count() override { return 0; }

    fake_binding<bool> b;
    fake_binding<int32_t> i;
    fake_binding<float> f;
    fake_binding<vec3> v3;
    fake_binding<vec4> v4;
    fake_binding<mtx44> m;
    fake_binding<string_base> s;

private:
    template <typename B> static B* pick(const char* key, B* binding)
    {
        return std::string(key) == "known" ? binding : nullptr;
    }
};

template <typename T> parser::node_val<T>* constant(const T& v) { return new parser::node_val<T>(v); }

// A declared variable of the given class holding a constant or an expression.
template <typename T>
parser::var<T>* make_var(const char* name, parser::node_expr<T>* value, uint8_t var_class = parser::var_plain)
{
    parser::var<T>* v = new parser::var<T>(name, value);
    v->set_class_flags(var_class, 0);
    return v;
}

inline parser::var<int32_t>* int_var(const char* name, int32_t value, uint8_t var_class = parser::var_plain)
{
    return make_var<int32_t>(name, constant<int32_t>(value), var_class);
}

inline parser::var<float>* float_var(const char* name, float value, uint8_t var_class = parser::var_plain)
{
    return make_var<float>(name, constant<float>(value), var_class);
}

// Drops one reference of each.
template <typename... V> void release_all(V*... vs) { (vs->release(), ...); }

template <typename T> T evaluate(parser::node_expr<T>* e, parser::call_frame* frame = nullptr)
{
    T out = parser::initial_value<T>();
    e->evaluate(nullptr, out, frame, nullptr);
    return out;
}

} // namespace program_test
