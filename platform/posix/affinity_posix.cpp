// Processor affinity on POSIX through sched_setaffinity / sched_getaffinity.
// Masks cover the first 64 logical processors, as on Windows without processor
// groups. A thread mask applies to the calling thread; a process mask is set on
// every thread of the process, so that it holds for the whole process.
#include <dirent.h>
#include <sched.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/platform.h"

namespace platform {

namespace {

constexpr int mask_bits = 64;

uint64_t to_mask(const cpu_set_t& set)
{
    uint64_t mask = 0;
    for (int cpu = 0; cpu < mask_bits; ++cpu)
        if (CPU_ISSET(cpu, &set))
            mask |= uint64_t(1) << cpu;
    return mask;
}

cpu_set_t to_set(uint64_t mask)
{
    cpu_set_t set;
    CPU_ZERO(&set);
    for (int cpu = 0; cpu < mask_bits; ++cpu)
        if (mask & (uint64_t(1) << cpu))
            CPU_SET(cpu, &set);
    return set;
}

bool affinity_of(pid_t task, uint64_t* mask)
{
    cpu_set_t set;
    if (sched_getaffinity(task, sizeof(set), &set) != 0)
        return false;
    *mask = to_mask(set);
    return true;
}

// The logical processors the system has online, as a mask.
uint64_t system_mask()
{
    long online = sysconf(_SC_NPROCESSORS_ONLN);
    if (online <= 0)
        return 1;
    return online >= mask_bits ? ~uint64_t(0) : (uint64_t(1) << online) - 1;
}

} // namespace

uint64_t set_thread_affinity_mask(handle, uint64_t mask)
{
    uint64_t previous = 0;
    if (mask == 0 || !affinity_of(0, &previous))
        return 0;
    cpu_set_t set = to_set(mask);
    return sched_setaffinity(0, sizeof(set), &set) == 0 ? previous : 0;
}

bool get_process_affinity_mask(handle, uint64_t* process_mask, uint64_t* system)
{
    if (!process_mask || !system || !affinity_of(getpid(), process_mask))
        return false;
    *system = system_mask();
    return true;
}

bool set_process_affinity_mask(handle, uint64_t mask)
{
    if (mask == 0)
        return false;
    cpu_set_t set = to_set(mask);
    if (sched_setaffinity(getpid(), sizeof(set), &set) != 0)
        return false;
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks)
        return true; // the main thread has it; there is no list of the others
    while (dirent* entry = readdir(tasks)) {
        pid_t task = pid_t(std::atoi(entry->d_name));
        if (task > 0)
            sched_setaffinity(task, sizeof(set), &set); // a thread that just ended is no error
    }
    closedir(tasks);
    return true;
}

} // namespace platform
