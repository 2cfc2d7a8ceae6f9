// Files the stand-in modules write, over plain descriptors: the log file (held
// with an exclusive flock, so a second instance picks another name rather than
// emptying it), crash reports (O_EXCL, links never followed) and standard error.
// write_file, close_file, delete_file and error_text allocate nothing and take
// no lock, so a crash handler may call them.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/platform.h"
#include "platform/posix/last_error_posix.h"

namespace platform {

namespace {

// Handles are the descriptor plus one, so that descriptor 0 is not null.
handle as_handle(int descriptor) { return reinterpret_cast<handle>(intptr_t(descriptor) + 1); }
int descriptor_of(handle file) { return int(reinterpret_cast<intptr_t>(file) - 1); }

handle failed()
{
    posix::set_last_error(posix::from_errno(errno));
    return nullptr;
}

// Copies text into out and cuts it to fit; signal-safe.
void copy_text(const char* text, char* out, uint32_t size)
{
    uint32_t i = 0;
    for (; text[i] && i + 1 < size; ++i)
        out[i] = text[i];
    out[i] = 0;
}

// "error N" for numbers the system has no words for; signal-safe.
void unknown_error(uint32_t error, char* out, uint32_t size)
{
    char text[32] = "error ";
    char digits[12];
    int count = 0;
    do
        digits[count++] = char('0' + error % 10);
    while ((error /= 10) != 0);
    char* at = text + 6;
    while (count > 0)
        *at++ = digits[--count];
    *at = 0;
    copy_text(text, out, size);
}

// The Win32 numbers this backend sets itself, in the system's words where it has them.
struct named_error {
    uint32_t error;
    int errno_number; // 0: the text below
    const char* text;
};
constexpr named_error named_errors[] = {
    { error_success, 0, "Success" },
    { error_access_denied, EACCES, nullptr },
    { error_sharing_violation, 0, "The file is in use by another process" },
    { 31, 0, "A device attached to the system is not functioning" }, // ERROR_GEN_FAILURE
    { error_not_supported, 0, "The request is not supported" },
    { error_file_exists, EEXIST, nullptr },
    { error_insufficient_buffer, 0, "The data area passed to a system call is too small" },
    { error_already_exists, EEXIST, nullptr },
};

} // namespace

handle open_owned_file(const char* path)
{
    int descriptor = open(path, O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (descriptor < 0)
        return failed();
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        int number = errno;
        close(descriptor);
        posix::set_last_error(number == EWOULDBLOCK ? error_sharing_violation : posix::from_errno(number));
        return nullptr;
    }
    struct stat status { };
    if (fstat(descriptor, &status) != 0 || (S_ISREG(status.st_mode) && ftruncate(descriptor, 0) != 0)) {
        int number = errno;
        close(descriptor);
        errno = number;
        return failed();
    }
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    posix::set_last_error(error_success);
    return as_handle(descriptor);
}

handle create_new_file(const char* path)
{
    int descriptor = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return failed();
    posix::set_last_error(error_success);
    return as_handle(descriptor);
}

handle standard_error() { return as_handle(STDERR_FILENO); }

bool write_file(handle file, const void* data, uint32_t size)
{
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = write(descriptor_of(file), at, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            posix::set_last_error(written < 0 ? posix::from_errno(errno) : posix::from_errno(EIO));
            return false;
        }
        at += written;
        size -= uint32_t(written);
    }
    return true;
}

bool close_file(handle file)
{
    if (!file || close(descriptor_of(file)) == 0)
        return true;
    posix::set_last_error(posix::from_errno(errno));
    return false;
}

bool delete_file(const char* path)
{
    if (unlink(path) == 0)
        return true;
    posix::set_last_error(posix::from_errno(errno));
    return false;
}

void error_text(uint32_t error, char* out, uint32_t size)
{
    if (!out || size == 0)
        return;
    int number = (error & posix::errno_bit) ? int(error & ~posix::errno_bit) : 0;
    const char* text = nullptr;
    for (const named_error& named : named_errors)
        if (named.error == error) {
            number = named.errno_number;
            text = named.text;
        }
    if (!text && number > 0)
        text = strerrordesc_np(number); // untranslated and allocation-free, unlike strerror
    if (text)
        copy_text(text, out, size);
    else
        unknown_error(error, out, size);
}

} // namespace platform
