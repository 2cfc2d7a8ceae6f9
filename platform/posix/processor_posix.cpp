// Processor services on POSIX: CPUID through <cpuid.h>, the performance counter
// as CLOCK_MONOTONIC nanoseconds (frequency 1e9), the time-stamp counter, and
// priorities. Priority classes map to nice values and real time to SCHED_FIFO;
// the calls act on the calling thread (the only thread that uses them). Raising
// a priority without the privilege is refused by the kernel: the call returns
// false, logs nothing, and everything keeps running as it was.
#include <cpuid.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>
#include <x86intrin.h>

#include <cstdlib>

#include "platform/platform.h"

namespace platform {

namespace {

// Pseudo-handles, as GetCurrentThread / GetCurrentProcess return.
int thread_token;
int process_token;

struct class_nice {
    uint32_t priority_class;
    int nice;
};
// IDLE, BELOW_NORMAL, NORMAL, ABOVE_NORMAL, HIGH (REALTIME is SCHED_FIFO).
constexpr class_nice class_table[] = {
    { 0x40, 19 },
    { 0x4000, 10 },
    { 0x20, 0 },
    { 0x8000, -5 },
    { 0x80, -10 },
};
constexpr uint32_t normal_priority_class = 0x20;

bool real_time() { return sched_getscheduler(0) == SCHED_FIFO || sched_getscheduler(0) == SCHED_RR; }

bool set_real_time(bool on)
{
    sched_param parameter {};
    parameter.sched_priority = on ? sched_get_priority_min(SCHED_FIFO) : 0;
    return sched_setscheduler(0, on ? SCHED_FIFO : SCHED_OTHER, &parameter) == 0;
}

thread_local int thread_priority = 0; // what the last successful set_thread_priority chose

} // namespace

cpuid_registers cpuid(uint32_t leaf, uint32_t subleaf)
{
    cpuid_registers r {};
    __cpuid_count(leaf, subleaf, r.eax, r.ebx, r.ecx, r.edx);
    return r;
}

bool query_performance_counter(int64_t* count)
{
    timespec now {};
    if (!count || clock_gettime(CLOCK_MONOTONIC, &now) != 0)
        return false;
    *count = int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
    return true;
}

bool query_performance_frequency(int64_t* frequency)
{
    if (!frequency)
        return false;
    *frequency = 1000000000;
    return true;
}

uint64_t read_time_stamp_counter() { return __rdtsc(); }

handle current_thread() { return &thread_token; }
handle current_process() { return &process_token; }

uint32_t get_priority_class(handle)
{
    if (real_time())
        return realtime_priority_class;
    int nice = getpriority(PRIO_PROCESS, 0);
    const class_nice* best = nullptr;
    for (const class_nice& entry : class_table) // the class whose nice value is nearest
        if (!best || std::abs(entry.nice - nice) < std::abs(best->nice - nice))
            best = &entry;
    return best ? best->priority_class : normal_priority_class;
}

bool set_priority_class(handle, uint32_t priority_class)
{
    if (priority_class == realtime_priority_class)
        return set_real_time(true);
    if (priority_class == get_priority_class(nullptr))
        return true; // already there: a restore must not move the nice value
    for (const class_nice& entry : class_table)
        if (entry.priority_class == priority_class) {
            if (real_time() && !set_real_time(false))
                return false;
            return setpriority(PRIO_PROCESS, 0, entry.nice) == 0;
        }
    return false;
}

int get_thread_priority(handle) { return real_time() ? thread_priority_time_critical : thread_priority; }

// Time critical is SCHED_FIFO; the other levels stay under the priority class.
bool set_thread_priority(handle, int priority)
{
    if (priority == thread_priority_time_critical)
        return set_real_time(true);
    if (priority < -15 || priority > 15 || (real_time() && !set_real_time(false)))
        return false;
    thread_priority = priority;
    return true;
}

} // namespace platform
