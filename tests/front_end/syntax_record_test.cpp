// The syntax-error record as the log module receives it: the grammar runs over
// a recording double of the filesystem module's log calls, which keeps each
// call's format and the arguments that format names.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/kernel/Parser/node_pool.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/unit_loader.h"
#include "host/modules/filesystem_module.h"

namespace {

struct log_call {
    int level;
    std::string file;
    int line;
    CLFilterAction::ENUM action;
    CLLineMode::ENUM mode;
    std::string format;
    std::vector<std::string> arguments; // one per conversion, as text
};

std::vector<log_call> calls;

// Reads the arguments a format names: %s as text, %i and %d as int.
std::vector<std::string> arguments_of(const char* format, va_list args)
{
    std::vector<std::string> out;
    for (const char* p = format; *p; ++p) {
        if (*p != '%' || !p[1])
            continue;
        char conversion = *++p;
        if (conversion == 's')
            out.push_back(va_arg(args, const char*));
        else if (conversion == 'i' || conversion == 'd')
            out.push_back(std::to_string(va_arg(args, int)));
    }
    return out;
}

void record(Log::ELevel::TYPE level, const char* file, int line, CLFilterAction::ENUM action, CLLineMode::ENUM mode,
    const char* format, va_list args)
{
    calls.push_back({ level, file ? file : "", line, action, mode, format, arguments_of(format, args) });
}

} // namespace

// ---- the double: logging records its calls, files never open ----

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

void _CLog(Log::ELevel::TYPE level, const char*, const char* file, int line, const char*, CLFilterAction::ENUM action,
    CLLineMode::ENUM mode, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    record(level, file, line, action, mode, format, args);
    va_end(args);
}

void _CLog(Log::ELevel::TYPE level, const char*, const char* file, int line, const char*, CLFilterAction::ENUM action,
    CLLineMode::ENUM mode, const string_base& text)
{
    calls.push_back({ level, file ? file : "", line, action, mode, text.c_str(), {} });
}

void _CLogV(Log::ELevel::TYPE level, const char*, const char* file, int line, const char*, CLFilterAction::ENUM action,
    CLLineMode::ENUM mode, const char* format, va_list args)
{
    record(level, file, line, action, mode, format, args);
}

CLFilterAction::ENUM _CLFilter(uint32_t) { return CLFilterAction::Write; }
string_base _CLogCategoryFromLabel(uint32_t) { return string_base("Parser"); }
Log::ELevel::TYPE _CLogLevelFromId(uint32_t) { return Log::ELevel::Error; }

namespace fs {
file::file() = default;
file::~file() = default;
bool file::open(const char*, EFSMode::TYPE, FFSOpenFlags::FLAGS) { return false; }
uint64_t file::length() { return 0; }
uint64_t file::read(void*, uint64_t) { return 0; }
void file::close() { }
} // namespace fs

namespace {

TEST(SyntaxErrorRecord, PassesItsFormatAndThreeArguments)
{
    calls.clear();
    char text[] = "int x = 1;\nint y = ;\0";
    EXPECT_EQ(parser::parse_text("t.ini", text, sizeof text, nullptr, nullptr, true, nullptr), nullptr);
    ASSERT_FALSE(calls.empty());
    const log_call& c = calls[0];
    EXPECT_EQ(c.format, "%s at %s(%i)\n");
    EXPECT_EQ(c.arguments, (std::vector<std::string> { "syntax error", ";", "2" }));
    EXPECT_EQ(c.file, "engine/kernel/Parser/parser_y");
    EXPECT_EQ(c.line, 3990);
    EXPECT_EQ(c.mode, CLLineMode::Label);
    EXPECT_EQ(c.action, CLFilterAction::Write);
    EXPECT_EQ(c.level, Log::ELevel::Error);
    EXPECT_EQ(parser::node_pool_live_count(), 0u) << "every node released";
}

} // namespace
