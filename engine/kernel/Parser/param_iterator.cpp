// Typed reads of function statement arguments.
#include "engine/kernel/Parser/param_iterator.h"

#include "engine/kernel/Parser/program_log.h"
#include "engine/kernel/Parser/statements.h"
#include "engine/kernel/Parser/tree_iterator.h"

namespace parser {

param_iterator::param_iterator(tree_iterator& it)
    : iterator(&it)
    , arguments(it.current && !it.current->arguments.empty() ? &it.current->arguments : nullptr)
    , current(arguments ? arguments->first() : nullptr)
    , frame(it.frame())
{
}

template <typename T> bool param_iterator::read(T& out, const char* type_word)
{
    // No arguments, reading past the last one, or another type: a type error.
    auto* expr = current ? dynamic_cast<node_expr<T>*>(argument_list::payload(current)) : nullptr;
    if (!expr) {
        dump_error(type_word);
        return false;
    }
    expr->evaluate(nullptr, out, frame, iterator->environment);
    return true;
}

string_base param_iterator::get_string()
{
    string_base out;
    out.reserve(64);
    if (!read(out, "a string"))
        return string_base();
    return out;
}

int32_t param_iterator::get_int()
{
    int32_t out = 0;
    return read(out, "an int") ? out : 0;
}

void param_iterator::dump_error(const char* type_word)
{
    const char* name = iterator->current ? iterator->current->name.c_str() : "";
    Log::Category(Log::ELevel::Error, "Parser", nodes_where(__LINE__, "parser::param_iterator::dump_error"), false,
        "Param %i in function %s() is not %s\n", index, name, type_word);
}

void param_iterator::next()
{
    if (current)
        current = current->next;
    ++index;
}

} // namespace parser
