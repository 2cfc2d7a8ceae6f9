// A named block of statements inside a unit: what a call runs and what a
// reader walks. Reference counted: the unit, each call and each reader.
#pragma once

#include "engine/kernel/Parser/node_list.h"
#include "engine/kernel/string_base.h"

namespace parser {

class subtree {
public:
    explicit subtree(const char* subtree_name);
    subtree(const subtree&) = delete;
    subtree& operator=(const subtree&) = delete;

    void add_ref() { ++refs; }
    // Destroys the subtree (its statements with it) when refs falls below 1.
    void release();

    statement_list statements;
    string_base name;
    int32_t refs = 1;
    void* environment = nullptr; // what a reader starts its walk with
    // The deepest expression of the body, its parameters counted at their
    // defaults; the arguments a call passes in come on top.
    int32_t deepest_expression = 0;

private:
    ~subtree();
};

} // namespace parser
