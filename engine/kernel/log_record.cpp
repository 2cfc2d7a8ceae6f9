// Builds the three record shapes over the filesystem module's log calls.
#include "engine/kernel/log_record.h"

namespace Log {

uint32_t LevelLabel(int level)
{
    static const uint32_t labels[16] = {
        LogLabel('N', 'O', 'N', 'E'),
        LogLabel('F', 'A', 'T', 'L'),
        LogLabel('E', 'R', 'R', 'R'),
        LogLabel('I', 'N', 'F', 'O'),
        LogLabel('W', 'A', 'R', 'N'),
        LogLabel('D', 'E', 'B', 'G'),
        LogLabel('V', 'E', 'R', 'B'),
        LogLabel('V', 'E', 'R', '1'),
        LogLabel('V', 'E', 'R', '2'),
        LogLabel('V', 'E', 'R', '3'),
        LogLabel('V', 'E', 'R', '4'),
        LogLabel('V', 'E', 'R', '5'),
        LogLabel('V', 'E', 'R', '6'),
        LogLabel('V', 'E', 'R', '7'),
        LogLabel('V', 'E', 'R', '8'),
        LogLabel('V', 'E', 'R', 'E'),
    };
    return level >= 0 && level < 16 ? labels[level] : 0;
}

LogLine::LogLine(ELevel::TYPE level, const char* category, Where where)
    : level_(level)
    , category_(category)
    , where_(where)
{
}

bool LogLine::enabled() const { return Settings::Instance().GetCategoryLevel(category_) >= level_; }

void LogLine::pend(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    pending_ += string_base::vformat(format, args);
    va_end(args);
}

void LogLine::write(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    writev(format, args);
    va_end(args);
}

void LogLine::writev(const char* format, va_list args)
{
    CLFilterAction::ENUM action = _CLFilter(LevelLabel(level_));
    if (!started_ && !pending_.empty()) {
        _CLog(level_, category_, where_.file, where_.line, where_.function, action, CLLineMode::Start, pending_);
        pending_.clear();
        started_ = true;
    }
    CLLineMode::ENUM mode = started_ ? CLLineMode::Continue : CLLineMode::Start;
    _CLogV(level_, category_, where_.file, where_.line, where_.function, action, mode, format, args);
    started_ = true;
}

void Category(ELevel::TYPE level, const char* category, Where where, bool prefixed, const char* format, ...)
{
    LogLine line(level, category, where);
    if (!line.enabled())
        return;
    if (prefixed)
        line.pend("[%s] ", where.function ? where.function : "");
    va_list args;
    va_start(args, format);
    line.writev(format, args);
    va_end(args);
}

void Fatal(Where where, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    _CLogV(ELevel::Fatal, "EXIT", where.file, where.line, where.function, CLFilterAction::Fatal, CLLineMode::Start,
        format, args);
    va_end(args);
}

} // namespace Log
