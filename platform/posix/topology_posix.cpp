// Logical processor information on POSIX, from the sysfs CPU topology
// (/sys/devices/system/cpu): cores are (package, core id) pairs, packages the
// physical package ids.
#include "platform/posix/topology_posix.h"

#include <cstdio>
#include <cstring>

#include "platform/posix/last_error_posix.h"

namespace platform {

namespace {

// Reads one small decimal number from a file; false when absent or unreadable.
bool read_number(const char* root, int cpu, const char* leaf, long* value)
{
    char path[max_path];
    int written = std::snprintf(path, sizeof(path), "%s/cpu%d/%s", root, cpu, leaf);
    if (written < 0 || size_t(written) >= sizeof(path))
        return false;
    std::FILE* file = std::fopen(path, "r");
    if (!file)
        return false;
    bool read = std::fscanf(file, "%ld", value) == 1;
    std::fclose(file);
    return read;
}

// Adds cpu to the record of (relationship, key), making one if needed.
void add_to(logical_processor_information* records, long* keys, uint32_t* count, uint32_t capacity,
    int32_t relationship, long key, int cpu)
{
    for (uint32_t i = 0; i < *count; ++i)
        if (records[i].relationship == relationship && keys[i] == key) {
            records[i].processor_mask |= uint64_t(1) << cpu;
            return;
        }
    if (*count == capacity)
        return;
    records[*count] = logical_processor_information { uint64_t(1) << cpu, relationship, {} };
    keys[*count] = key;
    ++*count;
}

} // namespace

uint32_t posix::read_topology(const char* root, logical_processor_information* records, uint32_t capacity)
{
    long packages[max_logical];
    long cores[max_logical];
    int cpus[max_logical];
    int found = 0;
    for (int cpu = 0; cpu < max_logical; ++cpu) {
        long online = 1; // cpu0 often has no "online" file: it cannot go offline
        read_number(root, cpu, "online", &online);
        long package = 0;
        long core = 0;
        if (online == 0 || !read_number(root, cpu, "topology/physical_package_id", &package)
            || !read_number(root, cpu, "topology/core_id", &core))
            continue;
        packages[found] = package;
        cores[found] = core;
        cpus[found++] = cpu;
    }
    uint32_t count = 0;
    long keys[max_records];
    if (capacity > max_records)
        capacity = max_records;
    // Core keys combine package and core id: core ids repeat in every package.
    for (int i = 0; i < found; ++i)
        add_to(records, keys, &count, capacity, 0, packages[i] * 65536 + cores[i], cpus[i]);
    for (int i = 0; i < found; ++i)
        add_to(records, keys, &count, capacity, 3, packages[i], cpus[i]);
    return count;
}

bool get_logical_processor_information(logical_processor_information* buffer, uint32_t* length)
{
    if (!length)
        return false;
    logical_processor_information records[posix::max_records];
    uint32_t count = posix::read_topology("/sys/devices/system/cpu", records, posix::max_records);
    if (count == 0) {
        posix::set_last_error(31); // ERROR_GEN_FAILURE: no topology to describe
        return false;
    }
    uint32_t needed = count * uint32_t(sizeof(logical_processor_information));
    if (!buffer || *length < needed) {
        *length = needed;
        posix::set_last_error(error_insufficient_buffer);
        return false;
    }
    std::memcpy(buffer, records, needed);
    *length = needed;
    return true;
}

} // namespace platform
