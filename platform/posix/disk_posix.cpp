// Disk space and directories on POSIX: free space from statvfs (blocks
// available to unprivileged users times the fragment size), directories by mkdir.
#include <sys/stat.h>
#include <sys/statvfs.h>

#include "platform/platform.h"

namespace platform {

bool disk_free_space(const char* directory, uint64_t* available_to_caller)
{
    struct statvfs info { };
    if (!directory || !available_to_caller || statvfs(directory, &info) != 0)
        return false;
    *available_to_caller = uint64_t(info.f_bavail) * uint64_t(info.f_frsize);
    return true;
}

bool create_directory(const char* path) { return path && mkdir(path, 0777) == 0; }

} // namespace platform
