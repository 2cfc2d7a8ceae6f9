// The tree iterator's walk over statements, calls and conditionals, and the
// host's entry point load_main_subtree.
#include "engine/kernel/Parser/tree_iterator.h"

#include <atomic>
#include <cassert>
#include <typeinfo>

#include "engine/kernel/Parser/grammar_actions.h"
#include "engine/kernel/Parser/program_log.h"
#include "engine/kernel/Parser/statements.h"
#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/unit_loader.h"

namespace parser {

tree_iterator::tree_iterator(const tree_iterator& other) { *this = other; }

tree_iterator& tree_iterator::operator=(const tree_iterator& other)
{
    if (this == &other)
        return *this;
    current = other.current;
    depth = other.depth;
    frame_depth = other.frame_depth;
    environment = other.environment;
    for (int32_t k = 0; k < max_levels; ++k) {
        lists[k] = other.lists[k];
        cursors[k] = other.cursors[k];
        marks[k] = other.marks[k];
        carried[k] = other.carried[k];
        slots[k] = other.slots[k];
        // A parent pointing into the other iterator's slots points into ours.
        const call_frame* p = other.slots[k].parent;
        if (p >= other.slots && p < other.slots + max_levels)
            slots[k].parent = slots + (p - other.slots);
    }
    assert(invariants());
    return *this;
}

bool tree_iterator::invariants() const
{
    if (depth < 0 || depth >= max_levels || frame_depth < 0 || frame_depth >= max_levels)
        return false;
    for (int32_t k = 0; k < depth; ++k)
        if (!cursors[k] || !lists[k + 1])
            return false;
    if (current && (!cursors[depth] || statement_list::payload(cursors[depth]) != current))
        return false;
    if (marks[frame_depth] > depth || carried[frame_depth] > grammar::max_expression_depth)
        return false;
    for (int32_t k = 1; k <= frame_depth; ++k) {
        if (slots[k].parent != &slots[k - 1] || carried[k] < carried[k - 1])
            return false;
        if (marks[k] != 0 && marks[k] <= marks[k - 1])
            return false;
    }
    return true;
}

void tree_iterator::start(statement_list* list, void* env, call_frame* frame_in_force)
{
    current = nullptr;
    depth = 0;
    lists[0] = list;
    cursors[0] = list ? list->first() : nullptr;
    frame_depth = 0;
    slots[0] = { nullptr, frame_in_force };
    marks[0] = 0;
    carried[0] = 0;
    environment = env;
    next();
}

void tree_iterator::start_body(statement_list* list, const tree_iterator& outer)
{
    *this = outer; // frames rebased onto this iterator
    for (int32_t k = 0; k <= frame_depth; ++k)
        marks[k] = 0; // the outer frames stay for the whole body walk
    current = nullptr;
    depth = 0;
    lists[0] = list;
    cursors[0] = list ? list->first() : nullptr;
    next();
}

void tree_iterator::advance()
{
    if (current)
        cursors[depth] = cursors[depth]->next;
    next();
}

namespace {

std::atomic<uint32_t> walks_stopped { 0 };

// A reader meets the nodes in about the order the parse made them, and the
// pools hand out slots in address order, so the node memory just past the
// statement a walk stops at is what the reader reads next. Asking for those
// cache lines while the reader works on this statement hides most of the
// next statements' misses: a tree far larger than the caches is read from
// memory at its own pace instead of one miss at a time.
constexpr uintptr_t read_ahead_from = 512; // bytes past the statement: its own arguments are read at once anyway
constexpr uintptr_t read_ahead_to = 4096; // about four statements with their arguments
constexpr uintptr_t cache_line = 64;

void read_ahead(const void* statement)
{
    // Addresses as integers: the lines ahead may lie beyond the statement's
    // block, where no pointer may point. A prefetch never faults.
    uintptr_t at = reinterpret_cast<uintptr_t>(statement);
    for (uintptr_t offset = read_ahead_from; offset < read_ahead_to; offset += cache_line)
        __builtin_prefetch(reinterpret_cast<const void*>(at + offset));
}

} // namespace

uint32_t tree_iterator::stopped_walks() { return walks_stopped.load(); }

void tree_iterator::stop(const char* what, int32_t limit)
{
    ++walks_stopped;
    Log::Category(Log::ELevel::Error, "Parser", nodes_where(__LINE__, "parser::tree_iterator::next"), true,
        "%s nested more than %d levels deep: walk stopped\n", what, int(limit));
    current = nullptr;
    depth = 0;
    cursors[0] = nullptr;
    frame_depth = 0; // the walk is over: no frame of it stays open
}

bool tree_iterator::enter(statement_list* list)
{
    if (depth + 1 >= max_levels)
        return false;
    ++depth;
    lists[depth] = list;
    cursors[depth] = list->first();
    return true;
}

// Opens the frame of a call whose body enter has just opened; false when a
// parameter read in it could nest deeper than any expression may.
bool tree_iterator::enter_call(node_call* call)
{
    int32_t carried_in = carried[frame_depth] + call->argument_depth;
    if (carried_in + call->subtree->deepest_expression > grammar::max_expression_depth)
        return false;
    slots[frame_depth].arguments = &call->arguments;
    ++frame_depth;
    slots[frame_depth].parent = &slots[frame_depth - 1];
    marks[frame_depth] = depth;
    carried[frame_depth] = carried_in;
    return true;
}

void tree_iterator::next()
{
    find_next();
    assert(invariants());
}

void tree_iterator::find_next()
{
    for (;;) {
        while (!cursors[depth]) {
            if (depth == 0) {
                current = nullptr;
                return;
            }
            --depth;
            if (depth < marks[frame_depth])
                --frame_depth;
            cursors[depth] = cursors[depth]->next; // leave the statement whose list ended
        }
        // The three statement classes are final, so the class's identity
        // tells them apart without a walk over the class hierarchy.
        node_statement* s = statement_list::payload(cursors[depth]);
        const std::type_info& kind = typeid(*s);
        if (kind == typeid(node_function)) {
            current = static_cast<node_function*>(s);
            read_ahead(current);
            return;
        }
        if (kind == typeid(node_call)) {
            auto* call = static_cast<node_call*>(s);
            if (!call->subtree) {
                cursors[depth] = cursors[depth]->next; // a call without subtree runs nothing
                continue;
            }
            if (frame_depth + 1 >= max_levels || !enter(&call->subtree->statements))
                return stop("subtree calls", max_levels);
            if (!enter_call(call))
                return stop("expressions read through subtree calls", grammar::max_expression_depth);
            continue;
        }
        auto* branch = static_cast<node_if*>(s);
        bool taken = false;
        branch->condition->evaluate(nullptr, taken, frame(), environment);
        if (!enter(taken ? &branch->statements : &branch->else_statements))
            return stop("conditionals and calls", max_levels);
    }
}

subtree* load_main_subtree(const char* file_name)
{
    unit* u = ParseUnit(file_name, nullptr, nullptr, true, nullptr);
    if (!u)
        return nullptr;
    subtree* main = u->find_subtree("main");
    if (main)
        main->environment = nullptr;
    u->release();
    return main;
}

} // namespace parser
