// The symbol table of each parsed file, built while the front end parses it:
// declarations with their scopes and values, subtrees with their parameters,
// and the places that name a variable, a subtree or an imported file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/kernel/Parser/front_end_observer.h"
#include "engine/kernel/Parser/source_span.h"

namespace mcscript::lsp {

enum class variable_kind { local, parameter, top_level, extern_value };

struct declaration {
    std::string name;
    uint8_t type = 0; // the language's type code, bool 0 to string 6
    variable_kind kind = variable_kind::local;
    bool exported = false;
    std::string key; // an extern's key
    std::string value; // a constant's value as the tool prints it, else empty
    std::string written; // the declaration's text from its type word (or name)
    std::string file; // the declaring file, an absolute path
    parser::span name_at { 0, 0 };
    parser::span whole { 0, 0 };
    uint32_t visible_end = UINT32_MAX; // where its block closes
};
using declaration_ref = std::shared_ptr<declaration>;

struct subtree_info {
    std::string name;
    parser::span name_at { 0, 0 };
    parser::span whole { 0, 0 }; // from 'sub' to the closing '}'
    std::vector<declaration_ref> params;
};

enum class reference_kind { variable, call, argument, import };

struct reference {
    reference_kind kind;
    parser::span at;
    std::string name; // the subtree of a call or argument, the file of an import (as written)
    declaration_ref target; // a variable's declaration; null when not known
    std::string argument; // an argument's parameter name
};

struct file_index {
    std::string file; // absolute path
    std::string text;
    std::vector<declaration_ref> declarations; // in the order of the text
    std::vector<subtree_info> subtrees;
    std::vector<reference> references; // in the order of the text
    std::vector<std::string> imports; // absolute paths, in import order
    bool failed = false;

    const reference* reference_at(uint32_t offset) const;
    declaration_ref declaration_at(uint32_t offset) const; // by its name
    const subtree_info* subtree_at(uint32_t offset) const; // by its name
    // The declarations of this file visible at offset, innermost first.
    std::vector<declaration_ref> visible_at(uint32_t offset) const;
    const subtree_info* find_subtree(const std::string& name) const;
};

// The last index of every file parsed, by absolute path.
using index_map = std::unordered_map<std::string, std::shared_ptr<file_index>>;

// The subtree a call names, as the game finds it: the file's own first,
// then each import's in order, depth first. Sets *where to its file.
const subtree_info* resolve_subtree(
    const index_map& files, const std::string& from, const std::string& name, std::string* where);
// Every subtree and exported variable a file sees through its imports.
void imported(const index_map& files, const std::string& from, std::vector<const subtree_info*>& subtrees,
    std::vector<declaration_ref>& exports);

// The declarations of the variables alive in parsed units, so that a use of
// an imported variable finds where it was declared.
using declaration_table = std::unordered_map<const parser::variable*, declaration_ref>;

// Builds a file index for each file a parse reads. File names are made
// absolute against folder, the parse's working directory.
class indexer final : public parser::diag::observer {
public:
    indexer(std::string folder, declaration_table& known);

    void file_started(const std::string& file, const char* text, uint32_t size) override;
    void token(int number, parser::span where, parser::variable* named) override;
    void declared(parser::variable& v, parser::span where) override;
    void file_finished(bool failed) override;

    std::vector<std::shared_ptr<file_index>> finished; // in the order the parses ended

private:
    struct token_seen {
        int number;
        parser::span where;
    };
    struct block {
        std::vector<declaration_ref> members;
        int subtree = -1; // the subtree whose body this is
    };
    struct building {
        std::shared_ptr<file_index> index;
        std::vector<token_seen> tokens;
        std::vector<block> blocks;
        std::vector<declaration_ref> waiting_params; // declared before their body opens
        int open_subtree = -1; // a subtree whose body is not yet open
        int call_parens = 0; // depth inside a call's argument list
        std::string call;
        parser::variable* unfinished_extern = nullptr; // export is set after the declaration
        declaration_ref extern_declaration;
    };

    void structure(building& b, int number, parser::span where);
    void close_block(building& b, uint32_t end);
    void settle_extern(building& b);
    std::string text_of(const building& b, parser::span where) const;

    std::string folder_;
    declaration_table& known_;
    std::vector<building> open_;
};

// The file's path made absolute against folder, in its normal form.
std::string absolute_path(const std::string& folder, const std::string& file);

} // namespace mcscript::lsp
