// The named mutex on POSIX: an exclusive lock (flock) on a file named after the
// mutex in the runtime directory ($XDG_RUNTIME_DIR, else /tmp). Only the lock
// means a running instance: held by another process, error_already_exists with
// a handle, as CreateMutexA reports an existing mutex. The file itself means
// nothing: another user's file is locked through a read-only descriptor; one we
// may not open at all counts (null with error_access_denied) only while the
// kernel's lock table shows it locked; a link or anything but a regular file at
// the path (never followed) proves no running instance: null with a general
// failure, told on standard error. The lock lives as long as its descriptor,
// which is never closed: the process's life.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/posix/last_error_posix.h"

namespace platform {

namespace {

// "Global\IronveilMutex" becomes "mc-mutex-Global_IronveilMutex": path
// separators and other odd characters turn into '_'.
bool lock_file_path(const char* name, char* out, size_t size)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !runtime[0])
        runtime = "/tmp";
    int written = std::snprintf(out, size, "%s/mc-mutex-%s", runtime, name);
    if (written < 0 || size_t(written) >= size)
        return false;
    for (char* p = out + std::strlen(runtime) + 1; *p; ++p)
        if (!((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9') || *p == '-'
                || *p == '.'))
            *p = '_';
    return true;
}

// Any other failure: ERROR_GEN_FAILURE, never a number the caller reads as one of the two above.
constexpr uint32_t error_general_failure = 31;

// Handles are the descriptor plus one, so that descriptor 0 is not null.
handle as_handle(int descriptor) { return reinterpret_cast<handle>(intptr_t(descriptor) + 1); }

// Opens the lock file without following a link or waiting on a FIFO: for
// writing where we may (creating it readable by every user, whatever the
// umask, so that their instances can lock it too), else for reading (flock
// needs no more). -1 with errno when neither works.
int open_lock_file(const char* path)
{
    constexpr int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    int descriptor = open(path, O_RDWR | O_CREAT | flags, 0644);
    if (descriptor >= 0) {
        struct stat status { };
        if (fstat(descriptor, &status) == 0 && status.st_uid == geteuid())
            fchmod(descriptor, 0644); // best effort: a file made under a strict umask
        return descriptor;
    }
    if (errno != EACCES && errno != EPERM)
        return -1;
    return open(path, O_RDONLY | flags);
}

// Does the kernel's lock table (/proc/locks) hold a flock on the file at path?
// For a file we may not open: its lock still shows there with its inode.
bool locked_elsewhere(const char* path)
{
    struct stat status { };
    std::FILE* locks = lstat(path, &status) == 0 ? std::fopen("/proc/locks", "re") : nullptr;
    if (!locks)
        return false;
    char line[256];
    bool found = false;
    while (!found && std::fgets(line, sizeof(line), locks)) {
        char kind[16] = {};
        unsigned device_major = 0;
        unsigned device_minor = 0;
        unsigned long long inode = 0;
        found = std::sscanf(line, "%*d: %15s %*s %*s %*d %x:%x:%llu", kind, &device_major, &device_minor, &inode) == 4
            && std::strcmp(kind, "FLOCK") == 0 && device_major == major(status.st_dev)
            && device_minor == minor(status.st_dev) && inode == status.st_ino;
    }
    std::fclose(locks);
    return found;
}

void tell(const char* path, const char* why)
{
    std::fprintf(stderr, "WARN Platform create_mutex: the instance lock '%s' cannot be taken: %s\n", path, why);
    std::fflush(stderr);
}

} // namespace

handle create_mutex(bool, const char* name)
{
    char path[max_path];
    if (!name || !lock_file_path(name, path, sizeof(path))) {
        posix::set_last_error(error_general_failure);
        return nullptr;
    }
    int descriptor = open_lock_file(path);
    if (descriptor < 0 && (errno == EACCES || errno == EPERM) && locked_elsewhere(path)) {
        posix::set_last_error(error_access_denied);
        return nullptr;
    }
    if (descriptor < 0) {
        tell(path, errno == ELOOP ? "it is a symbolic link" : std::strerror(errno));
        posix::set_last_error(error_general_failure);
        return nullptr;
    }
    struct stat status { };
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        tell(path, "it is not a regular file");
        close(descriptor);
        posix::set_last_error(error_general_failure);
        return nullptr;
    }
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        posix::set_last_error(errno == EWOULDBLOCK ? error_already_exists : error_general_failure);
        return as_handle(descriptor);
    }
    posix::set_last_error(error_success);
    return as_handle(descriptor);
}

} // namespace platform
