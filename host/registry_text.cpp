// Registry string values with their built-in defaults.
#include "host/registry_text.h"

#include <cstdlib>
#include <cstring>

namespace {

void copy_text(char* buffer, uint32_t size, const char* text)
{
    size_t n = std::strlen(text);
    if (n >= size)
        n = size - 1;
    std::memcpy(buffer, text, n);
    buffer[n] = 0;
}

} // namespace

RegistryRead ReadRegistryText(platform::handle key, const char* value, char* buffer, uint32_t size, uint32_t* needed)
{
    char* scratch = static_cast<char*>(std::calloc(size, 1));
    if (!scratch)
        return RegistryRead::Missing;
    uint32_t stored = size;
    bool ok = platform::registry_read_string(key, value, scratch, &stored);
    if (ok) {
        scratch[size - 1] = 0; // a value stored without its terminator
        std::memcpy(buffer, scratch, size);
    }
    std::free(scratch);
    if (ok)
        return RegistryRead::Read;
    if (stored <= size) // the backends report the size a string would take only when it is too long
        return RegistryRead::Missing;
    if (needed)
        *needed = stored;
    return RegistryRead::TooLong;
}

void ReadRegistryTexts(RegistryText* texts, int count)
{
    platform::handle key = nullptr;
    bool opened = platform::registry_open(kRegistryKey, &key);
    for (int i = 0; i < count; ++i) {
        RegistryText& t = texts[i];
        if (!opened || ReadRegistryText(key, t.value, t.buffer, t.size) != RegistryRead::Read || t.buffer[0] == 0)
            copy_text(t.buffer, t.size, t.default_text);
    }
    if (opened)
        platform::registry_close(key);
}
