// Files the stand-in modules write, over Win32 file handles: the log file (open
// for writing by this process alone, so a second instance picks another name
// rather than emptying it), crash reports (CREATE_NEW) and standard error.
#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace platform {

namespace {

handle checked(HANDLE file) { return file == INVALID_HANDLE_VALUE ? nullptr : file; }

// Cuts text to fit size, dropping the line break and full stop FormatMessageA ends with.
void copy_trimmed(const char* text, char* out, uint32_t size)
{
    uint32_t length = 0;
    for (; text[length] && length + 1 < size; ++length)
        out[length] = text[length];
    while (length > 0
        && (out[length - 1] == '\n' || out[length - 1] == '\r' || out[length - 1] == '.' || out[length - 1] == ' '))
        --length;
    out[length] = 0;
}

} // namespace

handle open_owned_file(const char* path)
{
    HANDLE file
        = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    if (!SetEndOfFile(file)) { // the position is at the start: this empties the file
        DWORD error = GetLastError();
        CloseHandle(file);
        SetLastError(error);
        return nullptr;
    }
    SetLastError(error_success);
    return file;
}

handle create_new_file(const char* path)
{
    return checked(
        CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}

handle standard_error() { return checked(GetStdHandle(STD_ERROR_HANDLE)); }

bool write_file(handle file, const void* data, uint32_t size)
{
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(file, at, size, &written, nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        at += written;
        size -= written;
    }
    return true;
}

bool close_file(handle file) { return !file || CloseHandle(file); }

bool delete_file(const char* path) { return DeleteFileA(path); }

void error_text(uint32_t error, char* out, uint32_t size)
{
    if (!out || size == 0)
        return;
    char text[512];
    DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    if (FormatMessageA(flags, nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof(text), nullptr)
        == 0)
        wsprintfA(text, "error %lu", static_cast<unsigned long>(error));
    copy_trimmed(text, out, size);
}

} // namespace platform
