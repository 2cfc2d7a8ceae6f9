// Critical sections over CRITICAL_SECTION, recursive like the POSIX ones.
#include "platform/critical_section.h"

#include "platform/win32/windows_api.h"

namespace platform {

static_assert(sizeof(CRITICAL_SECTION) <= sizeof(critical_section::storage));
static_assert(alignof(CRITICAL_SECTION) <= alignof(critical_section));

static CRITICAL_SECTION* native(critical_section* section)
{
    return reinterpret_cast<CRITICAL_SECTION*>(section->storage);
}

void initialize_critical_section(critical_section* section) { InitializeCriticalSection(native(section)); }
void delete_critical_section(critical_section* section) { DeleteCriticalSection(native(section)); }
void enter_critical_section(critical_section* section) { EnterCriticalSection(native(section)); }
void leave_critical_section(critical_section* section) { LeaveCriticalSection(native(section)); }

} // namespace platform
