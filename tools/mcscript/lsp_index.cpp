// The indexer follows the token stream: 'sub NAME', 'call NAME' and
// 'import "file"' mark subtrees, calls and imports, braces open and close the
// scopes, and the context's declarations arrive with their spans. Queries
// over the finished indexes come last.
#include "tools/mcscript/lsp_index.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "engine/kernel/Parser/parser_y.hpp"
#include "engine/kernel/Parser/var.h"
#include "tools/mcscript/statement_printer.h"

namespace mcscript::lsp {
namespace {

bool is_name(int t) { return t == TOK_IDENTIFIER || (t >= TOK_BOOL_VAR && t <= TOK_STRING_VAR); }
bool is_type_word(int t) { return t >= TOK_BOOL && t <= TOK_STRING; }
bool is_string(int t) { return t == TOK_STRING_CONST || t == TOK_LONG_STRING_CONST; }
bool contains(parser::span s, uint32_t offset) { return s.begin <= offset && offset <= s.end; }

// A constant value, folded as the game folds it; empty when the value
// depends on a parameter or an extern.
std::string constant_value(parser::variable& v)
{
    std::string out;
    if (v.type_code >= parser::any_type)
        return out;
    parser::visit_type(v.type_code, [&](auto tag) {
        parser::var<typename decltype(tag)::type>* typed = parser::var_cast<typename decltype(tag)::type>(&v);
        if (typed && typed->value && !typed->binding && typed->value->fold_constants(false, nullptr))
            out = constant_text(typed->value);
    });
    return out;
}

} // namespace

std::string absolute_path(const std::string& folder, const std::string& file)
{
    std::filesystem::path p(file);
    if (p.is_relative())
        p = std::filesystem::path(folder) / p;
    return p.lexically_normal().generic_string();
}

indexer::indexer(std::string folder, declaration_table& known)
    : folder_(std::move(folder))
    , known_(known)
{
}

void indexer::file_started(const std::string& file, const char* text, uint32_t size)
{
    building b;
    b.index = std::make_shared<file_index>();
    b.index->file = absolute_path(folder_, file);
    b.index->text.assign(text, size);
    open_.push_back(std::move(b));
}

std::string indexer::text_of(const building& b, parser::span where) const
{
    const std::string& text = b.index->text;
    uint32_t begin = std::min<uint32_t>(where.begin, uint32_t(text.size()));
    uint32_t end = std::min<uint32_t>(std::max(where.end, begin), uint32_t(text.size()));
    return text.substr(begin, end - begin);
}

void indexer::close_block(building& b, uint32_t end)
{
    block& closing = b.blocks.back();
    for (declaration_ref& d : closing.members)
        d->visible_end = end;
    if (closing.subtree >= 0)
        b.index->subtrees[size_t(closing.subtree)].whole.end = end;
    b.blocks.pop_back();
}

// The marks a token makes in the structure: subtrees, calls, arguments,
// imports and blocks.
void indexer::structure(building& b, int number, parser::span where)
{
    file_index& index = *b.index;
    int previous = b.tokens.empty() ? 0 : b.tokens.back().number;
    parser::span previous_at = b.tokens.empty() ? parser::span { 0, 0 } : b.tokens.back().where;
    if (previous == TOK_SUB && number == TOK_IDENTIFIER) {
        index.subtrees.push_back({ text_of(b, where), where, { previous_at.begin, where.end }, {} });
        b.open_subtree = int(index.subtrees.size()) - 1;
    } else if (previous == TOK_CALL && number == TOK_IDENTIFIER) {
        b.call = text_of(b, where);
        index.references.push_back({ reference_kind::call, where, b.call, nullptr, "" });
    } else if (previous == TOK_IMPORT && is_string(number)) {
        std::string written = text_of(b, { where.begin + 1, where.end - 1 });
        index.references.push_back({ reference_kind::import, where, written, nullptr, "" });
        index.imports.push_back(absolute_path(folder_, written));
    } else if (number == '=' && b.call_parens == 1 && is_name(previous)) {
        if (!index.references.empty() && index.references.back().at.begin == previous_at.begin)
            index.references.pop_back(); // a visible variable's name used as the argument's
        index.references.push_back({ reference_kind::argument, previous_at, b.call, nullptr, text_of(b, previous_at) });
    }
    if (number == '('
        && (b.call_parens > 0
            || (previous == TOK_IDENTIFIER && b.tokens.size() >= 2
                && b.tokens[b.tokens.size() - 2].number == TOK_CALL)))
        ++b.call_parens;
    else if (number == ')' && b.call_parens > 0)
        --b.call_parens;
    if (number == '{') {
        block opened;
        if (b.open_subtree >= 0 && b.blocks.empty()) {
            opened.subtree = b.open_subtree;
            opened.members = std::move(b.waiting_params);
            b.waiting_params.clear();
            b.open_subtree = -1;
        }
        b.blocks.push_back(std::move(opened));
    } else if (number == '}' && !b.blocks.empty()) {
        close_block(b, where.end);
    }
}

// An extern's export bit is set once its declaration is complete.
void indexer::settle_extern(building& b)
{
    if (!b.unfinished_extern)
        return;
    b.extern_declaration->exported = b.unfinished_extern->is_exported();
    b.unfinished_extern = nullptr;
    b.extern_declaration = nullptr;
}

void indexer::token(int number, parser::span where, parser::variable* named)
{
    if (open_.empty())
        return;
    building& b = open_.back();
    settle_extern(b);
    if (number <= 0)
        return; // the end, or a byte the grammar never accepts
    if (named) {
        auto found = known_.find(named);
        declaration_ref target;
        if (found != known_.end() && found->second->name == named->name && found->second->type == named->type_code)
            target = found->second;
        b.index->references.push_back({ reference_kind::variable, where, named->name, target, "" });
    }
    structure(b, number, where);
    b.tokens.push_back({ number, where });
}

void indexer::declared(parser::variable& v, parser::span where)
{
    if (open_.empty())
        return;
    building& b = open_.back();
    auto first = std::lower_bound(b.tokens.begin(), b.tokens.end(), where.begin,
        [](const token_seen& t, uint32_t offset) { return t.where.begin < offset; });
    if (first != b.tokens.end() && is_type_word(first->number))
        ++first;
    if (first == b.tokens.end() || !is_name(first->number))
        return;
    auto d = std::make_shared<declaration>();
    d->name = v.name;
    d->type = v.type_code;
    d->file = b.index->file;
    d->name_at = first->where;
    d->whole = { where.begin, std::max(where.end, first->where.end) };
    d->written = text_of(b, d->whole);
    std::vector<reference>& refs = b.index->references;
    if (!refs.empty() && refs.back().kind == reference_kind::variable && refs.back().at.begin == d->name_at.begin)
        refs.pop_back(); // a visible name reused for the new declaration
    if (v.is_extern()) {
        d->kind = variable_kind::extern_value;
        d->key = v.extern_key;
        b.unfinished_extern = &v;
        b.extern_declaration = d;
    } else {
        d->kind = v.var_class == parser::var_param ? variable_kind::parameter
            : b.blocks.empty()                     ? variable_kind::top_level
                                                   : variable_kind::local;
        d->exported = v.is_exported();
        d->value = constant_value(v);
    }
    if (d->kind == variable_kind::parameter && b.blocks.empty()) {
        b.waiting_params.push_back(d);
        if (b.open_subtree >= 0)
            b.index->subtrees[size_t(b.open_subtree)].params.push_back(d);
    } else if (!b.blocks.empty()) {
        b.blocks.back().members.push_back(d);
    }
    b.index->declarations.push_back(d);
    known_[&v] = d;
}

void indexer::file_finished(bool failed)
{
    if (open_.empty())
        return;
    building& b = open_.back();
    settle_extern(b);
    uint32_t end = uint32_t(b.index->text.size());
    while (!b.blocks.empty())
        close_block(b, end);
    for (subtree_info& s : b.index->subtrees)
        if (s.whole.end <= s.name_at.end)
            s.whole.end = end; // a body the parse never reached the end of
    b.index->failed = failed;
    finished.push_back(std::move(b.index));
    open_.pop_back();
}

// ---- queries ----

const reference* file_index::reference_at(uint32_t offset) const
{
    for (const reference& r : references)
        if (contains(r.at, offset))
            return &r;
    return nullptr;
}

declaration_ref file_index::declaration_at(uint32_t offset) const
{
    for (const declaration_ref& d : declarations)
        if (contains(d->name_at, offset))
            return d;
    return nullptr;
}

const subtree_info* file_index::subtree_at(uint32_t offset) const
{
    for (const subtree_info& s : subtrees)
        if (contains(s.name_at, offset))
            return &s;
    return nullptr;
}

std::vector<declaration_ref> file_index::visible_at(uint32_t offset) const
{
    std::vector<declaration_ref> visible;
    for (const declaration_ref& d : declarations) {
        bool open_param = d->kind == variable_kind::parameter && d->visible_end == UINT32_MAX;
        if (d->whole.end <= offset && offset <= d->visible_end && !open_param)
            visible.push_back(d);
    }
    std::reverse(visible.begin(), visible.end());
    return visible;
}

const subtree_info* file_index::find_subtree(const std::string& name) const
{
    for (const subtree_info& s : subtrees)
        if (s.name == name)
            return &s;
    return nullptr;
}

namespace {

const subtree_info* search(const index_map& files, const std::string& file, const std::string& name,
    std::set<std::string>& seen, std::string* where)
{
    auto found = files.find(file);
    if (found == files.end() || !seen.insert(file).second)
        return nullptr;
    if (const subtree_info* s = found->second->find_subtree(name)) {
        if (where)
            *where = file;
        return s;
    }
    for (const std::string& imported : found->second->imports)
        if (const subtree_info* s = search(files, imported, name, seen, where))
            return s;
    return nullptr;
}

void collect(const index_map& files, const std::string& file, std::set<std::string>& seen,
    std::vector<const subtree_info*>& subtrees, std::vector<declaration_ref>& exports)
{
    auto found = files.find(file);
    if (found == files.end() || !seen.insert(file).second)
        return;
    for (const subtree_info& s : found->second->subtrees)
        subtrees.push_back(&s);
    for (const declaration_ref& d : found->second->declarations)
        if (d->exported && d->kind != variable_kind::parameter && d->kind != variable_kind::local)
            exports.push_back(d);
    for (const std::string& imported : found->second->imports)
        collect(files, imported, seen, subtrees, exports);
}

} // namespace

const subtree_info* resolve_subtree(
    const index_map& files, const std::string& from, const std::string& name, std::string* where)
{
    std::set<std::string> seen;
    return search(files, from, name, seen, where);
}

void imported(const index_map& files, const std::string& from, std::vector<const subtree_info*>& subtrees,
    std::vector<declaration_ref>& exports)
{
    auto found = files.find(from);
    if (found == files.end())
        return;
    std::set<std::string> seen { from };
    for (const std::string& file : found->second->imports)
        collect(files, file, seen, subtrees, exports);
}

} // namespace mcscript::lsp
