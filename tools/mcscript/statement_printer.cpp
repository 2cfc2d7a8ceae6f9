// Value texts: bool true/false, int %d, float %.9g of the value widened to
// double, strings quoted raw, vectors and matrices as [a, b, ...].
#include "tools/mcscript/statement_printer.h"

#include <cstdio>
#include <string>

#include "engine/kernel/Parser/param_iterator.h"
#include "engine/kernel/Parser/statements.h"
#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/text_archive.h"
#include "engine/kernel/Parser/tree_iterator.h"

namespace mcscript {
namespace {

std::string number(float f)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", double(f));
    return text;
}

std::string components(const float* values, int count)
{
    std::string text = "[";
    for (int i = 0; i < count; ++i)
        text += (i ? ", " : "") + number(values[i]);
    return text + "]";
}

std::string text_of(bool v) { return v ? "true" : "false"; }
std::string text_of(int32_t v) { return std::to_string(v); }
std::string text_of(float v) { return number(v); }
std::string text_of(const vec3& v) { return components(&v.x, 3); }
std::string text_of(const vec4& v) { return components(&v.x, 4); }
std::string text_of(const mtx44& v) { return components(v.m, 16); }
std::string text_of(const string_base& v) { return "\"" + std::string(v.c_str(), v.size()) + "\""; }

template <typename T>
bool try_value(parser::node_exp* e, parser::call_frame* frame, void* environment, std::string& out)
{
    auto* typed = dynamic_cast<parser::node_expr<T>*>(e);
    if (!typed)
        return false;
    T value = parser::initial_value<T>();
    typed->evaluate(nullptr, value, frame, environment);
    out = text_of(value);
    return true;
}

std::string value_text(parser::node_exp* e, parser::call_frame* frame, void* environment)
{
    std::string out;
    try_value<bool>(e, frame, environment, out) || try_value<int32_t>(e, frame, environment, out)
        || try_value<float>(e, frame, environment, out) || try_value<vec3>(e, frame, environment, out)
        || try_value<vec4>(e, frame, environment, out) || try_value<mtx44>(e, frame, environment, out)
        || try_value<string_base>(e, frame, environment, out);
    return out;
}

std::string value_text(parser::node_exp* e, parser::tree_iterator& it)
{
    return value_text(e, it.frame(), it.environment);
}

std::string statement_line(parser::tree_iterator& it)
{
    parser::node_function* f = it.current;
    std::string line = std::string(f->name.c_str()) + "(";
    int k = 0;
    for (parser::list_element* e = f->arguments.first(); e; e = e->next, ++k)
        line += (k ? ", " : "") + value_text(parser::argument_list::payload(e), it);
    line += ")";
    if (!f->text.empty())
        line += " = \"" + std::string(f->text.c_str(), f->text.size()) + "\"";
    return line;
}

void print_arguments(std::string& out, parser::node_function* f, const std::string& indent)
{
    int k = 0;
    for (parser::list_element* e = f->arguments.first(); e; e = e->next, ++k) {
        out += indent + "  arg " + std::to_string(k) + "\n";
        string_base written;
        parser::text_archive archive(written);
        parser::argument_list::payload(e)->serialize(archive);
        std::string text(written.c_str(), written.size());
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            out += indent + "    " + text.substr(start, end - start) + "\n";
            start = end + 1;
        }
    }
}

void print_list(std::string& out, parser::tree_iterator& it, const std::string& indent, print_mode mode)
{
    for (; it.current; it.advance()) {
        parser::node_function* f = it.current;
        bool body = !f->statements.empty();
        out += indent + statement_line(it) + (body ? " {\n" : "\n");
        if (mode == print_mode::dump)
            print_arguments(out, f, indent);
        if (!body)
            continue;
        parser::tree_iterator inner;
        inner.start_body(&f->statements, it);
        print_list(out, inner, indent + "  ", mode);
        out += indent + "}\n";
    }
}

} // namespace

std::string constant_text(parser::node_exp* e) { return value_text(e, nullptr, nullptr); }

void print_walk(std::string& out, parser::subtree& tree, print_mode mode)
{
    parser::tree_iterator it;
    it.start(&tree.statements, tree.environment, nullptr);
    print_list(out, it, "", mode);
}

} // namespace mcscript
