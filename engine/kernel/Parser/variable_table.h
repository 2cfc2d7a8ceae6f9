// The sorted variable table that scopes, export tables and call argument
// tables keep their variables in: ordered by name (unsigned bytes), then by
// type code, the newest declaration first among equals. Owns one reference
// per entry.
#pragma once

#include <cstdint>

namespace parser {

class variable;

class variable_table {
public:
    // A script declares far fewer names; the cap keeps the array's byte size
    // within 32-bit arithmetic everywhere. Growing past it stops the process,
    // as running out of heap does.
    static constexpr uint32_t max_entries = 0x10000000;

    variable_table() = default;
    ~variable_table(); // releases every entry
    variable_table(const variable_table&) = delete;
    variable_table& operator=(const variable_table&) = delete;

    // The capacity a full table of `capacity` entries grows to when it must
    // hold `needed`: the larger of needed and capacity * 10 / 8 + 16, rounded
    // down to a multiple of 16, and never above max_entries.
    static uint32_t grown_capacity(uint32_t capacity, uint32_t needed);

    // Makes room for `needed` entries by the growth rule above.
    void reserve(uint32_t needed);
    // Takes over the caller's reference; stands before older entries of the
    // same name and type code.
    void insert(variable* v);
    // The newest entry of that name and type code; type code 7 (any) gives the
    // one with the lowest type code. Adds no reference; null when none.
    variable* find(const char* name, uint8_t type_code) const;
    // The same, with the name's summary bit already worked out: a look-up
    // through nested scopes hashes the name once.
    variable* find(const char* name, uint8_t type_code, uint64_t bit) const;
    // The bit of a name in a table's name summary.
    static uint64_t name_bit(const char* name);
    // Releases every entry and empties the table; the array stays allocated.
    void release_all();

    uint32_t size() const { return count_; }
    uint32_t capacity() const { return capacity_; }
    variable* at(uint32_t i) const { return entries_[i]; }

private:
    // Index of the first entry not ordered before (name, type_code); with
    // type code 7 the first entry of that name.
    uint32_t lower_bound(const char* name, uint8_t type_code) const;
    // Small tables (a subtree's parameters, a call's arguments) are searched
    // front to back: first-byte checks cost less than the binary search's
    // string compares.
    static constexpr uint32_t scan_limit = 8;
    variable* scan(const char* name, uint8_t type_code) const;

    variable** entries_ = nullptr;
    // One bit per name hash of every entry: a name whose bit is clear is not
    // in the table, which most look-ups in nested scopes find without a search.
    uint64_t names_ = 0;
    uint32_t count_ = 0;
    uint32_t capacity_ = 0;
};

} // namespace parser
