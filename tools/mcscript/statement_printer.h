// Prints what a reader of a script sees: every function statement reached by
// the walk as "Name(arg, ...)", its text and its body, and for "dump" each
// argument expression as the archive writes it.
#pragma once

#include <cstdio>
#include <string>

namespace parser {
class node_exp;
class subtree;
} // namespace parser

namespace mcscript {

enum class print_mode { walk, dump };

// Walks subtree from its start (no frame) and appends the lines to out.
void print_walk(std::string& out, parser::subtree& tree, print_mode mode);
// The same lines written to sink as they come, a few kilobytes at a time, so
// that a long walk's output is never held whole.
void print_walk(std::FILE* sink, parser::subtree& tree, print_mode mode);

// The value of an expression that needs no call frame (a constant), in the
// form the walk prints values.
std::string constant_text(parser::node_exp* e);

} // namespace mcscript
