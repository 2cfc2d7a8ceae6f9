// The process on Windows: GetCommandLineA, and ExitProcess after the C streams
// are flushed (ExitProcess itself leaves buffered output unwritten).
#include <cstdio>

#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace platform {

const char* command_line() { return GetCommandLineA(); }

void exit_process(int exit_code)
{
    std::fflush(nullptr);
    ExitProcess(UINT(exit_code));
}

} // namespace platform
