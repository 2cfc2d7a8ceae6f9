// Per-category log levels: a small fixed table searched by name, and the
// parser of the MC_LOG environment text.
#include "modules/filesystem/log_levels.h"

#include <cstdlib>
#include <cstring>

#include "engine/kernel/ascii_case.h"

namespace log_levels {

const entry* table::find(const char* category) const
{
    for (int i = 0; i < count_; ++i)
        if (ascii::equal_ignoring_case(entries_[i].name, category))
            return &entries_[i];
    return nullptr;
}

entry* table::find(const char* category) { return const_cast<entry*>(static_cast<const table*>(this)->find(category)); }

int table::level(const char* category) const
{
    const entry* found = category ? find(category) : nullptr;
    return found ? found->level : default_;
}

bool table::set(const char* category, int level)
{
    if (!category || level < 0 || level > max_level)
        return false;
    size_t length = std::strlen(category);
    if (length == 0 || length >= size_t(max_name))
        return false;
    entry* found = find(category);
    if (!found) {
        if (count_ == max_categories)
            return false;
        found = &entries_[count_++];
        std::memcpy(found->name, category, length + 1);
    }
    found->level = level;
    return true;
}

// Drops blanks at both ends of [begin, end).
static void trim(const char*& begin, const char*& end)
{
    while (begin != end && *begin == ' ')
        ++begin;
    while (end != begin && end[-1] == ' ')
        --end;
}

// Reads "name=level" from [begin, end), blanks around the name and the level
// ignored; false when it does not have that shape.
static bool apply_pair(const char* begin, const char* end, table& levels)
{
    const char* equals = static_cast<const char*>(std::memchr(begin, '=', size_t(end - begin)));
    if (!equals)
        return false;
    const char* name_end = equals;
    const char* value = equals + 1;
    trim(begin, name_end);
    trim(value, end);
    if (begin == name_end || value == end)
        return false;
    char name[max_name];
    size_t name_length = size_t(name_end - begin);
    if (name_length >= sizeof(name))
        return false;
    std::memcpy(name, begin, name_length);
    name[name_length] = 0;
    int level = 0;
    for (const char* p = value; p != end; ++p) {
        if (*p < '0' || *p > '9' || level > max_level)
            return false;
        level = level * 10 + (*p - '0');
    }
    if (level > max_level)
        return false;
    if (std::strcmp(name, "*") == 0) {
        levels.set_default(level);
        return true;
    }
    return levels.set(name, level);
}

int parse(const char* text, table& levels)
{
    int refused = 0;
    if (!text)
        return 0;
    const char* begin = text;
    while (*begin) {
        const char* end = std::strchr(begin, ',');
        if (!end)
            end = begin + std::strlen(begin);
        if (end != begin && !apply_pair(begin, end, levels))
            ++refused;
        begin = *end ? end + 1 : end;
    }
    return refused;
}

} // namespace log_levels
