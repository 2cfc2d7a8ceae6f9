// Walking a parsed subtree: the tree iterator enters calls (binding their named
// arguments in a new call frame) and the taken branch of each conditional, and
// stops at every function statement.
#pragma once

#include <cstdint>

#include "engine/kernel/Parser/call_frame.h"
#include "engine/kernel/Parser/node_list.h"

namespace parser {

class node_call;
class node_function;
class subtree;

class tree_iterator {
public:
    // Room for 24 open lists and 24 call frames. A walk that would go deeper
    // (a subtree calling itself, or calls and conditionals nested past that) is
    // refused with an error record and ends there. So is a call whose
    // arguments, read through the callers' arguments, would nest the callee's
    // expressions past the grammar's expression bound.
    static constexpr int32_t max_levels = 24;

    tree_iterator() = default;
    // Copies rebase the frame chain onto the copy's own slots, so a saved
    // position evaluates its arguments where the statement stood.
    tree_iterator(const tree_iterator& other);
    tree_iterator& operator=(const tree_iterator& other);

    // Starts on list and stops at its first function statement.
    void start(statement_list* list, void* environment, call_frame* frame);
    // Starts on a body (a function statement's list) in the frames and
    // environment in force at outer's current statement. The frames are copied
    // in, so this iterator and its copies stay valid when outer moves on.
    void start_body(statement_list* list, const tree_iterator& outer);
    // Moves past the current statement to the next function statement.
    void advance();
    // Finds the next function statement from the cursor (current null at the end).
    void next();
    // The frame in force where the current statement stands.
    call_frame* frame() { return slots[frame_depth].parent; }
    // How many walks in this process a limit has stopped so far: a program
    // compares the count before and after a read to learn that it was cut short.
    static uint32_t stopped_walks();
    // The walk's shape below holds; debug builds assert it wherever it changes.
    bool invariants() const;

    node_function* current = nullptr; // the function statement reached; null at the end
    void* environment = nullptr; // handed to every evaluation of the walk

private:
    // Lists 0 to depth are open, each entered from the statement its outer
    // list's cursor stands on (a call or a conditional); current, when set, is
    // the statement under cursors[depth]. At the end depth is 0 and
    // cursors[0] null.
    int32_t depth = 0;
    statement_list* lists[max_levels] = {};
    list_element* cursors[max_levels] = {};
    // Frames 1 to frame_depth are the calls entered (a body walk starts with
    // the outer walk's, copied in). Slot k holds (arguments of the call
    // entered at k, frame in force at k), and slot k's parent is slot k - 1:
    // that is what lets a copy rebase the chain onto itself.
    int32_t frame_depth = 0;
    call_frame slots[max_levels] = {};
    // marks[k] is the depth of the call's body: leaving that list closes
    // frame k. Frames opened in this walk have rising marks, none deeper than
    // depth; the outer frames of a body walk have mark 0 and never close.
    int32_t marks[max_levels] = {};
    // Per frame: how deep the callers' arguments can make a parameter read
    // in it (the sum of the argument depths of the calls entered). It never
    // falls from a frame to the next and stays within the expression bound.
    int32_t carried[max_levels] = {};

    void find_next();
    bool enter(statement_list* list);
    bool enter_call(node_call* call);
    void stop(const char* what, int32_t limit);
};

// Parses the file without extern interface and cache and returns its subtree
// "main" (environment null) with one reference, or null.
subtree* load_main_subtree(const char* file_name);

} // namespace parser
