// The shell-folder road on POSIX. The version is reported as 10, so callers take
// the shell32 branch: "shell32.dll" (and "SHFolder.dll") stand for a token whose
// "SHGetFolderPathA" answers CSIDL_PERSONAL with the XDG documents folder
// ($XDG_DOCUMENTS_DIR, else XDG_DOCUMENTS_DIR in user-dirs.dirs of the XDG
// configuration folder, else $HOME). Nothing is spawned to find it.
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/posix/shell_folder_posix.h"

namespace platform {

namespace {

constexpr long s_ok = 0;
constexpr long e_fail = long(int32_t(0x80004005));
constexpr long e_invalidarg = long(int32_t(0x80070057));
// user-dirs.dirs lines are short; a longer line is skipped.
constexpr size_t max_line = 1024;

int shell_token; // its address stands for shell32.dll / SHFolder.dll

bool copy_path(const char* text, char* out, size_t size)
{
    size_t length = std::strlen(text);
    if (length == 0 || length >= size)
        return false;
    std::memcpy(out, text, length + 1);
    return true;
}

// XDG_DOCUMENTS_DIR="$HOME/Documents" from user-dirs.dirs, "$HOME" expanded.
bool documents_from_user_dirs(const char* home, char* out, size_t size)
{
    char file_name[max_path];
    const char* config = std::getenv("XDG_CONFIG_HOME");
    int written = config && config[0] ? std::snprintf(file_name, sizeof(file_name), "%s/user-dirs.dirs", config)
                                      : std::snprintf(file_name, sizeof(file_name), "%s/.config/user-dirs.dirs", home);
    if (written < 0 || size_t(written) >= sizeof(file_name))
        return false;
    std::FILE* file = std::fopen(file_name, "r");
    if (!file)
        return false;
    char line[max_line];
    bool found = false;
    const char* key = "XDG_DOCUMENTS_DIR=\"";
    while (!found && std::fgets(line, sizeof(line), file)) {
        char* end = std::strrchr(line, '"');
        if (std::strncmp(line, key, std::strlen(key)) != 0 || !end || end < line + std::strlen(key))
            continue;
        *end = 0;
        const char* value = line + std::strlen(key);
        if (std::strncmp(value, "$HOME", 5) == 0)
            written = std::snprintf(out, size, "%s%s", home, value + 5);
        else
            written = std::snprintf(out, size, "%s", value);
        found = written > 0 && size_t(written) < size && out[0] == '/';
    }
    std::fclose(file);
    return found;
}

bool documents_folder(char* out, size_t size)
{
    const char* chosen = std::getenv("XDG_DOCUMENTS_DIR");
    if (chosen && chosen[0] == '/')
        return copy_path(chosen, out, size);
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/')
        return false;
    return documents_from_user_dirs(home, out, size) || copy_path(home, out, size);
}

long folder_path(handle, int folder, handle, uint32_t, char* path)
{
    if ((folder & 0xFF) != csidl_personal || !path)
        return e_invalidarg;
    return documents_folder(path, max_path) ? s_ok : e_fail;
}

} // namespace

bool get_version(os_version* info)
{
    if (!info || (info->size != 148 && info->size != 156)) // OSVERSIONINFOA or OSVERSIONINFOEXA
        return false;
    info->major = 10;
    info->minor = 0;
    info->build = 19045;
    return true;
}

bool posix::is_shell_module_name(const char* name)
{
    return name && (strcasecmp(name, "shell32.dll") == 0 || strcasecmp(name, "shfolder.dll") == 0);
}

handle posix::shell_module() { return &shell_token; }

void* posix::shell_proc(const char* name)
{
    folder_path_function function = folder_path;
    return std::strcmp(name, "SHGetFolderPathA") == 0 ? reinterpret_cast<void*>(function) : nullptr;
}

} // namespace platform
