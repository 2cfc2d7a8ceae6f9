// Minidumps on Windows: MiniDumpWriteDump (dbghelp) of the calling process,
// written from the faulting thread with the fault's record and context.
#include "platform/win32/exception_pointers_win32.h"

#include <dbghelp.h>

namespace platform {

namespace {

// A normal dump holds the threads, their stacks and the module list; a full
// one all of the process's memory and its handles besides.
MINIDUMP_TYPE dump_type(bool full)
{
    return full ? MINIDUMP_TYPE(MiniDumpWithFullMemory | MiniDumpWithHandleData) : MiniDumpNormal;
}

} // namespace

bool write_minidump(const char* path, exception_pointers* pointers, bool full)
{
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    MINIDUMP_EXCEPTION_INFORMATION fault {};
    fault.ThreadId = GetCurrentThreadId();
    fault.ExceptionPointers = pointers ? &pointers->native : nullptr;
    fault.ClientPointers = FALSE;
    BOOL written = MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), file, dump_type(full),
        pointers ? &fault : nullptr, nullptr, nullptr);
    DWORD error = GetLastError();
    CloseHandle(file);
    if (!written) {
        DeleteFileA(path); // no half-written dump is left behind
        SetLastError(error);
    }
    return written;
}

} // namespace platform
