// Module file names and paths on POSIX: the executable from /proc/self/exe, a
// loaded module from the loader's map, _splitpath with an always empty drive, the current
// directory, and "/" as the separator.
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include "platform/platform.h"

namespace platform {

// Copies text into out (size bytes) when it fits with its zero; the length, or 0.
static uint32_t copy_out(const char* text, char* out, uint32_t size)
{
    size_t length = std::strlen(text);
    if (!out || length == 0 || length >= size)
        return 0;
    std::memcpy(out, text, length + 1);
    return uint32_t(length);
}

// A module's name into out as GetModuleFileNameA gives it: cut to size - 1
// characters, and size returned, when it does not fit.
static uint32_t copy_name(const char* name, char* out, uint32_t size)
{
    size_t length = std::strlen(name);
    if (!out || size == 0 || length == 0)
        return 0;
    if (length >= size) {
        std::memcpy(out, name, size - 1);
        out[size - 1] = 0;
        return size;
    }
    std::memcpy(out, name, length + 1);
    return uint32_t(length);
}

uint32_t module_file_name(handle module, char* out, uint32_t size)
{
    if (!module) {
        char path[PATH_MAX];
        ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
        if (length <= 0)
            return 0;
        path[length] = 0;
        return copy_name(path, out, size);
    }
    // A module handle from load_library: the loader's map of it holds its path.
    link_map* map = nullptr;
    if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name)
        return 0;
    return copy_name(map->l_name, out, size);
}

// Copies [begin, end) into a max_path buffer (may be null), cut to fit.
static void copy_part(const char* begin, const char* end, char* out)
{
    if (!out)
        return;
    size_t length = size_t(end - begin);
    if (length >= max_path)
        length = max_path - 1;
    std::memcpy(out, begin, length);
    out[length] = 0;
}

void split_path(const char* path, char* drive, char* directory, char* file_name, char* extension)
{
    const char* end = path + std::strlen(path);
    const char* name = path;
    for (const char* p = path; p != end; ++p)
        if (*p == '/' || *p == '\\')
            name = p + 1;
    const char* dot = end;
    for (const char* p = end; p != name; --p)
        if (p[-1] == '.') {
            dot = p - 1;
            break;
        }
    copy_part(path, path, drive); // POSIX paths have no drive
    copy_part(path, name, directory);
    copy_part(name, dot, file_name);
    copy_part(dot, end, extension);
}

uint32_t current_directory(uint32_t size, char* out)
{
    char path[PATH_MAX];
    if (!getcwd(path, sizeof(path)))
        return 0;
    return copy_out(path, out, size);
}

char path_separator() { return '/'; }

} // namespace platform
