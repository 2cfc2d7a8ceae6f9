// What a fault handed to an exception filter carries on Windows: the system's
// own EXCEPTION_POINTERS (exception record and thread context).
#pragma once

#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace platform {

struct exception_pointers {
    EXCEPTION_POINTERS native;
};

} // namespace platform
