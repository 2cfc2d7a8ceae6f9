// The registry on Windows: RegOpenKeyExA under HKEY_LOCAL_MACHINE with
// KEY_QUERY_VALUE, RegQueryValueExA for string values, RegCloseKey.
#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace platform {

bool registry_open(const char* subkey, handle* key)
{
    if (!subkey || !key)
        return false;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return false;
    *key = opened;
    return true;
}

// A stored string need not end with its zero: one is added when there is room,
// and a value without room for it counts as too long.
bool registry_read_string(handle key, const char* value, char* buffer, uint32_t* size)
{
    if (!key || !value || !buffer || !size || *size == 0)
        return false;
    DWORD type = 0;
    DWORD bytes = *size;
    LONG status
        = RegQueryValueExA(static_cast<HKEY>(key), value, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    bool string = type == REG_SZ || type == REG_EXPAND_SZ;
    if (status == ERROR_MORE_DATA && string)
        *size = bytes; // the size it would take, as the call reports it
    if (status != ERROR_SUCCESS || !string)
        return false;
    if (bytes == 0 || buffer[bytes - 1] != 0) {
        if (bytes >= *size) {
            *size = bytes + 1;
            return false;
        }
        buffer[bytes++] = 0;
    }
    *size = bytes;
    return true;
}

void registry_close(handle key)
{
    if (key)
        RegCloseKey(static_cast<HKEY>(key));
}

} // namespace platform
