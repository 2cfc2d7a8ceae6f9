// What the parse context reports while diagnostics are collected: errors at a
// construct, subtree calls and definitions, declarations and statements. The
// front end's trace listens; the game's parse has no listener.
#pragma once

#include <string>

#include "engine/kernel/Parser/source_span.h"

namespace parser {

class node_call;
class node_statement;
class unit;
class variable;

namespace diag {

class context_events {
public:
    virtual void error(span where, std::string message) = 0;
    virtual void call(span where, const char* name) = 0;
    // owner's newest subtree, whose definition begins at where.
    virtual void subtree_defined(span where, unit& owner) = 0;
    virtual void declared(variable& v, span where) = 0;
    // A parameter of owner's newest subtree, in the order written.
    virtual void parameter_declared(const unit& owner, const variable& parameter) = 0;
    // A named argument of call, its name written at where.
    virtual void named_argument(const node_call& call, const variable& argument, span where) = 0;
    // A function or call statement of unit u, written at where.
    virtual void statement_written(const node_statement* statement, const unit& u, span where) = 0;

protected:
    ~context_events() = default;
};

} // namespace diag
} // namespace parser
