// The calling thread's last error (GetLastError) as the POSIX backend keeps it,
// and the numbers it gives the system's own errors.
#pragma once

#include <cstdint>

namespace platform::posix {

void set_last_error(uint32_t error);

// A system error number (errno) as a last error: the few that callers compare
// become their Win32 numbers (EACCES and EPERM error_access_denied, EEXIST
// error_file_exists); any other is errno with Win32's application bit (29) set,
// so it can never be mistaken for a Win32 number.
uint32_t from_errno(int number);
constexpr uint32_t errno_bit = 0x20000000;

} // namespace platform::posix
