// The logging operations of the filesystem module (filesystem_x64_rwdi): the
// one part of the module interface the kernel's log funnel and every layer
// above it use. The rest of the module's operations are in filesystem_module.h.
#pragma once

#include <cstdarg>
#include <cstdint>

#include "engine/kernel/string_base.h"
#include "host/modules/module_export.h"

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
