// Module file names and paths on Windows: GetModuleFileNameA, the C runtime's
// _splitpath_s, GetCurrentDirectoryA, and "\" as the separator.
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace platform {

uint32_t module_file_name(handle module, char* out, uint32_t size)
{
    if (!out || size == 0)
        return 0;
    DWORD length = GetModuleFileNameA(static_cast<HMODULE>(module), out, size);
    if (length == 0) {
        out[0] = 0;
        return 0;
    }
    if (length >= size) { // cut: Windows XP leaves it without its zero
        out[size - 1] = 0;
        return size;
    }
    return length;
}

// Each part buffer holds max_path bytes. A path that does not fit max_path
// cannot have been produced by the Win32 calls the host uses; its parts are
// empty rather than cut.
void split_path(const char* path, char* drive, char* directory, char* file_name, char* extension)
{
    char* parts[] = { drive, directory, file_name, extension };
    for (char* part : parts)
        if (part)
            part[0] = 0;
    if (!path || std::strlen(path) >= max_path)
        return;
    _splitpath_s(path, drive, drive ? max_path : 0, directory, directory ? max_path : 0, file_name,
        file_name ? max_path : 0, extension, extension ? max_path : 0);
}

// Characters written without the zero; 0 when it failed or did not fit.
uint32_t current_directory(uint32_t size, char* out)
{
    if (!out || size == 0)
        return 0;
    DWORD length = GetCurrentDirectoryA(size, out);
    return length < size ? length : 0;
}

char path_separator() { return '\\'; }

} // namespace platform
