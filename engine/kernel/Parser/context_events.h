// What the parse context reports while diagnostics are collected: errors at a
// construct, subtree calls and definitions, declarations and statements. The
// front end's trace listens; the game's parse has no listener.
#pragma once

#include <string>

#include "engine/kernel/Parser/source_span.h"

namespace parser {

class node_statement;
class unit;
class variable;

namespace diag {

class context_events {
public:
    virtual void error(span where, std::string message) = 0;
    virtual void call(span where, const char* name) = 0;
    virtual void subtree_defined(span where, const char* name) = 0;
    virtual void declared(variable& v, span where) = 0;
    // A function or call statement of unit u, written at where.
    virtual void statement_written(const node_statement* statement, const unit& u, span where) = 0;

protected:
    ~context_events() = default;
};

} // namespace diag
} // namespace parser
