// The write directory, the working directory and the relative-name rule of the
// filesystem module.
#include "modules/filesystem/write_directory.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "modules/filesystem/working_directory.h"
#include "platform/platform.h"

namespace write_directory {

static char directory[path_size];
static char working[path_size]; // empty: the process's current folder

bool set(const char* path)
{
    size_t length = path ? std::strlen(path) : 0;
    if (length == 0 || length >= path_size) {
        clear();
        return false;
    }
    std::memcpy(directory, path, length + 1);
    return true;
}

void clear() { directory[0] = 0; }
const char* get() { return directory; }

static bool separator(char c) { return c == '\\' || c == '/'; }

bool is_full(const char* path)
{
    if (!path)
        return false;
    if (platform::path_separator() == '/')
        return path[0] == '/';
    bool drive_root = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':'
        && separator(path[2]);
    bool network_share = separator(path[0]) && separator(path[1]);
    return drive_root || network_share;
}

bool join(const char* base, const char* name, char* out, uint32_t size)
{
    size_t base_length = std::strlen(base);
    size_t name_length = std::strlen(name);
    bool slash = base_length > 0 && base[base_length - 1] != '/' && base[base_length - 1] != '\\';
    size_t total = base_length + (slash ? 1 : 0) + name_length;
    if (total >= size)
        return false;
    std::memcpy(out, base, base_length);
    if (slash)
        out[base_length] = platform::path_separator();
    std::memcpy(out + base_length + (slash ? 1 : 0), name, name_length + 1);
    return true;
}

static bool present(const char* path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

static bool copy_if_fits(const char* path, char* out, uint32_t size)
{
    size_t length = std::strlen(path);
    if (length >= size)
        return false;
    std::memcpy(out, path, length + 1);
    return true;
}

bool resolve(const char* name, char* out, uint32_t size)
{
    if (!name || !name[0])
        return false;
    if (is_full(name))
        return present(name) && copy_if_fits(name, out, size);
    bool in_working
        = working[0] ? join(working, name, out, size) && present(out) : present(name) && copy_if_fits(name, out, size);
    return in_working || (directory[0] && join(directory, name, out, size) && present(out));
}

} // namespace write_directory

bool fs::set_working_directory(const char* path)
{
    size_t length = path ? std::strlen(path) : 0;
    if (length >= write_directory::path_size) {
        write_directory::working[0] = 0;
        return false;
    }
    std::memcpy(write_directory::working, path ? path : "", length + 1);
    return true;
}
