// Recording double of the filesystem module: fs:: calls, logging (records are
// kept with their text), dump functions and crash handling, g_SdlManager.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "host/crash_guard.h"
#include "platform/fake/fake_platform.h"
#include "tests/host/fakes/describe.h"
#include "tests/host/fakes/fake_modules.h"

using fakes::flag;
using fakes::hex;
using fakes::text;
using platform::fake::record;

SDL* g_SdlManager = nullptr;

namespace fakes {
namespace {

DumpFunction g_dump_function = previous_dump_function;

std::string dump_function_name(DumpFunction function)
{
    if (function == &HostDumpFunction)
        return "HostDumpFunction";
    if (function == &previous_dump_function)
        return "previous";
    return function ? "other" : "null";
}

std::string format_text(const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out(n > 0 ? size_t(n) : 0, '\0');
    if (n > 0)
        std::vsnprintf(out.data(), out.size() + 1, format, args);
    return out;
}

void add_log(Log::ELevel::TYPE level, const char* category, const char* file, int line, const char* function,
    CLFilterAction::ENUM action, CLLineMode::ENUM mode, std::string text_value)
{
    add_log_entry(log_entry { int(level), text(category), text(file), line, function ? function : "", int(action),
        int(mode), std::move(text_value) });
}

} // namespace

void reset_dump_function() { g_dump_function = previous_dump_function; }

DumpFunction installed_dump_function() { return g_dump_function; }

EDumpResult::TYPE previous_dump_function(unsigned long code, ExceptionPointers*)
{
    record("previous dump function(" + hex(uint64_t(code)) + ")");
    return EDumpResult::Handled;
}

} // namespace fakes

namespace Log {

Settings& Settings::Instance()
{
    static Settings settings;
    return settings;
}

int Settings::GetCategoryLevel(const char* category) const
{
    const auto& levels = fakes::set().category_levels;
    auto found = levels.find(text(category));
    return found == levels.end() ? fakes::set().default_category_level : found->second;
}

void Settings::SetCategoryLevel(const char* category, int level)
{
    fakes::set().category_levels[text(category)] = level;
}

void SetObserver(Observer, void*) { }
void SetStandardErrorOutput(bool) { }

} // namespace Log

void _CLog(Log::ELevel::TYPE level, const char* category, const char* file, int line, const char* function,
    CLFilterAction::ENUM action, CLLineMode::ENUM mode, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    fakes::add_log(level, category, file, line, function, action, mode, fakes::format_text(format, args));
    va_end(args);
}

void _CLog(Log::ELevel::TYPE level, const char* category, const char* file, int line, const char* function,
    CLFilterAction::ENUM action, CLLineMode::ENUM mode, const string_base& text_value)
{
    fakes::add_log(level, category, file, line, function, action, mode, text_value.c_str());
}

void _CLogV(Log::ELevel::TYPE level, const char* category, const char* file, int line, const char* function,
    CLFilterAction::ENUM action, CLLineMode::ENUM mode, const char* format, va_list args)
{
    fakes::add_log(level, category, file, line, function, action, mode, fakes::format_text(format, args));
}

CLFilterAction::ENUM _CLFilter(uint32_t label) { return label ? CLFilterAction::Write : CLFilterAction::Drop; }

string_base _CLogCategoryFromLabel(uint32_t) { return string_base(); }

Log::ELevel::TYPE _CLogLevelFromId(uint32_t) { return Log::ELevel::Error; }

namespace fs {

bool init(const char* write_dir, FFSAddSourceFlags::ENUM flags, const char* cache_dir, bool arg3, bool arg4,
    const char* const* user_files)
{
    fakes::set_user_files(user_files);
    record("fs::init(" + text(write_dir) + ", " + std::to_string(int(flags)) + ", " + text(cache_dir) + ", "
        + flag(arg3) + ", " + flag(arg4) + ")");
    return true;
}

void shutdown() { record("fs::shutdown()"); }

bool exists(const char* path)
{
    record("fs::exists(" + text(path) + ")");
    return fakes::set().files.count(text(path)) != 0;
}

bool does_dir_exist(const char* path)
{
    record("fs::does_dir_exist(" + text(path) + ")");
    return fakes::set().does_dir_exist;
}

// A drive letter or a leading separator makes a full path in this double.
bool is_full_path(const char* path)
{
    record("fs::is_full_path(" + text(path) + ")");
    std::string p = text(path);
    return (p.size() >= 2 && p[1] == ':') || (!p.empty() && (p[0] == '\\' || p[0] == '/'));
}

// An open file of the double: its text, read from the start.
namespace {
const std::string* open_text(void* handle) { return static_cast<const std::string*>(handle); }
} // namespace

file::file() = default;
file::~file() = default;
bool file::open(const char* name, EFSMode::TYPE, FFSOpenFlags::FLAGS)
{
    record("fs::file::open(" + text(name) + ")");
    auto found = fakes::set().files.find(text(name));
    handle_ = found == fakes::set().files.end() ? nullptr : const_cast<std::string*>(&found->second);
    return handle_ != nullptr;
}
uint64_t file::length() { return handle_ ? open_text(handle_)->size() : 0; }
uint64_t file::read(void* buffer, uint64_t length)
{
    if (!handle_)
        return 0;
    uint64_t n = std::min<uint64_t>(length, open_text(handle_)->size());
    std::memcpy(buffer, open_text(handle_)->data(), n);
    return n;
}
void file::close() { handle_ = nullptr; }

} // namespace fs

DumpFunction GetDumpFunction()
{
    record("GetDumpFunction()");
    return fakes::g_dump_function;
}

void SetDumpFunction(DumpFunction function)
{
    record("SetDumpFunction(" + fakes::dump_function_name(function) + ")");
    fakes::g_dump_function = function;
}

int GenerateDump(unsigned long code, ExceptionPointers* pointers)
{
    record("GenerateDump(" + hex(uint64_t(code)) + ")");
    if (fakes::g_dump_function)
        fakes::g_dump_function(code, pointers);
    return fakes::set().dump_verdict;
}

void WriteFullDump(unsigned long code, ExceptionPointers* pointers, const char* text_value, bool full, void* buffer)
{
    record("WriteFullDump(" + hex(uint64_t(code)) + ", " + (pointers ? "pointers" : "null") + ", " + text(text_value)
        + ", " + flag(full) + ", " + (buffer ? "ptr" : "null") + ")");
}

void CrashShowMessageBox(bool allowed) { record("CrashShowMessageBox(" + flag(allowed) + ")"); }

void CrashClose() { record("CrashClose()"); }
