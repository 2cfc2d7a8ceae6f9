// The statement position recorder: file texts and statement spans as the front
// end reports them, turned into diagnostic positions on request.
#include "engine/kernel/Parser/statement_positions.h"

namespace parser::diag {

namespace {

thread_local statement_positions* active_recorder
    = nullptr; // a plain pointer: the recorder outlives the scope that installs it

} // namespace

void statement_positions::add_file(const std::string& file, const char* text, uint32_t size)
{
    texts_[file].assign(text, size);
}

void statement_positions::add_statement(const node_statement* statement, const std::string& file, span where)
{
    auto text = texts_.find(file);
    if (text != texts_.end())
        places_[statement] = { &text->first, where };
}

bool statement_positions::find(const node_statement* statement, position& out) const
{
    auto found = places_.find(statement);
    if (found == places_.end())
        return false;
    const place& p = found->second;
    const std::string& text = texts_.at(*p.file);
    out = locate(*p.file, text.data(), uint32_t(text.size()), p.where.begin, p.where.end - p.where.begin);
    return true;
}

statement_positions* statement_positions::active() { return active_recorder; }

statement_positions::recording::recording(statement_positions& target)
    : previous_(active_recorder)
{
    active_recorder = &target;
}

statement_positions::recording::~recording() { active_recorder = previous_; }

} // namespace parser::diag
