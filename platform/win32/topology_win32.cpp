// Logical processor information on Windows: GetLogicalProcessorInformation,
// whose records the platform's own record mirrors byte for byte.
#include <cstddef>

#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace platform {

static_assert(sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION) == sizeof(logical_processor_information));
static_assert(offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION, ProcessorMask)
    == offsetof(logical_processor_information, processor_mask));
static_assert(offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION, Relationship)
    == offsetof(logical_processor_information, relationship));
static_assert(RelationProcessorCore == 0 && RelationProcessorPackage == 3);

bool get_logical_processor_information(logical_processor_information* buffer, uint32_t* length)
{
    if (!length)
        return false;
    DWORD bytes = *length;
    BOOL ok = GetLogicalProcessorInformation(reinterpret_cast<SYSTEM_LOGICAL_PROCESSOR_INFORMATION*>(buffer), &bytes);
    *length = bytes;
    return ok;
}

} // namespace platform
