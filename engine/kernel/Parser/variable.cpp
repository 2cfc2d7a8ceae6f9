// The variable part shared by the seven var<T> classes: owned name (kept in
// the variable itself when short) and key, the class flags with their warning,
// the archive block and the text form.
#include "engine/kernel/Parser/variable.h"

#include <cstdlib>
#include <cstring>

#include "engine/kernel/Parser/node.h"
#include "engine/kernel/Parser/program_log.h"

namespace parser {

namespace {

// A copy of text in room when it fits there (room_size counts the final
// zero), else on the heap.
char* copy_text(const char* text, char* room = nullptr, size_t room_size = 0)
{
    size_t n = text ? std::strlen(text) : 0;
    char* copy = n < room_size ? room : static_cast<char*>(std::malloc(n + 1));
    if (!copy)
        std::abort(); // out of memory: nothing sensible can continue
    if (n)
        std::memcpy(copy, text, n);
    copy[n] = 0;
    return copy;
}

uint64_t address(const uint64_t* layout) { return uint64_t(reinterpret_cast<uintptr_t>(layout)); }

const char* const class_words[] = { "", " param", " extern" };

} // namespace

const uint64_t variable_layout[] = {
    field::vtable,
    field::object_ref,
    field::object_ref,
    field::object_ref,
    field::int32,
    field::byte,
    field::byte,
    field::byte,
    0,
};

const uint64_t var_layout[] = {
    field::base,
    address(node_exp_layout),
    field::base,
    address(variable_layout),
    field::object_ref,
    field::object_ref,
    0,
};

variable::variable(const char* name_text, uint8_t type, const char* key, node_expr<int32_t>* index_expression)
    : name(nullptr)
    , extern_key(key ? copy_text(key) : nullptr)
    , index_expr(index_expression)
    , type_code(type)
{
    name = copy_text(name_text, inline_name, sizeof inline_name);
}

variable::~variable()
{
    if (index_expr)
        index_expr->release();
    std::free(extern_key);
    if (name != inline_name)
        std::free(name);
}

void variable::set_class_flags(uint8_t new_class, uint8_t new_modifiers)
{
    var_class = new_class;
    modifiers = new_modifiers;
    if ((modifiers & modifier_export) && var_class == var_param)
        Log::Category(Log::ELevel::Error, "Parser", nodes_where(__LINE__, "parser::variable::set_class_flags"), true,
            "var '%s' declared export and param!\n", name);
}

void variable::serialize_fields(archive& ar) const
{
    SClassBlockResult block = ar.begin_class_block(0, variable_layout, true, 1);
    ar.write_ref(name);
    ar.write_ref(extern_key);
    ar.write_ref(is_extern() ? index_expr : nullptr);
    ar.write_int(int32_t(index));
    ar.write_byte(var_class);
    ar.write_byte(type_code);
    ar.write_byte(modifiers);
    ar.write_text(name);
    if (is_extern()) {
        ar.write_text(extern_key);
        if (index_expr && ar.begin_object(index_expr).write) {
            index_expr->serialize(ar);
            ar.end_object(index_expr);
        }
    }
    ar.end_class_block(block);
}

string_base& variable::append_description(string_base& out) const
{
    const char* word = var_class < 3 ? class_words[var_class] : "";
    out += string_base::format("(var%s %s", word, name);
    if (var_class != var_extern)
        out += " = ";
    out += ")";
    return out;
}

} // namespace parser
