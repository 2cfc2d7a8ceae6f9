// The process on POSIX: the command line from /proc/self/cmdline (arguments
// joined by single blanks, read once) and exit_process, which flushes the C
// streams and then ends at once with _exit, like ExitProcess.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace platform {

namespace {

// Reads the whole file into a zero-terminated malloc block; null on failure.
char* read_all(const char* path, size_t* size)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return nullptr;
    size_t capacity = 4096;
    size_t used = 0;
    char* text = static_cast<char*>(std::malloc(capacity));
    while (text) {
        used += std::fread(text + used, 1, capacity - used - 1, file);
        if (used < capacity - 1)
            break;
        capacity *= 2;
        char* grown = static_cast<char*>(std::realloc(text, capacity));
        if (!grown)
            std::free(text);
        text = grown;
    }
    std::fclose(file);
    if (text)
        text[used] = 0;
    *size = used;
    return text;
}

const char* build_command_line()
{
    size_t size = 0;
    char* text = read_all("/proc/self/cmdline", &size);
    if (!text)
        return "";
    while (size > 0 && text[size - 1] == 0) // the last argument's own terminator
        --size;
    for (size_t i = 0; i < size; ++i)
        if (text[i] == 0)
            text[i] = ' ';
    text[size] = 0;
    return text; // kept for the life of the process, as GetCommandLineA's text is
}

} // namespace

const char* command_line()
{
    static const char* line = build_command_line();
    return line;
}

void exit_process(int exit_code)
{
    std::fflush(nullptr);
    _exit(exit_code);
}

} // namespace platform
