// The state of one parse: the unit being built, the open blocks with their
// scopes and statement lists, and the statement being filled in. The grammar's
// actions and the lexer call these operations; every error is logged here and
// sets the error flag that fails the file at its end.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/kernel/Parser/node.h"
#include "engine/kernel/Parser/node_list.h"
#include "engine/kernel/Parser/source_span.h"
#include "engine/kernel/Parser/variable_table.h"

namespace parser {

class extern_interface;
class node_call;
class node_function;
class node_if;
class subtree;
class unit;
class variable;
struct unit_cache; // the shared cache of parsed units, owned by the loader's caller
namespace diag {
class context_events;
class trace;
} // namespace diag

class context {
public:
    // Blocks nest 24 deep (depth 0 to 23): the file's own block, a subtree
    // body and 22 levels of conditionals and bodies inside it. A block beyond
    // that is refused with the nesting error and the file fails.
    static constexpr int32_t max_depth = 24;

    // Starts with depth -1; the loader opens the file's block with a null owner.
    context(unit* target, extern_interface* interface, unit_cache* units);
    ~context(); // releases whatever the scopes still hold
    context(const context&) = delete;
    context& operator=(const context&) = delete;

    // What a name stands for: the scopes from the innermost block out, the
    // unit's own exports, then its imports' exports. Adds a reference.
    variable* find_variable(const char* name);

    // Blocks. A refused start_block still opens a scope of its own, so that
    // what it declares ends at its end_block and the parse goes on as if it
    // had been opened; its statements are dropped.
    bool start_block(statement_list* owner);
    void end_block();
    // The scope the next end_block releases, when that is a block inside the
    // file's own (a subtree body or deeper); null otherwise.
    const variable_table* inner_scope_ending() const;
    // Into the innermost scope, which takes over the caller's reference.
    void declare(variable* v);
    // Appended to the innermost block's list, which takes over the reference;
    // false (and released) when the block has no statement list.
    bool add_statement(node_statement* statement);

    // Subtrees: begin appends it to the unit and opens its body; end closes
    // the body and folds the constant parts of its statements.
    void begin_subtree(const char* name);
    void end_subtree(void* environment);

    // Conditionals: begin appends the if and opens its then-list; begin_else
    // opens the else-list of the if opened at the current depth.
    void begin_if(node_expr<bool>* condition);
    void begin_else();

    // Function statements: begin appends a new one and makes it current; its
    // arguments, text and body go to the current one.
    node_function* begin_function(const char* name);
    void add_argument(node_exp* argument);
    void set_function_text(const char* text);
    void begin_function_body();

    // Calls: begin appends a new call (which looks its subtree up) and makes
    // it current; named arguments go into its argument table.
    node_call* begin_call(const char* name);
    void add_named_argument(variable* argument);

    // Extern declarations: bind through the extern interface and declare in
    // the innermost scope. Returns the variable with one reference for the
    // grammar, or null after logging; index_expr is taken over either way.
    variable* add_extern_bool_var(const char* name, const char* key, node_expr<int32_t>* index_expr);
    variable* add_extern_int_var(const char* name, const char* key, node_expr<int32_t>* index_expr);
    variable* add_extern_float_var(const char* name, const char* key, node_expr<int32_t>* index_expr);
    variable* add_extern_vec3_var(const char* name, const char* key, node_expr<int32_t>* index_expr);
    variable* add_extern_vec4_var(const char* name, const char* key, node_expr<int32_t>* index_expr);
    variable* add_extern_mtx44_var(const char* name, const char* key, node_expr<int32_t>* index_expr);
    variable* add_extern_string_var(const char* name, const char* key, node_expr<int32_t>* index_expr);

    // Imports another file into the unit; defined with the unit loader, which
    // parses the file.
    void import(const char* file_name, void* environment);

    // Adds every exported variable of the file's own block to the unit's
    // exports (one more reference each).
    void export_outer_scope();
    // Releases the variables of every scope.
    void release_scopes();

    // The one funnel for the errors of a parse: a level-2 "Parser" record
    // (prefixed with "[function] " when asked) and the error flag.
    // With diagnostics collected, the error is also shown at the construct
    // being parsed (here), in the words given to explain just before, or else
    // in the record's own words.
    void error(int line, const char* function, bool prefixed, const char* format, ...);
    // The script writer's words for the next error; empty when the error is
    // shown another way.
    void explain(const char* message);
    bool has_error() const { return error_flag != 0; }
    // The blocks' shape below holds; debug builds assert it wherever a block
    // opens or ends.
    bool invariants() const;

    // Read by the grammar, the loader and the diagnostics; written only by the
    // operations above (the unit also by the loader of an import).
    unit* current_unit; // the unit being built; null when nothing can own a subtree
    // Blocks 0 to depth are open (-1: none); scopes[k] holds what block k
    // declared, and every scope deeper than depth is empty.
    variable_table scopes[max_depth];
    int32_t depth = -1;
    // The statements being filled in: the subtree whose body is open, the last
    // function statement and the last call appended (null when refused).
    subtree* current_subtree = nullptr;
    node_function* current_function = nullptr;
    node_call* current_call = nullptr;

    // Written by the loader and the grammar for diagnostics only. Both set
    // only while diagnostics are collected, to the same trace: the context
    // reports through events, the grammar's actions use the trace.
    diag::context_events* events = nullptr;
    diag::trace* trace = nullptr;
    span here { 0, 0 }; // the construct the grammar is handing over, for diagnostics

private:
    extern_interface* externs;
    unit_cache* cache;
    // The statement list of each open block (null for the file's own block,
    // where statements are dropped) and the conditional opened last in it,
    // whose else-list begin_else opens; both null deeper than depth, and no
    // conditional stands in a block without a list.
    statement_list* block_owners[max_depth] = {};
    node_if* open_ifs[max_depth] = {};
    uint8_t error_flag = 0; // 0 or 1: the file fails at its end
    // The scopes of refused blocks not yet ended, innermost last; they stand
    // inside every open block. While there is one, no block opens, so depth
    // cannot change until they have all ended.
    std::vector<std::unique_ptr<variable_table>> refused_scopes;

    void refuse_block();
    template <typename T> variable* add_extern_var(const char* name, const char* key, node_expr<int32_t>* index_expr);
    const char* unit_name() const;
    void explain_extern(int type, const char* name, const char* key, const char* problem);
    bool explained_ = false;
};

} // namespace parser
