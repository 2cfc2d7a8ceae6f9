// The calling thread's last error (GetLastError) as the POSIX backend keeps it.
#pragma once

#include <cstdint>

namespace platform::posix {

void set_last_error(uint32_t error);

} // namespace platform::posix
