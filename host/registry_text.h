// Reading the host's string values from the registry key
// HKEY_LOCAL_MACHINE "SOFTWARE\Quillon\Mirecrest".
#pragma once

#include <cstdint>

#include "platform/platform.h"

constexpr const char* kRegistryKey = "SOFTWARE\\Quillon\\Mirecrest";

// What reading one registry text found.
enum class RegistryRead {
    Read, // in the buffer, zero-terminated
    Missing, // missing or not a string
    TooLong, // a string that does not fit the buffer
};

// Reads value into buffer (size bytes), always zero-terminated; the buffer is
// untouched unless the value was read. For a value too long, *needed (when not
// null) is the size it would take, terminator included.
RegistryRead ReadRegistryText(
    platform::handle key, const char* value, char* buffer, uint32_t size, uint32_t* needed = nullptr);

// Reads each value into its buffer, or copies its default when the key or the
// value is missing, does not fit, or is an empty string.
struct RegistryText {
    const char* value;
    char* buffer;
    uint32_t size;
    const char* default_text;
};
void ReadRegistryTexts(RegistryText* texts, int count);
