// The Win32 exception guard: the shared contract over structured exceptions
// and VirtualProtect; a process the fault ends exits with the exception code.
#include "platform/platform.h"
#include "platform/win32/windows_api.h"
#include "tests/support/guard_contract.h"

namespace guard_contract {

void* no_access_page() { return VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS); }

void make_writable(void* page)
{
    DWORD previous = 0;
    VirtualProtect(page, 1, PAGE_READWRITE, &previous);
}

void free_page(void* page) { VirtualFree(page, 0, MEM_RELEASE); }

bool ended_by_the_fault(int status) { return status == int(platform::exception_access_violation); }

} // namespace guard_contract
