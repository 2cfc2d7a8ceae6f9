// The named arguments of calls against the parameters of the subtrees they
// call. A parameter reads only the argument of its own name and type, so any
// other argument is passed to nothing and the parameter keeps its default: a
// slip the game never reports. The front end's trace feeds this record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace parser {

class subtree;
class unit;
class variable;

namespace diag {

class argument_check {
public:
    // owner's newest subtree begins: the parameters that follow are its own.
    void add_subtree(unit& owner);
    // A parameter of owner's newest subtree, in the order written.
    void add_parameter(const unit& owner, const variable& parameter);
    // Why no parameter of callee reads argument, or empty when one does. Also
    // empty when callee's parameters were never seen (a unit parsed earlier).
    std::string unread(const subtree& callee, const variable& argument) const;

private:
    // The parameters of one unit's subtrees, by position in its subtree list.
    // Kept as text (a type byte, then the name and a zero, per parameter) and
    // one offset per subtree: a file of many subtrees must not cost much more
    // memory for being checked.
    struct unit_parameters {
        unit* owner;
        std::vector<uint32_t> first; // offset of each subtree's parameters, unknown for one not seen
        std::string text;
    };
    static constexpr uint32_t unknown = UINT32_MAX;

    unit_parameters* parameters_of(const unit& owner);
    bool find(const subtree& callee, const unit_parameters*& owner, uint32_t& position) const;
    static size_t end_of(const unit_parameters& u, uint32_t position);
    static std::string unread_message(
        const unit_parameters& u, uint32_t position, const subtree& callee, const variable& argument);

    std::vector<unit_parameters> units_;
    mutable const subtree* last_callee_ = nullptr;
    mutable const unit_parameters* last_owner_ = nullptr;
    mutable uint32_t last_position_ = 0;
};

} // namespace diag
} // namespace parser
