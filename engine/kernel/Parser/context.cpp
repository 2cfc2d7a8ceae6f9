// The parse context: blocks and scopes, declarations and look-up, the
// statement being built, extern binding, and the error funnel of a parse.
#include "engine/kernel/Parser/context.h"

#include <cassert>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/kernel/Parser/context_events.h"
#include "engine/kernel/Parser/extern_interface.h"
#include "engine/kernel/Parser/program_log.h"
#include "engine/kernel/Parser/statements.h"
#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/var.h"

namespace parser {

namespace {

// The function name each extern kind's records carry, and its word in the
// not-found message, by type number.
struct extern_kind {
    const char* function;
    const char* not_found;
};

const extern_kind extern_kinds[any_type] = {
    { "parser::context::add_extern_bool_var", "[ERROR PARSER '%s'] extern bool var '%s = %s' not found!\n" },
    { "parser::context::add_extern_int_var", "[ERROR PARSER '%s'] extern int var '%s = %s' not found!\n" },
    { "parser::context::add_extern_float_var", "[ERROR PARSER '%s'] extern float var '%s = %s' not found!\n" },
    { "parser::context::add_extern_vec3_var", "[ERROR PARSER '%s'] extern vec3 var '%s = %s' not found!\n" },
    { "parser::context::add_extern_vec4_var", "[ERROR PARSER '%s'] extern vec4 var '%s = %s' not found!\n" },
    { "parser::context::add_extern_mtx44_var", "[ERROR PARSER '%s'] extern mtx44 var '%s = %s' not found!\n" },
    { "parser::context::add_extern_string_var", "[ERROR PARSER '%s'] extern string var '%s = %s' not found!\n" },
};

const char* text_or_empty(const char* text) { return text ? text : ""; }

// The record's text as a diagnostic: one line, without the line feed.
void show_record_text(diag::context_events* events, span here, const char* format, va_list args)
{
    char text[1024]; // the records' message size
    std::vsnprintf(text, sizeof text, format, args);
    std::string message = text;
    while (!message.empty() && (message.back() == '\n' || message.back() == '!'))
        message.pop_back();
    events->error(here, message);
}

// Where a statement was written, for tools that point at it after the parse
// (only while diagnostics are collected: spans are not tracked otherwise).
void record_position(const node_statement* statement, diag::context_events* events, const unit* u, span here)
{
    if (events && statement)
        events->statement_written(statement, *u, here);
}

} // namespace

context::context(unit* target, extern_interface* interface, unit_cache* units)
    : current_unit(target)
    , externs(interface)
    , cache(units)
{
}

context::~context() { release_scopes(); }

const char* context::unit_name() const { return current_unit ? current_unit->name.c_str() : ""; }

void context::explain(const char* message)
{
    if (!events)
        return;
    if (message && *message)
        events->error(here, message);
    explained_ = true;
}

void context::explain_extern(int type, const char* name, const char* key, const char* problem)
{
    if (!events)
        return;
    std::string shown = std::string("extern ") + type_names[type] + " '" + text_or_empty(name) + "'";
    if (std::strcmp(text_or_empty(name), key) != 0)
        shown += std::string(" (key '") + key + "')";
    explain((shown + " " + problem).c_str());
}

void context::error(int line, const char* function, bool prefixed, const char* format, ...)
{
    error_flag = 1;
    if (events && !explained_) {
        va_list args;
        va_start(args, format);
        show_record_text(events, here, format, args);
        va_end(args);
    }
    explained_ = false;
    Log::LogLine record(Log::ELevel::Error, "Parser", nodes_where(line, function));
    if (!record.enabled())
        return;
    if (prefixed)
        record.pend("[%s] ", function);
    va_list args;
    va_start(args, format);
    record.writev(format, args);
    va_end(args);
}

variable* context::find_variable(const char* name)
{
    if (!name)
        return nullptr;
    uint64_t bit = variable_table::name_bit(name);
    for (auto scope = refused_scopes.rbegin(); scope != refused_scopes.rend(); ++scope) {
        if (variable* v = (*scope)->find(name, any_type, bit)) {
            v->add_ref();
            return v;
        }
    }
    for (int32_t d = depth; d >= 0; --d) {
        if (variable* v = scopes[d].find(name, any_type, bit)) {
            v->add_ref();
            return v;
        }
    }
    return current_unit ? current_unit->find_exported(name) : nullptr;
}

bool context::invariants() const
{
    if (depth < -1 || depth >= max_depth || error_flag > 1)
        return false;
    for (int32_t k = 0; k <= depth; ++k)
        if (open_ifs[k] && !block_owners[k])
            return false;
    for (int32_t k = depth + 1; k < max_depth; ++k)
        if (block_owners[k] || open_ifs[k] || scopes[k].size() != 0)
            return false;
    return true;
}

// A block that is not opened still gets a scope, so that what it declares
// ends at its end_block. Past the deepest level that is the nesting error.
void context::refuse_block()
{
    if (depth >= max_depth - 1) {
        explain("blocks nest more than 24 levels deep here (the file, the subtree body and 22 levels inside it)");
        error(__LINE__, "parser::context::start_block", true, "too many nesting levels in '%s'!\n", unit_name());
    }
    refused_scopes.push_back(std::make_unique<variable_table>());
}

bool context::start_block(statement_list* owner)
{
    if (depth >= max_depth - 1 || !refused_scopes.empty()) {
        refuse_block();
        return false;
    }
    ++depth;
    block_owners[depth] = owner;
    open_ifs[depth] = nullptr;
    assert(invariants());
    return true;
}

void context::end_block()
{
    if (!refused_scopes.empty()) {
        refused_scopes.pop_back(); // releases what the block declared
        assert(invariants());
        return;
    }
    if (depth < 0)
        return;
    scopes[depth].release_all();
    block_owners[depth] = nullptr;
    open_ifs[depth] = nullptr;
    --depth;
    assert(invariants());
}

const variable_table* context::inner_scope_ending() const
{
    if (!refused_scopes.empty())
        return refused_scopes.back().get();
    return depth >= 1 ? &scopes[depth] : nullptr;
}

void context::declare(variable* v)
{
    if (!v)
        return;
    if (events && (depth >= 0 || !refused_scopes.empty()))
        events->declared(*v, here);
    if (!refused_scopes.empty()) {
        refused_scopes.back()->insert(v);
        return;
    }
    if (depth < 0) {
        v->release(); // no block is open to hold it
        return;
    }
    scopes[depth].insert(v);
}

bool context::add_statement(node_statement* statement)
{
    if (!statement)
        return false;
    statement_list* owner = depth >= 0 && refused_scopes.empty() ? block_owners[depth] : nullptr;
    if (!owner) {
        statement->release(); // statements stand only inside subtree bodies
        return false;
    }
    owner->push_back(statement);
    return true;
}

void context::begin_subtree(const char* name)
{
    if (!current_unit) {
        refuse_block(); // nothing could own the subtree
        return;
    }
    subtree* s = new subtree(name);
    current_unit->subtrees.push_back(s);
    if (events)
        events->subtree_defined(here, *current_unit);
    current_subtree = s;
    start_block(&s->statements);
}

void context::end_subtree(void* environment)
{
    end_block();
    if (current_subtree)
        optimize_statements(current_subtree->statements, false, environment);
    current_subtree = nullptr;
}

void context::begin_if(node_expr<bool>* condition)
{
    node_if* statement = new node_if(condition);
    if (!add_statement(statement)) {
        refuse_block(); // the then-block is not opened
        return;
    }
    assert(depth >= 0 && block_owners[depth]); // add_statement found the block's list
    open_ifs[depth] = statement;
    start_block(&statement->statements);
}

void context::begin_else()
{
    node_if* open = depth >= 0 ? open_ifs[depth] : nullptr;
    if (!open) {
        refuse_block();
        return;
    }
    start_block(&open->else_statements);
}

node_function* context::begin_function(const char* name)
{
    node_function* statement = new node_function(name);
    current_function = add_statement(statement) ? statement : nullptr;
    record_position(current_function, events, current_unit, here);
    return current_function;
}

void context::add_argument(node_exp* argument)
{
    if (!argument)
        return;
    if (current_function)
        current_function->arguments.push_back(argument);
    else
        argument->release();
}

void context::set_function_text(const char* text)
{
    if (current_function)
        current_function->text = text;
}

void context::begin_function_body()
{
    if (current_function)
        start_block(&current_function->statements);
    else
        refuse_block();
}

node_call* context::begin_call(const char* name)
{
    explain(nullptr); // an unknown subtree is shown at the file's end, when it is known whether it comes later
    node_call* statement = new node_call(*this, name);
    explained_ = false;
    if (events && !statement->subtree)
        events->call(here, name);
    current_call = add_statement(statement) ? statement : nullptr;
    record_position(current_call, events, current_unit, here);
    return current_call;
}

void context::add_named_argument(variable* argument)
{
    if (!argument)
        return;
    if (!current_call) {
        argument->release();
        return;
    }
    if (events)
        events->named_argument(*current_call, *argument, here);
    current_call->arguments.insert(argument);
}

template <typename T>
variable* context::add_extern_var(const char* name, const char* key, node_expr<int32_t>* index_expr)
{
    const extern_kind& kind = extern_kinds[type_number_v<T>];
    const char* key_text = text_or_empty(key ? key : name);
    extern_binding<T>* binding = nullptr;
    if (!externs) {
        explain_extern(type_number_v<T>, name, key_text, "cannot be bound: this program supplies no extern values");
        error(__LINE__, kind.function, false,
            "[ERROR PARSER '%s'] var '%s = %s' declared as extern and no extern interface linked!\n", unit_name(),
            text_or_empty(name), key_text);
    } else if (!(binding = (externs->*extern_finder<T>::find)(key_text))) {
        explain_extern(type_number_v<T>, name, key_text, "has no value: nothing is supplied under that key");
        error(__LINE__, kind.function, false, kind.not_found, unit_name(), text_or_empty(name), key_text);
    }
    if (!binding || depth < 0) {
        if (index_expr)
            index_expr->release();
        return nullptr;
    }
    var<T>* v = new var<T>(name, binding, index_expr, key_text);
    v->add_ref(); // the grammar's
    declare(v);
    return v;
}

variable* context::add_extern_bool_var(const char* name, const char* key, node_expr<int32_t>* index_expr)
{
    return add_extern_var<bool>(name, key, index_expr);
}

variable* context::add_extern_int_var(const char* name, const char* key, node_expr<int32_t>* index_expr)
{
    return add_extern_var<int32_t>(name, key, index_expr);
}

variable* context::add_extern_float_var(const char* name, const char* key, node_expr<int32_t>* index_expr)
{
    return add_extern_var<float>(name, key, index_expr);
}

variable* context::add_extern_vec3_var(const char* name, const char* key, node_expr<int32_t>* index_expr)
{
    return add_extern_var<vec3>(name, key, index_expr);
}

variable* context::add_extern_vec4_var(const char* name, const char* key, node_expr<int32_t>* index_expr)
{
    return add_extern_var<vec4>(name, key, index_expr);
}

variable* context::add_extern_mtx44_var(const char* name, const char* key, node_expr<int32_t>* index_expr)
{
    return add_extern_var<mtx44>(name, key, index_expr);
}

variable* context::add_extern_string_var(const char* name, const char* key, node_expr<int32_t>* index_expr)
{
    return add_extern_var<string_base>(name, key, index_expr);
}

void context::export_outer_scope()
{
    if (!current_unit || depth < 0)
        return;
    variable_table& outer = scopes[0];
    for (uint32_t i = 0; i < outer.size(); ++i) {
        variable* v = outer.at(i);
        if (v->is_exported()) {
            v->add_ref();
            current_unit->exports.insert(v);
        }
    }
}

void context::release_scopes()
{
    refused_scopes.clear();
    for (variable_table& scope : scopes)
        scope.release_all();
}

} // namespace parser
