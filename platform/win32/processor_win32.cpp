// Processor services on Windows: CPUID, the performance counter, the
// time-stamp counter, and the priority class and thread priority calls.
#include <cpuid.h>
#include <x86intrin.h>

#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace platform {

cpuid_registers cpuid(uint32_t leaf, uint32_t subleaf)
{
    cpuid_registers r {};
    __cpuid_count(leaf, subleaf, r.eax, r.ebx, r.ecx, r.edx);
    return r;
}

bool query_performance_counter(int64_t* count)
{
    LARGE_INTEGER value {};
    if (!count || !QueryPerformanceCounter(&value))
        return false;
    *count = value.QuadPart;
    return true;
}

bool query_performance_frequency(int64_t* frequency)
{
    LARGE_INTEGER value {};
    if (!frequency || !QueryPerformanceFrequency(&value))
        return false;
    *frequency = value.QuadPart;
    return true;
}

uint64_t read_time_stamp_counter() { return __rdtsc(); }

handle current_thread() { return GetCurrentThread(); }
handle current_process() { return GetCurrentProcess(); }

uint32_t get_priority_class(handle process) { return GetPriorityClass(process); }

// Without the privilege Windows gives the high class for real time and reports
// success, so the process keeps running either way.
bool set_priority_class(handle process, uint32_t priority_class) { return SetPriorityClass(process, priority_class); }

int get_thread_priority(handle thread) { return GetThreadPriority(thread); }
bool set_thread_priority(handle thread, int priority) { return SetThreadPriority(thread, priority); }

} // namespace platform
