// Critical sections: the one lock the script pools and the unit cache use. Real
// on every backend (the test fake does not replace it).
#pragma once

namespace platform {

// Storage large enough for a CRITICAL_SECTION or a pthread mutex.
struct critical_section {
    alignas(8) unsigned char storage[64];
};

void initialize_critical_section(critical_section* section);
void delete_critical_section(critical_section* section);
void enter_critical_section(critical_section* section);
void leave_critical_section(critical_section* section);

// Holds a critical section for the lifetime of a scope.
class scoped_lock {
public:
    explicit scoped_lock(critical_section& section) : section_(section) { enter_critical_section(&section_); }
    ~scoped_lock() { leave_critical_section(&section_); }
    scoped_lock(const scoped_lock&) = delete;
    scoped_lock& operator=(const scoped_lock&) = delete;

private:
    critical_section& section_;
};

} // namespace platform
