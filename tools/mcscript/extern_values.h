// The extern interface of the script tool: each "--extern KEY=VALUE" binds
// KEY for the type of every extern declared with it; "a;b;c" holds several
// values and a read takes the one at the variable's index (the last past the
// end). A value the declared type cannot take is recorded as a refusal.
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

    // Prints to standard error each value an extern was bound to but could not
    // take (naming key, value and type); true when there was any.
    bool report_refusals() const;

private:
    template <typename T> parser::extern_binding<T>* find(const char* key);

    struct binding_base {
        virtual ~binding_base() = default;
    };
    struct refusal {
        std::string key;
        std::string value;
        const char* type;
    };
    std::map<std::string, std::vector<std::string>> values_;
    std::vector<refusal> refusals_;
    std::vector<std::unique_ptr<binding_base>> bindings_; // made on demand, owned here
};

} // namespace mcscript
