// How the module doubles write arguments into the call log.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace fakes {

inline std::string text(const char* value) { return value ? value : "null"; }

inline std::string flag(bool value) { return value ? "true" : "false"; }

inline std::string hex(uint64_t value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%#llx", static_cast<unsigned long long>(value));
    return buffer;
}

inline std::string hex(const void* value) { return hex(uint64_t(reinterpret_cast<uintptr_t>(value))); }

} // namespace fakes
