// The language server's answers, each made from a document's symbol table and
// the tables of the files it imports. Helpers for ranges and descriptions
// first, then one function per request.
#include "tools/mcscript/lsp_features.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <set>

#include "engine/game/gameini_parser.h"
#include "engine/kernel/Parser/value_types.h"
#include "engine/kernel/ascii_case.h"
#include "tools/mcscript/lsp_completion.h"

namespace mcscript::lsp {
namespace {

// Protocol numbers.
constexpr int severity_error = 1, severity_warning = 2, severity_information = 3;
constexpr int item_function = 3, item_field = 5, item_variable = 6, item_property = 10, item_keyword = 14;
constexpr int symbol_function = 12, symbol_variable = 13;

// The built-in functions with the forms the grammar accepts.
struct builtin {
    const char* name;
    const char* forms;
};
const builtin builtins[] = {
    { "sin", "float sin(float), vec3 sin(vec3), vec4 sin(vec4)" },
    { "cos", "float cos(float), vec3 cos(vec3), vec4 cos(vec4)" },
    { "tan", "float tan(float), vec3 tan(vec3), vec4 tan(vec4)" },
    { "log", "float log(float), vec3 log(vec3), vec4 log(vec4)" },
    { "ln", "float ln(float), vec3 ln(vec3), vec4 ln(vec4)" },
    { "exp", "float exp(float), vec3 exp(vec3), vec4 exp(vec4)" },
    { "pow", "float pow(float, float), vec3 pow(vec3, vec3 or float), vec4 pow(vec4, vec4 or float)" },
    { "mod", "float mod(float, float or int)" },
    { "min", "int min(int, int), float min(float, float), vec3 min(vec3, vec3), vec4 min(vec4, vec4)" },
    { "max", "int max(int, int), float max(float, float), vec3 max(vec3, vec3), vec4 max(vec4, vec4)" },
    { "abs", "int abs(int), float abs(float), vec3 abs(vec3), vec4 abs(vec4)" },
    { "clamp", "int clamp(int), float clamp(float), vec3 clamp(vec3), vec4 clamp(vec4)" },
    { "floor", "float floor(float)" },
    { "ceil", "float ceil(float)" },
    { "int", "int int(float)" },
    { "float", "float float(int)" },
    { "scale", "mtx scale(float), mtx scale(float, float, float), mtx scale(vec3)" },
    { "rotate", "mtx rotate(vec3, float), mtx rotate(float, float, float)" },
    { "translate", "mtx translate(float, float, float), mtx translate(vec3)" },
    { "orient", "mtx orient(vec3, vec3)" },
    { "transpose", "mtx transpose(mtx)" },
    { "invert", "mtx invert(mtx)" },
    { "dot", "float dot(vec3 or vec4, vec3 or vec4)" },
    { "cross", "vec3 cross(vec3, vec3)" },
    { "normalize", "vec3 normalize(vec3)" },
    { "length", "float length(vec3)" },
    { "dist", "float dist(vec3, vec3)" },
    { "dist2", "float dist2(vec3, vec3)" },
    { "mul", "vec4 mul(mtx, vec4)" },
    { "mulv", "vec3 mulv(mtx, vec3)" },
    { "mulp", "vec3 mulp(mtx, vec3)" },
    { "substr", "bool substr(string, string)" },
    { "empty", "bool empty(string)" },
    { "lowercase", "string lowercase(string)" },
    { "uppercase", "string uppercase(string)" },
};

json place_json(place p) { return { { "line", p.line }, { "character", p.character } }; }

// A range on one line of a file other than the document, from a diagnostic
// position's line text.
json line_range_json(const parser::diag::position& p)
{
    uint32_t line = p.line > 0 ? uint32_t(p.line - 1) : 0;
    std::string_view text = p.line_text;
    size_t column = std::min<size_t>(p.column > 0 ? size_t(p.column - 1) : 0, text.size());
    size_t end = std::min<size_t>(column + p.length, text.size());
    return { { "start", place_json({ line, utf16_length(text.substr(0, column)) }) },
        { "end", place_json({ line, utf16_length(text.substr(0, end)) }) } };
}

json range_in_text(const std::string& text, parser::span where)
{
    line_index lines(text);
    return { { "start", place_json(lines.to_place(text, where.begin)) },
        { "end", place_json(lines.to_place(text, where.end)) } };
}

// The URI of a file the document's parse named (as written, relative to the
// document's folder), the open document's own URI when it is that one.
std::string uri_of(const document& d, const std::string& file)
{
    if (file == d.name)
        return d.uri;
    return uri_of_path(absolute_path(d.folder, file));
}

json range_of(const document& d, const parser::diag::position& p)
{
    if (p.line <= 0)
        return { { "start", place_json({}) }, { "end", place_json({}) } };
    if (p.file == d.name)
        return range_json(d, { p.offset, p.offset + p.length });
    return line_range_json(p);
}

json related(const document& d, const parser::diag::position& p, const std::string& message)
{
    return { { "location", { { "uri", uri_of(d, p.file) }, { "range", range_of(d, p) } } }, { "message", message } };
}

int severity_of(parser::diag::severity s)
{
    return s == parser::diag::severity::error  ? severity_error
        : s == parser::diag::severity::warning ? severity_warning
                                               : severity_information;
}

// One diagnostic of the document, or null when it concerns no place in it.
json diagnostic_json(const document& d, const parser::diag::diagnostic& item)
{
    json out = { { "severity", severity_of(item.level) }, { "source", "mcscript" } };
    json notes = json::array();
    if (item.where.file == d.name) {
        out["range"] = range_of(d, item.where);
        out["message"] = item.message;
        for (const parser::diag::note& n : item.notes)
            notes.push_back(related(d, n.where, n.message));
    } else {
        // A problem in an imported file shows at the import that brought it.
        const parser::diag::note* here = nullptr;
        for (const parser::diag::note& n : item.notes)
            if (n.where.file == d.name)
                here = &n;
        if (!here)
            return nullptr;
        out["range"] = range_of(d, here->where);
        out["message"] = "in imported file '" + item.where.file + "': " + item.message;
        notes.push_back(related(d, item.where, item.message));
        for (const parser::diag::note& n : item.notes)
            if (&n != here)
                notes.push_back(related(d, n.where, n.message));
    }
    if (!notes.empty())
        out["relatedInformation"] = notes;
    return out;
}

std::string type_name(uint8_t type) { return type < parser::any_type ? parser::type_names[type] : "?"; }

std::string kind_words(const declaration& v)
{
    switch (v.kind) {
    case variable_kind::local:
        return "local variable";
    case variable_kind::parameter:
        return "parameter";
    case variable_kind::top_level:
        return v.exported ? "exported variable" : "top-level variable";
    case variable_kind::extern_value:
        return std::string(v.exported ? "exported " : "") + "extern variable, key '" + v.key + "'";
    }
    return "";
}

// A parameter as a signature shows it: "float weight = 0.5", the default as
// the tool prints its value, or as written when it is no constant.
std::string parameter_text(const declaration& p)
{
    std::string text = type_name(p.type) + " " + p.name;
    if (!p.value.empty())
        return text + " = " + p.value;
    size_t equals = p.written.find('=');
    if (equals == std::string::npos)
        return text;
    size_t start = p.written.find_first_not_of(" \t\r\n", equals + 1);
    return start == std::string::npos ? text : text + " = " + p.written.substr(start);
}

std::string signature(const subtree_info& s)
{
    std::string text = "sub " + s.name + "(";
    for (size_t i = 0; i < s.params.size(); ++i)
        text += (i ? ", " : "") + parameter_text(*s.params[i]);
    return text + ")";
}

std::string relative_name(const document& d, const std::string& file)
{
    std::filesystem::path relative = std::filesystem::path(file).lexically_relative(d.folder);
    return relative.empty() ? file : relative.generic_string();
}

std::string variable_hover(const document& d, const declaration& v)
{
    std::string text = "```mcscript\n" + type_name(v.type) + " " + v.name + "\n```\n" + kind_words(v);
    if (!v.value.empty())
        text += (v.kind == variable_kind::parameter ? "\n\ndefault: `" : "\n\nvalue: `") + v.value + "`";
    if (v.file != d.path)
        text += "\n\ndeclared in `" + relative_name(d, v.file) + "`";
    return text;
}

std::string subtree_hover(const document& d, const subtree_info& s, const std::string& file)
{
    std::string text = "```mcscript\n" + signature(s) + "\n```";
    if (file != d.path)
        text += "\n\ndefined in `" + relative_name(d, file) + "`";
    return text;
}

json markdown(const std::string& text) { return { { "kind", "markdown" }, { "value", text } }; }

json location(const workspace& w, const document& d, const std::string& file, parser::span where)
{
    if (file == d.path)
        return { { "uri", d.uri }, { "range", range_json(d, where) } };
    auto found = w.files().find(file);
    json range = found == w.files().end() ? range_in_text("", { 0, 0 }) : range_in_text(found->second->text, where);
    return { { "uri", uri_of_path(file) }, { "range", range } };
}

const declaration* parameter_named(const subtree_info& s, const std::string& name)
{
    for (const declaration_ref& p : s.params)
        if (p->name == name)
            return p.get();
    return nullptr;
}

json item(const std::string& label, int kind, const std::string& detail)
{
    return { { "label", label }, { "kind", kind }, { "detail", detail } };
}

json variable_items(const workspace& w, const document& d, uint32_t offset)
{
    json items = json::array();
    std::set<std::string> named;
    std::vector<declaration_ref> visible = d.index->visible_at(offset);
    std::vector<const subtree_info*> subtrees;
    imported(w.files(), d.path, subtrees, visible);
    for (const declaration_ref& v : visible)
        if (named.insert(v->name).second)
            items.push_back(item(v->name, item_variable, type_name(v->type) + ", " + kind_words(*v)));
    for (const builtin& b : builtins)
        items.push_back(item(b.name, item_function, b.forms));
    for (const char* word : { "true", "false" })
        items.push_back(item(word, item_keyword, "bool"));
    return items;
}

json subtree_items(const workspace& w, const document& d)
{
    json items = json::array();
    std::vector<const subtree_info*> subtrees;
    for (const subtree_info& s : d.index->subtrees)
        subtrees.push_back(&s);
    std::vector<declaration_ref> exports;
    imported(w.files(), d.path, subtrees, exports);
    std::set<std::string> named;
    for (const subtree_info* s : subtrees)
        if (named.insert(s->name).second)
            items.push_back(item(s->name, item_function, signature(*s)));
    return items;
}

json argument_items(const workspace& w, const document& d, const std::string& call)
{
    json items = json::array();
    const subtree_info* s = resolve_subtree(w.files(), d.path, call, nullptr);
    if (!s)
        return items;
    for (const declaration_ref& p : s->params) {
        json i = item(p->name, item_field, parameter_text(*p));
        i["insertText"] = p->name + " = ";
        items.push_back(i);
    }
    return items;
}

bool same_key(const std::string& name, const char* key) { return key && ascii::equal_ignoring_case(name, key); }

// The key row a statement name reads (the host ignores ASCII case), also by
// its "_pc" variant (then pc is set); null for another name.
const GameIniKey* setting_key(const std::string& name, bool& pc)
{
    for (const GameIniKey& k : GameIniKeys()) {
        pc = same_key(name, k.pc_name);
        if (same_key(name, k.name) || pc)
            return &k;
    }
    return nullptr;
}

// "string, default empty": what a key takes and what it is without one.
std::string key_summary(const GameIniKey& k)
{
    const char* type = ArgumentType(k.reader);
    return std::string(type ? type : "set by its presence") + ", default " + k.default_value;
}

std::string key_hover(const GameIniKey& k, bool pc)
{
    const char* type = ArgumentType(k.reader);
    std::string name = pc ? k.pc_name : k.name;
    std::string text = "```mcscript\n" + name + "(" + (type ? type : "")
        + ")\n```\nsetting: " + (type ? type : "set by its presence; its arguments are not read") + ", default "
        + k.default_value + "\n\n" + k.meaning;
    if (pc)
        text += std::string("\n\nthe PC variant of `") + k.name + "`: "
            + (k.pc == PcRule::PcWins ? "read after it, and wins when both give a value"
                                      : "read only when it gives no value");
    return text;
}

// The settings key named at offset in a settings document, with its range.
json key_hover_json(const document& d, uint32_t offset)
{
    size_t begin = std::min<size_t>(offset, d.text.size()), end = begin;
    auto name_char = [](char c) { return std::isalnum(uint8_t(c)) || c == '_'; };
    while (begin > 0 && name_char(d.text[begin - 1]))
        --begin;
    while (end < d.text.size() && name_char(d.text[end]))
        ++end;
    if (begin == end || completion_at(d.text, uint32_t(begin)).kind == completion_kind::none)
        return nullptr;
    bool pc = false;
    const GameIniKey* k = setting_key(d.text.substr(begin, end - begin), pc);
    if (!k)
        return nullptr;
    return { { "contents", markdown(key_hover(*k, pc)) },
        { "range", range_json(d, { uint32_t(begin), uint32_t(end) }) } };
}

json key_items()
{
    json items = json::array();
    for (const GameIniKey& k : GameIniKeys()) {
        items.push_back(item(k.name, item_property, key_summary(k)));
        if (k.pc_name)
            items.push_back(item(k.pc_name, item_property, key_summary(k)));
    }
    return items;
}

json symbol(const document& d, const std::string& name, int kind, const std::string& detail, parser::span whole,
    parser::span name_at)
{
    return { { "name", name }, { "kind", kind }, { "detail", detail }, { "range", range_json(d, whole) },
        { "selectionRange", range_json(d, name_at) } };
}

} // namespace

json range_json(const document& d, parser::span where)
{
    return { { "start", place_json(d.lines.to_place(d.text, where.begin)) },
        { "end", place_json(d.lines.to_place(d.text, where.end)) } };
}

json diagnostics_json(const workspace&, const document& d)
{
    json out = json::array();
    for (const parser::diag::diagnostic& item : d.diagnostics.items()) {
        json one = diagnostic_json(d, item);
        if (!one.is_null())
            out.push_back(std::move(one));
    }
    return out;
}

json hover_json(const workspace& w, const document& d, uint32_t offset)
{
    const file_index& index = *d.index;
    std::string text;
    parser::span at { 0, 0 };
    if (const reference* r = index.reference_at(offset)) {
        at = r->at;
        std::string file;
        const subtree_info* s = r->kind == reference_kind::variable || r->kind == reference_kind::import
            ? nullptr
            : resolve_subtree(w.files(), d.path, r->name, &file);
        if (r->kind == reference_kind::variable && r->target)
            text = variable_hover(d, *r->target);
        else if (r->kind == reference_kind::call && s)
            text = subtree_hover(d, *s, file);
        else if (r->kind == reference_kind::argument && s && parameter_named(*s, r->argument))
            text = variable_hover(d, *parameter_named(*s, r->argument));
    } else if (declaration_ref v = index.declaration_at(offset)) {
        at = v->name_at;
        text = variable_hover(d, *v);
    } else if (const subtree_info* s = index.subtree_at(offset)) {
        at = s->name_at;
        text = subtree_hover(d, *s, d.path);
    }
    if (text.empty())
        return d.settings ? key_hover_json(d, offset) : json(nullptr);
    return { { "contents", markdown(text) }, { "range", range_json(d, at) } };
}

json definition_json(const workspace& w, const document& d, uint32_t offset)
{
    const file_index& index = *d.index;
    const reference* r = index.reference_at(offset);
    if (!r) {
        if (declaration_ref v = index.declaration_at(offset))
            return location(w, d, d.path, v->name_at);
        if (const subtree_info* s = index.subtree_at(offset))
            return location(w, d, d.path, s->name_at);
        return nullptr;
    }
    std::string file;
    switch (r->kind) {
    case reference_kind::variable:
        return r->target ? location(w, d, r->target->file, r->target->name_at) : json(nullptr);
    case reference_kind::call:
        if (const subtree_info* s = resolve_subtree(w.files(), d.path, r->name, &file))
            return location(w, d, file, s->name_at);
        return nullptr;
    case reference_kind::argument:
        if (const subtree_info* s = resolve_subtree(w.files(), d.path, r->name, &file))
            if (const declaration* p = parameter_named(*s, r->argument))
                return location(w, d, file, p->name_at);
        return nullptr;
    case reference_kind::import: {
        std::string path = absolute_path(d.folder, r->name);
        std::error_code error;
        if (!w.files().count(path) && !std::filesystem::is_regular_file(path, error))
            return nullptr;
        return { { "uri", uri_of_path(path) }, { "range", range_in_text("", { 0, 0 }) } };
    }
    }
    return nullptr;
}

json completion_json(const workspace& w, const document& d, uint32_t offset)
{
    completion_context context = completion_at(d.text, offset);
    switch (context.kind) {
    case completion_kind::none:
        return json::array();
    case completion_kind::subtree:
        return subtree_items(w, d);
    case completion_kind::argument:
        return argument_items(w, d, context.call);
    case completion_kind::expression:
        if (d.settings && at_settings_statement(d.text, offset)) {
            json items = key_items();
            for (json& i : variable_items(w, d, offset))
                items.push_back(std::move(i));
            return items;
        }
        return variable_items(w, d, offset);
    }
    return json::array();
}

json symbols_json(const document& d)
{
    std::vector<std::pair<uint32_t, json>> found; // by where they start
    for (const subtree_info& s : d.index->subtrees) {
        json children = json::array();
        for (const declaration_ref& p : s.params)
            children.push_back(symbol(d, p->name, symbol_variable, parameter_text(*p), p->whole, p->name_at));
        std::string detail = signature(s).substr(4 + s.name.size());
        json one = symbol(d, s.name, symbol_function, detail, s.whole, s.name_at);
        one["children"] = children;
        found.emplace_back(s.whole.begin, std::move(one));
    }
    for (const declaration_ref& v : d.index->declarations) {
        bool top_level = v->kind == variable_kind::top_level
            || (v->kind == variable_kind::extern_value && v->visible_end == UINT32_MAX);
        if (top_level)
            found.emplace_back(v->whole.begin,
                symbol(d, v->name, symbol_variable, type_name(v->type) + ", " + kind_words(*v), v->whole, v->name_at));
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    json out = json::array();
    for (auto& [offset, one] : found)
        out.push_back(std::move(one));
    return out;
}

} // namespace mcscript::lsp
