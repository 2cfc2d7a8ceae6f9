// The text archive: each archive operation becomes one indented line, written
// to a string or a stdio file.
#include "engine/kernel/Parser/text_archive.h"

#include <cstdarg>
#include <cstring>

namespace parser {

// Every number format used here ("%.9g" of a float, "0x%08x", "%u") needs at
// most 16 characters; a longer result would be cut, never overrun.
constexpr size_t number_text_size = 32;
// Each open class block indents its contents by this many spaces.
constexpr uint32_t indent_per_block = 2;

text_archive::object_entry& text_archive::entry_of(const void* object)
{
    auto [it, inserted] = objects_.try_emplace(object, object_entry { uint32_t(objects_.size() + 1), false });
    return it->second;
}

void text_archive::start_line(const char* word)
{
    line_.resize(0);
    for (uint32_t i = 0; i < depth_ * indent_per_block; ++i)
        line_ += ' ';
    line_ += word;
}

void text_archive::append(const char* text) { line_ += text; }

void text_archive::append_number(const char* format, ...)
{
    char number[number_text_size];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(number, sizeof number, format, args);
    va_end(args);
    if (n > 0)
        line_.append(number, uint32_t(n) < sizeof number ? uint32_t(n) : uint32_t(sizeof number - 1));
}

void text_archive::append_floats(const float* values, int count)
{
    append(" [");
    for (int i = 0; i < count; ++i)
        append_number(i ? ", %.9g" : "%.9g", double(values[i]));
    append("]");
}

void text_archive::append_quoted(const char* text, uint32_t length)
{
    append(" \"");
    for (uint32_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        switch (c) {
        case '"':
            append("\\\"");
            break;
        case '\\':
            append("\\\\");
            break;
        case '\n':
            append("\\n");
            break;
        case '\r':
            append("\\r");
            break;
        case '\t':
            append("\\t");
            break;
        default:
            if (c < 0x20 || c == 0x7f)
                append_number("\\x%02x", unsigned(c));
            else
                line_ += char(c);
        }
    }
    append("\"");
}

void text_archive::append_object(const char* word, const void* object, bool seen)
{
    start_line(word);
    if (!object) {
        append(" null");
    } else {
        append_number(" #%u", entry_of(object).number);
        if (seen)
            append(" seen");
    }
    end_line();
}

void text_archive::end_line()
{
    line_ += '\n';
    if (text_)
        *text_ += line_;
    if (file_)
        std::fwrite(line_.c_str(), 1, line_.size(), file_);
}

SClassBlockResult text_archive::begin_class_block(uint32_t tag, const uint64_t*, bool root_flag, int)
{
    start_line("block");
    append_number(" 0x%08x root=%d", unsigned(tag), root_flag ? 1 : 0);
    end_line();
    return SClassBlockResult { ++depth_ };
}

void text_archive::end_class_block(SClassBlockResult block)
{
    if (block.id > 0 && block.id <= depth_)
        depth_ = block.id - 1; // a handle that is not open keeps the indentation
    start_line("end");
    end_line();
}

void text_archive::write_ref(const void* object) { append_object("ref", object, false); }

void text_archive::write_int(int32_t value)
{
    start_line("int");
    append_number(" %d", int(value));
    end_line();
}

void text_archive::write_uint(uint32_t value)
{
    start_line("uint");
    append_number(" %u", unsigned(value));
    end_line();
}

void text_archive::write_byte(uint8_t value)
{
    start_line("byte");
    append_number(" %u", unsigned(value));
    end_line();
}

void text_archive::write_bool(bool value)
{
    start_line("bool");
    append(value ? " true" : " false");
    end_line();
}

void text_archive::write_float(float value)
{
    start_line("float");
    append_number(" %.9g", double(value));
    end_line();
}

void text_archive::write_vec3(const vec3& value)
{
    const float c[3] = { value.x, value.y, value.z };
    start_line("vec3");
    append_floats(c, 3);
    end_line();
}

void text_archive::write_vec4(const vec4& value)
{
    const float c[4] = { value.x, value.y, value.z, value.w };
    start_line("vec4");
    append_floats(c, 4);
    end_line();
}

void text_archive::write_mtx44(const mtx44& value)
{
    start_line("mtx44");
    append_floats(value.m, 16);
    end_line();
}

void text_archive::write_string(const string_base& value)
{
    start_line("string");
    append_quoted(value.c_str(), value.size());
    end_line();
}

void text_archive::write_text(const char* text)
{
    start_line("text");
    if (text)
        append_quoted(text, uint32_t(std::strlen(text)));
    else
        append(" null");
    end_line();
}

SObjectBlock text_archive::begin_object(const void* object)
{
    if (!object) {
        append_object("object", nullptr, false);
        return SObjectBlock { false };
    }
    object_entry& e = entry_of(object);
    bool first = !e.begun;
    e.begun = true;
    append_object("object", object, !first);
    return SObjectBlock { first };
}

void text_archive::end_object(const void* object) { append_object("end_object", object, false); }

} // namespace parser
