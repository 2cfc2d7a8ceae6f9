// Operations of the filesystem module (filesystem_x64_rwdi): files, logging
// (filesystem_log.h), crash dumps and the SDL window state. The host and the
// script language reach the module only through these declarations.
#pragma once

#include <cstdint>

#include "engine/kernel/string_base.h"
#include "host/modules/filesystem_log.h"
#include "host/modules/module_export.h"

// ---- files ------------------------------------------------------------------

namespace FFSAddSourceFlags {
enum ENUM : int { Default = 1, FallbackWriteDir = 4 };
}
namespace EFSMode {
enum TYPE : int { Read = 0 };
}
namespace FFSOpenFlags {
enum FLAGS : int { None = 0 };
}

namespace fs {
// Creates the write directory and makes it the place for user files and the log.
MC_FILESYSTEM_API bool init(const char* write_dir, FFSAddSourceFlags::ENUM flags, const char* cache_dir, bool arg3,
    bool arg4, const char* const* user_files);
MC_FILESYSTEM_API void shutdown();
MC_FILESYSTEM_API bool exists(const char* path);
MC_FILESYSTEM_API bool does_dir_exist(const char* path);
MC_FILESYSTEM_API bool is_full_path(const char* path);

// A file opened for reading; lives on the caller's stack.
class MC_FILESYSTEM_API file {
public:
    file();
    ~file();
    file(const file&) = delete;
    file& operator=(const file&) = delete;

    bool open(const char* name, EFSMode::TYPE mode, FFSOpenFlags::FLAGS flags);
    uint64_t length();
    uint64_t read(void* buffer, uint64_t length);
    void close();

private:
    void* handle_ = nullptr;
};
} // namespace fs

// ---- crash dumps ------------------------------------------------------------

namespace EDumpResult {
enum TYPE : int { Handled = 0 };
}
using DumpFunction = EDumpResult::TYPE (*)(unsigned long code, ExceptionPointers* pointers);

// Verdicts of an exception filter, as the guard understands them.
namespace ExceptionVerdict {
enum : int { ContinueExecution = -1, ContinueSearch = 0, ExecuteHandler = 1 };
}

MC_FILESYSTEM_API DumpFunction GetDumpFunction();
MC_FILESYSTEM_API void SetDumpFunction(DumpFunction function);
// Runs the installed dump function and returns the exception filter's verdict.
MC_FILESYSTEM_API int GenerateDump(unsigned long code, ExceptionPointers* pointers);
MC_FILESYSTEM_API void WriteFullDump(
    unsigned long code, ExceptionPointers* pointers, const char* text, bool full, void* buffer);
MC_FILESYSTEM_API void CrashShowMessageBox(bool allowed);
MC_FILESYSTEM_API void CrashClose();

// ---- SDL window state ---------------------------------------------------------

struct SDL_Window;
namespace platform {
struct critical_section;
}

// The module's SDL state, torn down by the host at exit.
struct SDL {
    SDL_Window* window = nullptr;
    void* gl_context = nullptr; // SDL_GLContext
    uint32_t state = 0;
    platform::critical_section* lock = nullptr;
};

extern MC_FILESYSTEM_DATA SDL* g_SdlManager;
