// The statements of a subtree body: function statements (a name, argument
// expressions, an optional body and text), conditionals and calls of other
// subtrees with named arguments. All are node-pool allocated nodes.
#pragma once

#include "engine/kernel/Parser/node.h"
#include "engine/kernel/Parser/node_list.h"
#include "engine/kernel/Parser/variable_table.h"

namespace parser {

class context;
class subtree;

// Releases every statement of a list and frees its elements.
void release_statements(statement_list& list);
// optimize of each statement of a list, in order.
void optimize_statements(statement_list& list, bool params_fixed, void* environment);

class node_statement : public node {
public:
    ~node_statement() override;
    // Folds the constant parts of the statement in place.
    virtual void optimize(bool params_fixed, void* environment); // slot 2

    statement_list statements; // the body, in source order

protected:
    node_statement() = default;
};

// A conditional: the inherited statements are the then-list.
class node_if final : public node_statement {
public:
    explicit node_if(node_expr<bool>* condition_expr); // takes over the reference
    ~node_if() override;
    void optimize(bool params_fixed, void* environment) override;

    node_expr<bool>* condition;
    statement_list else_statements;
};

// A function statement: a record that a reader interprets by its name.
class node_function final : public node_statement {
public:
    explicit node_function(const char* function_name);
    ~node_function() override;
    void optimize(bool params_fixed, void* environment) override;

    string_base name;
    argument_list arguments; // owned argument expressions, in source order
    string_base text; // set by "name(...) = 'text'", empty by default
};

// A call of another subtree with named arguments.
class node_call final : public node_statement {
public:
    // Looks the subtree up in the context's unit; an unknown name is logged
    // and fails the parse, and the call is still made, with no subtree.
    node_call(context& ctx, const char* subtree_name);
    ~node_call() override;
    void optimize(bool, void*) override { }

    parser::subtree* subtree = nullptr;
    variable_table arguments; // var<T> of class param, one reference each
    // A subtree calling itself holds no reference to itself, or it would
    // keep itself alive through its own statement list.
    bool self_call = false;
    int32_t argument_depth = 0; // the deepest named argument's expression
};

} // namespace parser
