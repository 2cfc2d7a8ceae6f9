// Unit lifetime and the three look-ups over a unit and its imports.
#include "engine/kernel/Parser/unit.h"

#include <algorithm>
#include <cstring>

#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/variable.h"
#include "engine/kernel/ascii_case.h"

namespace parser {

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

parser::subtree* unit::search_subtree(const char* subtree_name, std::vector<const unit*>& seen)
{
    for (parser::subtree* s : subtrees)
        if (std::strcmp(s->name.c_str(), subtree_name) == 0)
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
