// The shell-folder road on Windows: GetVersionExA. The host looks for
// SHGetFolderPathA in the already loaded shell32 (GetModuleHandleA, without
// loading it): the backend imports the function, so shell32 is loaded with every
// process that uses the platform layer.
#include "platform/platform.h"
#include "platform/win32/windows_api.h"

#include <shlobj.h>

namespace platform {

namespace {

[[gnu::used]] const auto shell32_import = &SHGetFolderPathA;

} // namespace

// The record size given picks OSVERSIONINFOA or OSVERSIONINFOEXA.
bool get_version(os_version* info)
{
    if (!info || (info->size != sizeof(OSVERSIONINFOA) && info->size != sizeof(OSVERSIONINFOEXA)))
        return false;
    OSVERSIONINFOEXA version {};
    version.dwOSVersionInfoSize = info->size;
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version)))
        return false;
    info->major = version.dwMajorVersion;
    info->minor = version.dwMinorVersion;
    info->build = version.dwBuildNumber;
    return true;
}

} // namespace platform
