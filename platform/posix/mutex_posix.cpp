// The named mutex on POSIX: an exclusive lock (flock) on a file named after the
// mutex in the runtime directory ($XDG_RUNTIME_DIR, else /tmp). Held by another
// process: error_already_exists with a handle, as CreateMutexA reports an
// existing mutex; a file we may not open: null with error_access_denied. The
// lock lives as long as its descriptor, which is never closed: the process's life.
#include <fcntl.h>
#include <sys/file.h>
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

} // namespace

handle create_mutex(bool, const char* name)
{
    char path[max_path];
    if (!name || !lock_file_path(name, path, sizeof(path))) {
        posix::set_last_error(error_access_denied);
        return nullptr;
    }
    int descriptor = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        posix::set_last_error(errno == EACCES || errno == EPERM ? error_access_denied : error_general_failure);
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
