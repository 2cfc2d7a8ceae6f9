// GetLogicalProcessorInformation's records built from the sysfs CPU topology.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace platform::posix {

// Masks hold 64 logical processors: processors numbered 64 and above are left
// out, as on Windows a process sees only its own processor group.
constexpr int max_logical = 64;
// A core and a package each give one record, so 128 records cover every case.
constexpr uint32_t max_records = 2 * max_logical;

// Reads <root>/cpu<N>/topology/{physical_package_id,core_id} of the online
// processors: one relationship-0 record per core (mask of its logical
// processors), then one relationship-3 record per package. The record count;
// 0 when no processor could be read. Exported for the processor tests.
MC_PLATFORM_API uint32_t read_topology(const char* root, logical_processor_information* records, uint32_t capacity);

} // namespace platform::posix
