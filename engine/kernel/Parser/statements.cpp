// Statement lifetimes and optimisation, and the subtree look-up a call makes
// when it is parsed.
#include "engine/kernel/Parser/statements.h"

#include "engine/kernel/Parser/context.h"
#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/unit.h"

namespace parser {

void release_statements(statement_list& list)
{
    list.for_each([](node_statement*& s) { s->release(); });
    list.clear();
}

void optimize_statements(statement_list& list, bool params_fixed, void* environment)
{
    list.for_each([&](node_statement*& s) { s->optimize(params_fixed, environment); });
}

node_statement::~node_statement() { release_statements(statements); }

void node_statement::optimize(bool params_fixed, void* environment)
{
    optimize_statements(statements, params_fixed, environment);
}

node_if::node_if(node_expr<bool>* condition_expr)
    : condition(condition_expr)
{
}

node_if::~node_if()
{
    if (condition)
        condition->release();
    release_statements(else_statements);
}

void node_if::optimize(bool params_fixed, void* environment)
{
    optimize_statements(statements, params_fixed, environment);
    if (condition && condition->fold_constants(params_fixed, environment))
        condition = condition->make_value(true, nullptr, environment);
    optimize_statements(else_statements, params_fixed, environment);
}

node_function::node_function(const char* function_name)
    : name(function_name)
{
}

node_function::~node_function()
{
    arguments.for_each([](node_exp*& e) { e->release(); });
    arguments.clear();
}

void node_function::optimize(bool params_fixed, void* environment)
{
    optimize_statements(statements, params_fixed, environment);
    arguments.for_each([&](node_exp*& e) { e = e->optimize(params_fixed, environment); });
}

node_call::node_call(context& ctx, const char* subtree_name)
{
    unit* owner = ctx.current_unit;
    subtree = owner ? owner->find_subtree(subtree_name) : nullptr;
    if (!subtree) {
        ctx.error(__LINE__, "parser::node_call::node_call", true, "unknown subtree '%s' in '%s'\n",
            subtree_name ? subtree_name : "", owner ? owner->name.c_str() : "");
        return;
    }
    if (subtree == ctx.current_subtree) {
        subtree->release();
        self_call = true;
    }
}

node_call::~node_call()
{
    if (subtree && !self_call)
        subtree->release();
}

static_assert(sizeof(node_if) <= node_slot_payload, "a statement must fit one node-pool slot");
static_assert(sizeof(node_function) <= node_slot_payload, "a statement must fit one node-pool slot");
static_assert(sizeof(node_call) <= node_slot_payload, "a statement must fit one node-pool slot");

} // namespace parser
