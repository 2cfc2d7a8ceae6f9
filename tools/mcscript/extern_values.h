// The extern interface of the script tool: each "--extern KEY=VALUE" binds
// KEY for every type its value converts to; "a;b;c" holds several values and
// a read takes the one at the variable's index (the last past the end).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/kernel/Parser/extern_interface.h"

namespace mcscript {

class extern_values final : public parser::extern_interface {
public:
    extern_values();
    ~extern_values();
    // "KEY=VALUE"; false when there is no '=' or the key is empty.
    bool add(const std::string& assignment);

    parser::extern_binding<bool>* find_bool(const char* key) override;
    parser::extern_binding<int32_t>* find_int(const char* key) override;
    parser::extern_binding<float>* find_float(const char* key) override;
    parser::extern_binding<vec3>* find_vec3(const char* key) override;
    parser::extern_binding<vec4>* find_vec4(const char* key) override;
    parser::extern_binding<mtx44>* find_mtx44(const char* key) override;
    parser::extern_binding<string_base>* find_string(const char* key) override;
    parser::variable* predefined_variable(uint32_t) override { return nullptr; }
    uint32_t predefined_count() override { return 0; }

private:
    template <typename T> parser::extern_binding<T>* find(const char* key);

    struct binding_base {
        virtual ~binding_base() = default;
    };
    std::map<std::string, std::vector<std::string>> values_;
    std::vector<std::unique_ptr<binding_base>> bindings_; // made on demand, owned here
};

} // namespace mcscript
