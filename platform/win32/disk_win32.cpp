// Disk space and directories on Windows: GetDiskFreeSpaceExA (the bytes the
// calling user may use, quotas included) and CreateDirectoryA.
#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace platform {

bool disk_free_space(const char* directory, uint64_t* available_to_caller)
{
    ULARGE_INTEGER available {};
    if (!directory || !available_to_caller || !GetDiskFreeSpaceExA(directory, &available, nullptr, nullptr))
        return false;
    *available_to_caller = available.QuadPart;
    return true;
}

bool create_directory(const char* path) { return path && CreateDirectoryA(path, nullptr); }

} // namespace platform
