// The untyped part of every script variable (what scopes, call frames and
// export tables hold) and the binding through which an extern variable reads
// a value that the program supplies.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/kernel/Parser/archive.h"
#include "engine/kernel/Parser/value_types.h"

namespace parser {

class node_exp;
template <typename T> class node_expr;

// Variable classes.
constexpr uint8_t var_plain = 0;
constexpr uint8_t var_param = 1;
constexpr uint8_t var_extern = 2;
// Modifier bits; export is the only one.
constexpr uint8_t modifier_export = 1;

// Layouts handed to the archive: the variable part, and var<T> as a whole.
extern const uint64_t variable_layout[];
extern const uint64_t var_layout[];

// Supplied by the program through its extern interface; not owned by the
// variables bound to it.
template <typename T> class extern_binding {
public:
    // Writes the current value of the bound program value; ctx and environment
    // are those of the evaluation, index is the variable's last index.
    virtual void read(void* ctx, T& out, uint32_t index, void* environment) = 0; // slot 0
    // The node flags given to every variable bound here.
    virtual uint32_t attributes() = 0; // slot 1

protected:
    ~extern_binding() = default;
};

class variable {
public:
    // Copies name and key (key null for a non-extern variable); takes over the
    // reference to index_expr. Class param and no modifiers until
    // set_class_flags.
    variable(const char* name, uint8_t type_code, const char* extern_key, node_expr<int32_t>* index_expr);
    variable(const variable&) = delete;
    variable& operator=(const variable&) = delete;
    virtual ~variable(); // slot 0
    virtual void add_ref() = 0; // slot 1
    virtual void release() = 0; // slot 2
    virtual string_base& describe(string_base& out) const = 0; // slot 3
    virtual void serialize(archive& ar) const = 0; // slot 4
    // The var<T> node this is the variable part of: what the lexer hands the
    // grammar for a variable token.
    virtual node_exp* as_node() = 0;

    // Stores class and modifiers; warns about an exported parameter.
    void set_class_flags(uint8_t new_class, uint8_t new_modifiers);
    bool is_extern() const { return extern_key != nullptr; }
    bool is_exported() const { return (modifiers & modifier_export) != 0; }

    char* name;
    char* extern_key;
    node_expr<int32_t>* index_expr;
    uint32_t index = 0;
    uint8_t var_class = var_param;
    uint8_t type_code;
    uint8_t modifiers = 0;

    // Names shorter than this are kept here rather than on the heap: most
    // names are a few letters, and a heap copy of each costs a 32-byte block
    // and a malloc; the variable's node slot has the room.
    static constexpr size_t inline_name_size = 32;

protected:
    // The variable block of the archive (called by var<T>::serialize).
    void serialize_fields(archive& ar) const;
    // "(var param a = )": class word, name, and " = " unless extern.
    string_base& append_description(string_base& out) const;

private:
    char inline_name[inline_name_size];
};

} // namespace parser
