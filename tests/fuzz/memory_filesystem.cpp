// The in-memory stand-in of the filesystem module's files and log calls that
// the script language and the settings reader use.
#include "tests/fuzz/memory_filesystem.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

#include "engine/kernel/ascii_case.h"
#include "host/modules/filesystem_module.h"

namespace {

std::string folded(const char* name)
{
    std::string out = name ? name : "";
    std::transform(out.begin(), out.end(), out.begin(), ascii::lower);
    return out;
}

std::map<std::string, std::string>& files()
{
    static std::map<std::string, std::string> all;
    return all;
}

const std::string* find(const char* name)
{
    auto found = files().find(folded(name));
    return found == files().end() ? nullptr : &found->second;
}

// A record's text is formatted into the size the game's message texts have,
// then dropped.
void format_and_drop(const char* format, va_list args)
{
    char text[1024];
    std::vsnprintf(text, sizeof text, format ? format : "", args);
}

void copy_and_drop(const char* text)
{
    char copy[1024];
    std::snprintf(copy, sizeof copy, "%s", text);
}

// An open file: its text and how much of it was read.
struct open_file {
    const std::string* text;
    size_t offset;
};

} // namespace

namespace memory_filesystem {

void clear() { files().clear(); }

void add(const std::string& name, const std::string& text) { files()[folded(name.c_str())] = text; }

} // namespace memory_filesystem

// Every category takes every record, so every message is built.
namespace Log {

Settings& Settings::Instance()
{
    static Settings settings;
    return settings;
}

int Settings::GetCategoryLevel(const char*) const { return ELevel::Extreme; }

void Settings::SetCategoryLevel(const char*, int) { }

void SetObserver(Observer, void*) { }

} // namespace Log

void _CLog(Log::ELevel::TYPE, const char*, const char*, int, const char*, CLFilterAction::ENUM, CLLineMode::ENUM,
    const char* format, ...)
{
    va_list args;
    va_start(args, format);
    format_and_drop(format, args);
    va_end(args);
}

void _CLog(Log::ELevel::TYPE, const char*, const char*, int, const char*, CLFilterAction::ENUM, CLLineMode::ENUM,
    const string_base& text)
{
    copy_and_drop(text.c_str());
}

void _CLogV(Log::ELevel::TYPE, const char*, const char*, int, const char*, CLFilterAction::ENUM, CLLineMode::ENUM,
    const char* format, va_list args)
{
    format_and_drop(format, args);
}

CLFilterAction::ENUM _CLFilter(uint32_t label) { return label ? CLFilterAction::Write : CLFilterAction::Drop; }

string_base _CLogCategoryFromLabel(uint32_t) { return string_base("Parser"); }

Log::ELevel::TYPE _CLogLevelFromId(uint32_t) { return Log::ELevel::Error; }

namespace fs {

bool exists(const char* path) { return find(path) != nullptr; }

file::file() = default;

file::~file() { close(); }

bool file::open(const char* name, EFSMode::TYPE mode, FFSOpenFlags::FLAGS)
{
    close();
    const std::string* text = find(name);
    if (mode != EFSMode::Read || !text)
        return false;
    handle_ = new open_file { text, 0 };
    return true;
}

uint64_t file::length()
{
    auto* f = static_cast<open_file*>(handle_);
    return f ? f->text->size() : 0;
}

uint64_t file::read(void* buffer, uint64_t length)
{
    auto* f = static_cast<open_file*>(handle_);
    if (!f || !buffer)
        return 0;
    size_t n = std::min<size_t>(size_t(length), f->text->size() - f->offset);
    std::memcpy(buffer, f->text->data() + f->offset, n);
    f->offset += n;
    return n;
}

void file::close()
{
    delete static_cast<open_file*>(handle_);
    handle_ = nullptr;
}

} // namespace fs
