// Value texts: bool true/false, int %d, float %.9g of the value widened to
// double, strings quoted raw, vectors and matrices as [a, b, ...]. Everything
// is appended to the output in place; an argument's value type is looked up
// once per node class in a walk and remembered.
#include "tools/mcscript/statement_printer.h"

#include <charconv>
#include <string>
#include <typeinfo>
#include <unordered_map>

#include "engine/kernel/Parser/param_iterator.h"
#include "engine/kernel/Parser/statements.h"
#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/text_archive.h"
#include "engine/kernel/Parser/tree_iterator.h"
#include "tools/mcscript/number_text.h"

namespace mcscript {
namespace {

void append_components(std::string& out, const float* values, int count)
{
    out += '[';
    for (int i = 0; i < count; ++i) {
        if (i)
            out += ", ";
        append_number(out, values[i]);
    }
    out += ']';
}

void append_value(std::string& out, bool v) { out += v ? "true" : "false"; }
void append_value(std::string& out, float v) { append_number(out, v); }
void append_value(std::string& out, const vec3& v) { append_components(out, &v.x, 3); }
void append_value(std::string& out, const vec4& v) { append_components(out, &v.x, 4); }
void append_value(std::string& out, const mtx44& v) { append_components(out, v.m, 16); }

void append_value(std::string& out, int32_t v)
{
    char text[12]; // "-2147483648"
    out.append(text, std::to_chars(text, text + sizeof text, v).ptr);
}

void append_value(std::string& out, const string_base& v)
{
    out += '"';
    out.append(v.c_str(), v.size());
    out += '"';
}

// A script uses a few dozen node classes: each one's value type is found once
// per walk by parser::value_type_of and then read back by the class's identity.
class type_cache {
public:
    int type_of(parser::node_exp* e)
    {
        auto [at, added] = known_.try_emplace(&typeid(*e), 0);
        if (added)
            at->second = parser::value_type_of(e);
        return at->second;
    }

private:
    std::unordered_map<const std::type_info*, int> known_;
};

// What one walk carries down its lists. With a sink, out is written there
// whenever it holds flush_size bytes, and once more at the end.
struct walk_state {
    std::string& out;
    std::string indent;
    print_mode mode;
    type_cache types;
    std::FILE* sink = nullptr;

    static constexpr size_t flush_size = 64 * 1024;
    void flush()
    {
        std::fwrite(out.data(), 1, out.size(), sink);
        out.clear();
    }
};

// The expression's value, evaluated in the frame given; a node of no value
// type (type -1) prints as nothing.
void append_typed(std::string& out, parser::node_exp* e, int type, parser::call_frame* frame, void* environment)
{
    if (type < 0)
        return;
    parser::visit_type(uint8_t(type), [&](auto tag) {
        using T = typename decltype(tag)::type;
        T value = parser::initial_value<T>();
        static_cast<parser::node_expr<T>*>(e)->evaluate(nullptr, value, frame, environment);
        append_value(out, value);
    });
}

void append_argument(std::string& out, parser::node_exp* e, parser::tree_iterator& it, type_cache& types)
{
    append_typed(out, e, types.type_of(e), it.frame(), it.environment);
}

void append_statement_line(std::string& out, parser::tree_iterator& it, type_cache& types)
{
    parser::node_function* f = it.current;
    out += f->name.c_str();
    out += '(';
    int k = 0;
    for (parser::list_element* e = f->arguments.first(); e; e = e->next, ++k) {
        if (k)
            out += ", ";
        append_argument(out, parser::argument_list::payload(e), it, types);
    }
    out += ')';
    if (!f->text.empty()) {
        out += " = \"";
        out.append(f->text.c_str(), f->text.size());
        out += '"';
    }
}

void print_arguments(std::string& out, parser::node_function* f, const std::string& indent)
{
    int k = 0;
    for (parser::list_element* e = f->arguments.first(); e; e = e->next, ++k) {
        out += indent;
        out += "  arg ";
        append_value(out, int32_t(k));
        out += '\n';
        string_base written;
        parser::text_archive archive(written);
        parser::argument_list::payload(e)->serialize(archive);
        std::string_view text(written.c_str(), written.size());
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string_view::npos)
                end = text.size();
            out += indent;
            out += "    ";
            out += text.substr(start, end - start);
            out += '\n';
            start = end + 1;
        }
    }
}

void print_list(walk_state& w, parser::tree_iterator& it)
{
    for (; it.current; it.advance()) {
        parser::node_function* f = it.current;
        bool body = !f->statements.empty();
        w.out += w.indent;
        append_statement_line(w.out, it, w.types);
        w.out += body ? " {\n" : "\n";
        if (w.mode == print_mode::dump)
            print_arguments(w.out, f, w.indent);
        if (w.sink && w.out.size() >= walk_state::flush_size)
            w.flush();
        if (!body)
            continue;
        parser::tree_iterator inner;
        inner.start_body(&f->statements, it);
        w.indent += "  ";
        print_list(w, inner);
        w.indent.resize(w.indent.size() - 2);
        w.out += w.indent;
        w.out += "}\n";
    }
}

} // namespace

std::string constant_text(parser::node_exp* e)
{
    std::string out;
    append_typed(out, e, parser::value_type_of(e), nullptr, nullptr);
    return out;
}

namespace {

void walk_into(walk_state& w, parser::subtree& tree)
{
    parser::tree_iterator it;
    it.start(&tree.statements, tree.environment, nullptr);
    print_list(w, it);
}

} // namespace

void print_walk(std::string& out, parser::subtree& tree, print_mode mode)
{
    walk_state w { out, {}, mode, {} };
    walk_into(w, tree);
}

void print_walk(std::FILE* sink, parser::subtree& tree, print_mode mode)
{
    std::string out;
    out.reserve(walk_state::flush_size * 2);
    walk_state w { out, {}, mode, {}, sink };
    walk_into(w, tree);
    w.flush();
}

} // namespace mcscript
