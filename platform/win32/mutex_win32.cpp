// The named mutex and the last error on Windows: CreateMutexA and GetLastError.
#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace platform {

handle create_mutex(bool initially_owned, const char* name)
{
    return CreateMutexA(nullptr, initially_owned ? TRUE : FALSE, name);
}

uint32_t last_error() { return GetLastError(); }

} // namespace platform
