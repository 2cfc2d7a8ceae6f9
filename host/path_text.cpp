// Checked composition of the host's 260-byte path buffers and the one record
// written when a path does not fit.
#include "host/path_text.h"

#include <cstring>

#include "engine/kernel/log_record.h"
#include "host/host_log.h"

bool PathText::assign(const char* value)
{
    size_t n = value ? std::strlen(value) : 0;
    if (n >= kPathSize)
        return false;
    std::memcpy(text, value ? value : "", n);
    text[n] = 0;
    return true;
}

bool PathText::append(const char* value)
{
    size_t have = length();
    size_t n = value ? std::strlen(value) : 0;
    if (have + n >= kPathSize)
        return false;
    std::memcpy(text + have, value ? value : "", n);
    text[have + n] = 0;
    return true;
}

bool PathText::append(char c)
{
    char piece[2] = { c, 0 };
    return append(piece);
}

bool PathText::end_with_separator()
{
    size_t n = length();
    if (n > 0 && (text[n - 1] == '\\' || text[n - 1] == '/'))
        return true;
    return append(platform::path_separator());
}

size_t PathText::length() const { return std::strlen(text); }

void LogPathTooLong(const char* what, const char* first, const char* second)
{
    Log::Fatal(HostWhere(__LINE__), "%s does not fit in %d characters: %.200s%.200s ...\n", what, int(kPathSize - 1),
        first ? first : "", second ? second : "");
}
