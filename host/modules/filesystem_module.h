// Operations of the filesystem module (filesystem_x64_rwdi): files, logging,
// crash dumps and the SDL window state. The host and the script language reach
// the module only through these declarations.
#pragma once

#include <cstdarg>
#include <cstdint>

#include "engine/kernel/string_base.h"
#include "host/modules/module_export.h"

// ---- logging ---------------------------------------------------------------

namespace Log {
namespace ELevel {
enum TYPE : int {
    None = 0,
    Fatal = 1,
    Error = 2,
    Info = 3,
    Warning = 4,
    Debug = 5,
    Verbose = 6,
    Verbose1 = 7, // 7 to 14: verbose levels 1 to 8
    Verbose8 = 14,
    Extreme = 15,
};
}

class MC_FILESYSTEM_API Settings {
public:
    static Settings& Instance();
    // The level a category's records must not exceed to be built.
    int GetCategoryLevel(const char* category) const;
    // Stand-in extension: tools and tests change a category's level at run time.
    void SetCategoryLevel(const char* category, int level);

private:
    Settings() = default;
};

// Stand-in extension: every finished record is also handed to the observer
// (tests capture records through it, the script tool counts errors).
struct Record {
    int level;
    const char* category;
    const char* file;
    int line;
    const char* function;
    const char* text; // the whole record text, pieces joined
};
using Observer = void (*)(const Record& record, void* user);
MC_FILESYSTEM_API void SetObserver(Observer observer, void* user);
// Stand-in extension: whether finished records are also written to standard
// error (on by default; the script tool shows them only when asked).
MC_FILESYSTEM_API void SetStandardErrorOutput(bool on);
} // namespace Log

namespace CLFilterAction {
enum ENUM : int { Drop = 0, Write = 1, Fatal = 3 };
}
namespace CLLineMode {
enum ENUM : int { Start = 0, Label = 1, Continue = 2 };
}

// Four-character level labels, first character in the highest byte.
constexpr uint32_t LogLabel(char a, char b, char c, char d)
{
    return uint32_t(uint8_t(a)) << 24 | uint32_t(uint8_t(b)) << 16 | uint32_t(uint8_t(c)) << 8 | uint32_t(uint8_t(d));
}

// Records carry the caller's function name as plain text (may be null); the
// filesystem module prints it with the record.
MC_FILESYSTEM_API void _CLog(Log::ELevel::TYPE level, const char* category, const char* file, int line,
    const char* function, CLFilterAction::ENUM action, CLLineMode::ENUM mode, const char* format, ...);
MC_FILESYSTEM_API void _CLog(Log::ELevel::TYPE level, const char* category, const char* file, int line,
    const char* function, CLFilterAction::ENUM action, CLLineMode::ENUM mode, const string_base& text);
MC_FILESYSTEM_API void _CLogV(Log::ELevel::TYPE level, const char* category, const char* file, int line,
    const char* function, CLFilterAction::ENUM action, CLLineMode::ENUM mode, const char* format, va_list args);
MC_FILESYSTEM_API CLFilterAction::ENUM _CLFilter(uint32_t label);
MC_FILESYSTEM_API string_base _CLogCategoryFromLabel(uint32_t label);
MC_FILESYSTEM_API Log::ELevel::TYPE _CLogLevelFromId(uint32_t label);

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
