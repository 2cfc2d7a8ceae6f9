// last_error: one value per thread, set by the calls that report through it.
#include "platform/posix/last_error_posix.h"

#include <cerrno>

#include "platform/platform.h"

namespace platform {

static thread_local uint32_t error = error_success;

void posix::set_last_error(uint32_t value) { error = value; }
uint32_t last_error() { return error; }

uint32_t posix::from_errno(int number)
{
    if (number == EACCES || number == EPERM)
        return error_access_denied;
    if (number == EEXIST)
        return error_file_exists;
    return errno_bit | uint32_t(number);
}

} // namespace platform
