// The read-only registry on POSIX: HKEY_LOCAL_MACHINE values come from an INI
// style text file, /etc/mirecrest/registry.ini unless MC_REGISTRY_FILE names
// another. Sections are key paths ([SOFTWARE\Quillon\Mirecrest], compared
// ignoring ASCII case), lines are name=value (value taken to the line end,
// blanks around the name and the value dropped), ';' or '#' start a comment.
// The file is read when a key is opened; an open key is a copy of its values.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace platform {

namespace {

constexpr const char* default_file = "/etc/mirecrest/registry.ini";
// Lines longer than 1024 bytes (texts are held in 1024-byte buffers at most)
// are skipped whole, so a cut-off value is never taken for a real one.
constexpr size_t max_line = 1024;

char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool same_ignoring_case(const char* a, const char* b, size_t b_length)
{
    size_t i = 0;
    for (; i < b_length; ++i)
        if (!a[i] || lower(a[i]) != lower(b[i]))
            return false;
    return a[i] == 0;
}

// An opened key: its values as one block "name\0value\0name\0value\0...".
struct registry_key {
    char* values = nullptr;
    size_t size = 0;
};

void add_value(registry_key* key, const char* name, size_t name_length, const char* value, size_t value_length)
{
    size_t grown = key->size + name_length + value_length + 2;
    char* block = static_cast<char*>(std::realloc(key->values, grown));
    if (!block)
        std::abort(); // out of memory: nothing sensible can continue
    std::memcpy(block + key->size, name, name_length);
    block[key->size + name_length] = 0;
    std::memcpy(block + key->size + name_length + 1, value, value_length);
    block[grown - 1] = 0;
    key->values = block;
    key->size = grown;
}

void trim(const char*& begin, const char*& end)
{
    while (begin != end && (*begin == ' ' || *begin == '\t'))
        ++begin;
    while (end != begin && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\r' || end[-1] == '\n'))
        --end;
}

// Reads one line of the file; false at its end. A line too long for the buffer
// is read to its end and reported as too_long.
bool read_line(std::FILE* file, char* line, size_t size, bool* too_long)
{
    if (!std::fgets(line, int(size), file))
        return false;
    *too_long = std::strchr(line, '\n') == nullptr && !std::feof(file);
    if (*too_long)
        for (int c = std::fgetc(file); c != EOF && c != '\n'; c = std::fgetc(file)) { }
    return true;
}

// Is this line "[subkey]"? Sets *inside to whether it names our subkey.
bool section(const char* begin, const char* end, const char* subkey, bool* inside)
{
    if (begin == end || *begin != '[' || end[-1] != ']')
        return false;
    *inside = same_ignoring_case(subkey, begin + 1, size_t(end - begin - 2));
    return true;
}

void read_values(std::FILE* file, const char* subkey, registry_key* key)
{
    char line[max_line];
    bool inside = false;
    bool too_long = false;
    while (read_line(file, line, sizeof(line), &too_long)) {
        const char* begin = line;
        const char* end = line + std::strlen(line);
        trim(begin, end);
        if (too_long || begin == end || *begin == ';' || *begin == '#' || section(begin, end, subkey, &inside))
            continue;
        const char* equals = static_cast<const char*>(std::memchr(begin, '=', size_t(end - begin)));
        if (!inside || !equals)
            continue;
        const char* name_end = equals;
        const char* value = equals + 1;
        trim(begin, name_end);
        trim(value, end);
        if (begin != name_end)
            add_value(key, begin, size_t(name_end - begin), value, size_t(end - value));
    }
}

// Does the file have the section at all (an empty section still opens)?
bool has_section(std::FILE* file, const char* subkey)
{
    char line[max_line];
    bool inside = false;
    bool too_long = false;
    std::rewind(file);
    while (read_line(file, line, sizeof(line), &too_long)) {
        const char* begin = line;
        const char* end = line + std::strlen(line);
        trim(begin, end);
        if (!too_long && section(begin, end, subkey, &inside) && inside)
            return true;
    }
    return false;
}

const char* registry_file()
{
    const char* chosen = std::getenv("MC_REGISTRY_FILE");
    return chosen && chosen[0] ? chosen : default_file;
}

} // namespace

bool registry_open(const char* subkey, handle* key)
{
    if (!subkey || !key)
        return false;
    std::FILE* file = std::fopen(registry_file(), "r");
    if (!file)
        return false;
    bool found = has_section(file, subkey);
    registry_key* opened = nullptr;
    if (found) {
        opened = new registry_key;
        std::rewind(file);
        read_values(file, subkey, opened);
    }
    std::fclose(file);
    *key = opened;
    return found;
}

bool registry_read_string(handle key, const char* value, char* buffer, uint32_t* size)
{
    auto* opened = static_cast<registry_key*>(key);
    if (!opened || !value || !buffer || !size)
        return false;
    // The last line of a name wins, as a later assignment would.
    const char* found = nullptr;
    for (size_t at = 0; at < opened->size;) {
        const char* name = opened->values + at;
        const char* text = name + std::strlen(name) + 1;
        if (same_ignoring_case(name, value, std::strlen(value)))
            found = text;
        at = size_t(text - opened->values) + std::strlen(text) + 1;
    }
    if (!found)
        return false;
    size_t needed = std::strlen(found) + 1;
    if (needed > *size) {
        *size = uint32_t(needed); // as Win32 does: the size it would take; nothing written
        return false;
    }
    std::memcpy(buffer, found, needed);
    *size = uint32_t(needed);
    return true;
}

void registry_close(handle key)
{
    auto* opened = static_cast<registry_key*>(key);
    if (!opened)
        return;
    std::free(opened->values);
    delete opened;
}

} // namespace platform
