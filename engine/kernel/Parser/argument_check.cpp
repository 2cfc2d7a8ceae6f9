// Matching a call's named argument with the callee's parameters the way the
// walk's frames do: by name and type together.
#include "engine/kernel/Parser/argument_check.h"

#include <algorithm>
#include <cstring>

#include "engine/kernel/Parser/name_suggestion.h"
#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/value_types.h"
#include "engine/kernel/Parser/variable.h"

namespace parser::diag {

namespace {

std::string quoted(const std::string& text) { return "'" + text + "'"; }

std::string a_type(uint8_t type) { return std::string(type == 1 ? "an " : "a ") + type_names[type]; }

} // namespace

argument_check::unit_parameters* argument_check::parameters_of(const unit& owner)
{
    for (unit_parameters& u : units_)
        if (u.owner == &owner)
            return &u;
    return nullptr;
}

void argument_check::add_subtree(unit& owner)
{
    last_callee_ = nullptr; // a new unit may move the others
    unit_parameters* u = parameters_of(owner);
    if (!u)
        u = &units_.emplace_back(unit_parameters { &owner, {}, {} });
    uint32_t position = uint32_t(owner.subtrees.size() - 1);
    u->first.resize(position, unknown); // subtrees added while nobody listened
    u->first.push_back(uint32_t(u->text.size()));
}

void argument_check::add_parameter(const unit& owner, const variable& parameter)
{
    unit_parameters* u = parameters_of(owner);
    if (!u || u->first.size() != owner.subtrees.size())
        return; // its subtree began unseen
    u->text += char(parameter.type_code);
    u->text.append(parameter.name, std::strlen(parameter.name) + 1);
}

size_t argument_check::end_of(const unit_parameters& u, uint32_t position)
{
    auto next_known
        = std::find_if(u.first.begin() + position + 1, u.first.end(), [](uint32_t f) { return f != unknown; });
    return next_known == u.first.end() ? u.text.size() : *next_known;
}

// The callee's parameters, or false when they were not seen. A call's
// arguments come one after another, so the last answer is kept.
bool argument_check::find(const subtree& callee, const unit_parameters*& owner, uint32_t& position) const
{
    if (last_callee_ != &callee) {
        last_callee_ = &callee;
        last_owner_ = nullptr;
        for (const unit_parameters& u : units_) {
            int32_t at = u.owner->own_subtree_position(callee.name.c_str());
            if (at >= 0 && u.owner->subtrees[size_t(at)] == &callee && size_t(at) < u.first.size()
                && u.first[size_t(at)] != unknown) {
                last_owner_ = &u;
                last_position_ = uint32_t(at);
                break;
            }
        }
    }
    owner = last_owner_;
    position = last_position_;
    return owner != nullptr;
}

std::string argument_check::unread(const subtree& callee, const variable& argument) const
{
    const unit_parameters* owner = nullptr;
    uint32_t position = 0;
    if (!find(callee, owner, position))
        return "";
    const char* text = owner->text.c_str();
    size_t end = end_of(*owner, position);
    for (size_t at = owner->first[position]; at < end; at += std::strlen(text + at + 1) + 2)
        if (uint8_t(text[at]) == argument.type_code && std::strcmp(text + at + 1, argument.name) == 0)
            return "";
    return unread_message(*owner, position, callee, argument);
}

// Only for an argument that nothing reads, so it may take its time.
std::string argument_check::unread_message(
    const unit_parameters& u, uint32_t position, const subtree& callee, const variable& argument)
{
    std::vector<std::string> names;
    std::vector<uint8_t> types;
    for (size_t at = u.first[position], end = end_of(u, position); at < end; at += names.back().size() + 2) {
        types.push_back(uint8_t(u.text[at]));
        names.emplace_back(u.text.c_str() + at + 1);
    }
    const std::string name = argument.name, subtree_name = callee.name.c_str();
    auto named = std::find(names.begin(), names.end(), name);
    if (named != names.end())
        return quoted(name) + " is " + a_type(types[size_t(named - names.begin())]) + " parameter of "
            + quoted(subtree_name) + ", so nothing reads this " + type_names[argument.type_code] + " argument";
    if (names.empty())
        return quoted(subtree_name) + " has no parameters, so nothing reads " + quoted(name);
    return quoted(name) + " is not a parameter of " + quoted(subtree_name) + ", so nothing reads it"
        + did_you_mean(name, names);
}

} // namespace parser::diag
