// A parsed script file: its subtrees in order of definition, the variables it
// exports and the units it imports. Look-ups search the unit itself first,
// then its imports in import order, depth first.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/kernel/Parser/variable_table.h"
#include "engine/kernel/string_base.h"

namespace parser {

class subtree;

class unit {
public:
    // A null name gives the unit of the default input, "interactive".
    explicit unit(const char* unit_name);
    unit(const unit&) = delete;
    unit& operator=(const unit&) = delete;

    void add_ref() { ++refs; }
    // Destroys the unit when refs falls below 1.
    void release();

    // The first subtree of that name (case-sensitive): the unit's own in order
    // of definition, then its imports' in import order; adds a reference.
    parser::subtree* find_subtree(const char* subtree_name);
    // The imported unit of that file name (ignoring ASCII case); adds a reference.
    unit* find_import(const char* file_name);
    // The exported variable of that name, of any type; adds a reference.
    variable* find_exported(const char* variable_name);
    // The position in subtrees of the unit's own first subtree of that name
    // (imports not searched), or -1.
    int32_t own_subtree_position(const char* subtree_name);

    std::vector<parser::subtree*> subtrees; // one reference each; only ever appended to
    variable_table exports;
    std::vector<unit*> imports; // one reference each
    string_base name;
    int32_t refs = 1;

private:
    ~unit();
    // Each skips the units in seen and adds those it enters.
    parser::subtree* search_subtree(const char* subtree_name, std::vector<const unit*>& seen);
    unit* search_import(const char* file_name, std::vector<const unit*>& seen);
    variable* search_exported(const char* variable_name, std::vector<const unit*>& seen);

    // The unit's own first subtree of that name, through the name index.
    parser::subtree* own_subtree(const char* subtree_name);
    void index_subtree(uint32_t position);
    void grow_subtree_index();

    // The name index of subtrees: an open-addressed hash table of positions in
    // subtrees plus one (0 marks a free slot), holding the first subtree of
    // each name. It catches up with subtrees when a look-up finds it behind,
    // so a file of many subtrees and calls parses in linear time.
    std::vector<uint32_t> subtree_slots_;
    uint32_t subtrees_indexed_ = 0;
};

} // namespace parser
