// The 64-byte value record shared by the lexer and the grammar's value stack:
// one variant per token kind and per grammar symbol.
#pragma once

#include <cstdint>
#include <type_traits>

#include "engine/kernel/Parser/value_types.h"

namespace parser {

class node_exp;
template <typename T> class node_expr;
class variable;
class node_function;

// A typed expression on the grammar's value stack: the node (one owned
// reference) and how deep its tree is, counting through the variables it names.
template <typename T> struct typed_expr {
    node_expr<T>* node;
    int32_t depth;
};

// Identifiers hold at most 63 characters and string literals at most 62, so
// both fit the text variant with their terminating zero.
constexpr int token_text_size = 64;

union token_value {
    bool b;
    int32_t i;
    float f;
    char text[token_text_size];
    string_base* long_string; // owned by the receiver; null when allocation failed
    int modifiers; // bit 0 = export
    variable* declared; // a new variable holding one reference
    node_function* function; // the context's current function statement
    typed_expr<bool> eb;
    typed_expr<int32_t> ei;
    typed_expr<float> ef;
    typed_expr<vec3> e3;
    typed_expr<vec4> e4;
    typed_expr<mtx44> em;
    typed_expr<string_base> es;
    node_exp* any;
};
static_assert(sizeof(token_value) == 64, "one 64-byte record per token");

// The typed expression variant of value type T in a record (Record is
// token_value, const or not).
template <typename T, typename Record> auto& typed_expr_of(Record& value)
{
    if constexpr (std::is_same_v<T, bool>)
        return value.eb;
    else if constexpr (std::is_same_v<T, int32_t>)
        return value.ei;
    else if constexpr (std::is_same_v<T, float>)
        return value.ef;
    else if constexpr (std::is_same_v<T, vec3>)
        return value.e3;
    else if constexpr (std::is_same_v<T, vec4>)
        return value.e4;
    else if constexpr (std::is_same_v<T, mtx44>)
        return value.em;
    else
        return value.es;
}

} // namespace parser
