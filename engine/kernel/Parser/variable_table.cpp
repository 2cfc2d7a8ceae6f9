// The sorted variable table: binary search by (name as unsigned bytes, type
// code), inserts before equal entries, heap array grown by reallocation. A
// 64-bit summary of the names answers most misses before any search.
#include "engine/kernel/Parser/variable_table.h"

#include <cstdlib>
#include <cstring>

#include "engine/kernel/Parser/variable.h"

namespace parser {

namespace {

// Names in unsigned byte order, as strcmp orders them. Names are a few bytes
// long and most differ in the first, so a loop here beats a library call.
int compare_names(const char* a, const char* b)
{
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return int(static_cast<unsigned char>(*a)) - int(static_cast<unsigned char>(*b));
}

int compare(const variable* v, const char* name, uint8_t type_code)
{
    int c = compare_names(v->name, name);
    if (c != 0 || type_code == any_type)
        return c;
    return int(v->type_code) - int(type_code);
}

} // namespace

// A hash of all the name's bytes folded to 6 bits.
uint64_t variable_table::name_bit(const char* name)
{
    uint32_t h = 2166136261u;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(name); *c; ++c)
        h = (h ^ *c) * 16777619u;
    return uint64_t(1) << ((h ^ (h >> 15)) & 63);
}

variable_table::~variable_table()
{
    release_all();
    std::free(entries_);
}

uint32_t variable_table::grown_capacity(uint32_t capacity, uint32_t needed)
{
    uint64_t grown = (uint64_t(capacity) * 10 / 8 + 16) & ~uint64_t(15);
    if (grown < needed)
        grown = needed;
    return grown > max_entries ? max_entries : uint32_t(grown);
}

void variable_table::reserve(uint32_t needed)
{
    if (needed <= capacity_)
        return;
    if (needed > max_entries)
        std::abort();
    uint32_t grown = grown_capacity(capacity_, needed);
    void* fresh = std::realloc(entries_, size_t(grown) * sizeof(variable*));
    if (!fresh)
        std::abort(); // out of memory: nothing sensible can continue
    entries_ = static_cast<variable**>(fresh);
    capacity_ = grown;
}

uint32_t variable_table::lower_bound(const char* name, uint8_t type_code) const
{
    uint32_t low = 0;
    uint32_t high = count_;
    while (low < high) {
        uint32_t mid = low + (high - low) / 2;
        if (compare(entries_[mid], name, type_code) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

void variable_table::insert(variable* v)
{
    reserve(count_ + 1);
    uint32_t at = lower_bound(v->name, v->type_code);
    std::memmove(entries_ + at + 1, entries_ + at, size_t(count_ - at) * sizeof(variable*));
    entries_[at] = v;
    ++count_;
    names_ |= name_bit(v->name);
}

variable* variable_table::find(const char* name, uint8_t type_code) const
{
    if (count_ == 0)
        return nullptr; // most export tables: no need to hash the name
    return find(name, type_code, name_bit(name));
}

variable* variable_table::find(const char* name, uint8_t type_code, uint64_t bit) const
{
    if (!(names_ & bit))
        return nullptr;
    if (count_ <= scan_limit)
        return scan(name, type_code);
    uint32_t at = lower_bound(name, type_code);
    if (at < count_ && compare(entries_[at], name, type_code) == 0)
        return entries_[at];
    return nullptr;
}

// The first entry in table order that matches, as the binary search would
// find it. Entries whose first byte differs are passed over without a call.
variable* variable_table::scan(const char* name, uint8_t type_code) const
{
    for (uint32_t i = 0; i < count_; ++i) {
        variable* v = entries_[i];
        if (v->name[0] == name[0] && compare(v, name, type_code) == 0)
            return v;
    }
    return nullptr;
}

void variable_table::release_all()
{
    for (uint32_t i = 0; i < count_; ++i)
        entries_[i]->release();
    count_ = 0;
    names_ = 0;
}

} // namespace parser
