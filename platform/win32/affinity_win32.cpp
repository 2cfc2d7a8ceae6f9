// Processor affinity on Windows: SetThreadAffinityMask, GetProcessAffinityMask
// and SetProcessAffinityMask over 64-bit masks (one processor group).
#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace platform {

uint64_t set_thread_affinity_mask(handle thread, uint64_t mask)
{
    return SetThreadAffinityMask(thread, DWORD_PTR(mask));
}

bool get_process_affinity_mask(handle process, uint64_t* process_mask, uint64_t* system_mask)
{
    DWORD_PTR of_process = 0;
    DWORD_PTR of_system = 0;
    if (!process_mask || !system_mask || !GetProcessAffinityMask(process, &of_process, &of_system))
        return false;
    *process_mask = of_process;
    *system_mask = of_system;
    return true;
}

bool set_process_affinity_mask(handle process, uint64_t mask)
{
    return SetProcessAffinityMask(process, DWORD_PTR(mask));
}

} // namespace platform
