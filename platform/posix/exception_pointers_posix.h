// What a fault handed to an exception filter carries on POSIX: the Windows code
// the signal maps to, the faulting instruction, and the signal's own details.
#pragma once

#include <signal.h>

#include "platform/platform.h"

namespace platform {

struct exception_pointers {
    uint32_t code; // exception_access_violation, ... (see guard_posix.cpp)
    void* address; // the faulting instruction, as ExceptionAddress
    siginfo_t* signal; // si_addr: the data address of an access fault
    void* context; // the ucontext_t of the fault; a filter may change it before resuming
};

} // namespace platform
