// Reading the host's string values from the registry key
// HKEY_LOCAL_MACHINE "SOFTWARE\Quillon\Mirecrest".
#pragma once

#include <cstdint>

#include "platform/platform.h"

constexpr const char* kRegistryKey = "SOFTWARE\\Quillon\\Mirecrest";

// Reads value into buffer (size bytes), always zero-terminated. False, with the
// buffer untouched, when the value is missing, not a string or does not fit.
bool ReadRegistryText(platform::handle key, const char* value, char* buffer, uint32_t size);

// Reads each value into its buffer, or copies its default when the key or the
// value is missing, does not fit, or is an empty string.
struct RegistryText {
    const char* value;
    char* buffer;
    uint32_t size;
    const char* default_text;
};
void ReadRegistryTexts(RegistryText* texts, int count);
