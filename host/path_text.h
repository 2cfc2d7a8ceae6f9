// Fixed path and name buffers of the host with checked composition: a piece is
// either added whole, terminator included, or the buffer stays as it was and the
// call reports false, so no path is ever cut without the caller knowing.
#pragma once

#include <cstddef>

#include "platform/platform.h"

// 260 bytes including the terminator, the Windows path limit the game's tools
// and saved paths are built around; a longer path is refused, not cut.
constexpr size_t kPathSize = platform::max_path;

struct PathText {
    char text[kPathSize] = {};

    PathText() = default;
    explicit PathText(const char* value) { assign(value); }

    bool assign(const char* value);
    bool append(const char* value);
    bool append(char c);
    // Appends the platform's separator unless the text already ends with "\" or "/".
    bool end_with_separator();
    size_t length() const;
    bool empty() const { return text[0] == 0; }
    const char* c_str() const { return text; }
};

// Logs the fatal "EXIT" record for a path or name that does not fit its
// 260-byte buffer; start-up is then refused with exit code 0.
void LogPathTooLong(const char* what, const char* first, const char* second);
