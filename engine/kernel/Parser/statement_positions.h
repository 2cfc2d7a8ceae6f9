// Where the statements of a parse were written, kept beside the tree (the node
// layouts are fixed) for tools that point at statements after the parse, such
// as the settings lint. Recorded only while a recording scope is active and
// diagnostics are collected (spans are tracked only then).
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "engine/kernel/Parser/diagnostics.h"
#include "engine/kernel/Parser/source_span.h"

namespace parser {

class node_statement;

namespace diag {

class statement_positions {
public:
    // The text of a file being parsed, under its diagnostic name; kept whole,
    // so lines and columns are worked out only for statements asked about.
    void add_file(const std::string& file, const char* text, uint32_t size);
    // A statement of that file and the span of its name.
    void add_statement(const node_statement* statement, const std::string& file, span where);
    // Where a recorded statement stands; false when it was not recorded.
    bool find(const node_statement* statement, position& out) const;

    // The recorder the front end fills while a scope lives on the thread
    // (the parse and its imports run on one thread); null without one.
    static statement_positions* active();

    class recording {
    public:
        explicit recording(statement_positions& target);
        ~recording();
        recording(const recording&) = delete;
        recording& operator=(const recording&) = delete;

    private:
        statement_positions* previous_;
    };

private:
    struct place {
        const std::string* file; // a key of texts_
        span where;
    };
    std::map<std::string, std::string> texts_;
    // A pool slot freed during the parse may hold a later statement: the later entry replaces the earlier.
    std::map<const node_statement*, place> places_;
};

} // namespace diag
} // namespace parser
