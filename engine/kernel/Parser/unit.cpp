// Unit lifetime and the three look-ups over a unit and its imports.
#include "engine/kernel/Parser/unit.h"

#include <algorithm>
#include <cstring>

#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/variable.h"
#include "engine/kernel/ascii_case.h"

namespace parser {

namespace {

// FNV-1a: names are short identifiers, and this spreads them well enough.
uint32_t name_hash(const char* name)
{
    uint32_t h = 2166136261u;
    for (; *name; ++name)
        h = (h ^ uint8_t(*name)) * 16777619u;
    return h;
}

} // namespace

unit::unit(const char* unit_name)
    : name(unit_name ? unit_name : "interactive")
{
}

unit::~unit()
{
    for (parser::subtree* s : subtrees)
        s->release();
    for (unit* u : imports)
        u->release();
    name.clear();
    exports.release_all();
}

void unit::release()
{
    if (--refs < 1)
        delete this;
}

// A unit reached a second time (a diamond in the import graph) was searched
// whole the first time and held nothing, so each search skips it: the result
// is the same and the cost stays linear in the number of units.
static bool first_visit(unit* u, std::vector<const unit*>& seen)
{
    if (std::find(seen.begin(), seen.end(), u) != seen.end())
        return false;
    seen.push_back(u);
    return true;
}

// Keeps the first subtree of a name: a later one of the same name is never found.
void unit::index_subtree(uint32_t position)
{
    const char* defined = subtrees[position]->name.c_str();
    size_t mask = subtree_slots_.size() - 1;
    for (size_t i = name_hash(defined) & mask;; i = (i + 1) & mask) {
        uint32_t held = subtree_slots_[i];
        if (held == 0) {
            subtree_slots_[i] = position + 1;
            return;
        }
        if (std::strcmp(subtrees[held - 1]->name.c_str(), defined) == 0)
            return;
    }
}

// At most half the slots are used, so probes stay short and always end at a
// free slot. Re-indexing in order of definition keeps the first of each name.
void unit::grow_subtree_index()
{
    size_t slots = 16;
    while (slots < subtrees.size() * 2)
        slots *= 2;
    if (slots <= subtree_slots_.size())
        return;
    subtree_slots_.assign(slots, 0);
    for (uint32_t i = 0; i < subtrees_indexed_; ++i)
        index_subtree(i);
}

int32_t unit::own_subtree_position(const char* subtree_name)
{
    if (subtrees_indexed_ < subtrees.size()) {
        grow_subtree_index();
        for (; subtrees_indexed_ < subtrees.size(); ++subtrees_indexed_)
            index_subtree(subtrees_indexed_);
    }
    if (subtree_slots_.empty())
        return -1;
    size_t mask = subtree_slots_.size() - 1;
    for (size_t i = name_hash(subtree_name) & mask; subtree_slots_[i] != 0; i = (i + 1) & mask) {
        uint32_t position = subtree_slots_[i] - 1;
        if (std::strcmp(subtrees[position]->name.c_str(), subtree_name) == 0)
            return int32_t(position);
    }
    return -1;
}

parser::subtree* unit::own_subtree(const char* subtree_name)
{
    int32_t position = own_subtree_position(subtree_name);
    return position < 0 ? nullptr : subtrees[size_t(position)];
}

parser::subtree* unit::search_subtree(const char* subtree_name, std::vector<const unit*>& seen)
{
    if (parser::subtree* s = own_subtree(subtree_name))
        return s;
    for (unit* u : imports)
        if (first_visit(u, seen))
            if (parser::subtree* s = u->search_subtree(subtree_name, seen))
                return s;
    return nullptr;
}

unit* unit::search_import(const char* file_name, std::vector<const unit*>& seen)
{
    for (unit* u : imports) {
        if (ascii::equal_ignoring_case(u->name.c_str(), file_name)) // file names ignore ASCII case
            return u;
        if (first_visit(u, seen))
            if (unit* found = u->search_import(file_name, seen))
                return found;
    }
    return nullptr;
}

variable* unit::search_exported(const char* variable_name, std::vector<const unit*>& seen)
{
    if (variable* v = exports.find(variable_name, any_type))
        return v;
    for (unit* u : imports)
        if (first_visit(u, seen))
            if (variable* v = u->search_exported(variable_name, seen))
                return v;
    return nullptr;
}

parser::subtree* unit::find_subtree(const char* subtree_name)
{
    std::vector<const unit*> seen;
    parser::subtree* s = subtree_name ? search_subtree(subtree_name, seen) : nullptr;
    if (s)
        s->add_ref();
    return s;
}

unit* unit::find_import(const char* file_name)
{
    std::vector<const unit*> seen;
    unit* u = file_name ? search_import(file_name, seen) : nullptr;
    if (u)
        u->add_ref();
    return u;
}

variable* unit::find_exported(const char* variable_name)
{
    std::vector<const unit*> seen;
    variable* v = variable_name ? search_exported(variable_name, seen) : nullptr;
    if (v)
        v->add_ref();
    return v;
}

} // namespace parser
