// Reading a function statement's arguments as typed values, evaluated in the
// call frame where the tree iterator reached the statement.
#pragma once

#include <cstdint>

#include "engine/kernel/Parser/call_frame.h"
#include "engine/kernel/Parser/node_list.h"
#include "engine/kernel/string_base.h"

namespace parser {

class tree_iterator;

class param_iterator {
public:
    // Stands on the first argument of it.current.
    explicit param_iterator(tree_iterator& it);

    // The current argument as a string / an int; a missing argument or one of
    // another type logs the type error and yields "" / 0.
    string_base get_string();
    int32_t get_int();
    void dump_error(const char* type_word);
    // Moves to the next argument.
    void next();

    tree_iterator* iterator;
    argument_list* arguments; // null when the statement has no arguments
    list_element* current;
    call_frame* frame;
    int32_t index = 0;

private:
    template <typename T> bool read(T& out, const char* type_word);
};

} // namespace parser
