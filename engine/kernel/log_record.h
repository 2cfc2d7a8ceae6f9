// The three shapes of log record every layer writes: category records (built
// only when the category's level allows), label-driven records ('CLOG') and
// fatal start-up records ("EXIT"). One funnel so shape and level cannot drift.
#pragma once

#include <cstdarg>
#include <cstdint>

#include "host/modules/filesystem_log.h"

namespace Log {

// The four-character label of a level ('NONE' ... 'VERE'); 0 for any other level.
uint32_t LevelLabel(int level);

// Where a record comes from: source module path, line and function name.
struct Where {
    const char* file;
    int line;
    const char* function;
};

// A category record {level, category, where, pending text}. Pending text is
// written first (line mode 0), then each formatted piece (0 for the first,
// 2 for the following ones).
class LogLine {
public:
    LogLine(ELevel::TYPE level, const char* category, Where where);
    // Is the category's level at least this record's level?
    bool enabled() const;
    // Adds to the pending text (the "[function] " prefix goes here).
    void pend(const char* format, ...);
    void write(const char* format, ...);
    void writev(const char* format, va_list args);

private:
    ELevel::TYPE level_;
    const char* category_;
    Where where_;
    string_base pending_;
    bool started_ = false;
};

// One whole category record, built only when enabled; with prefixed, the
// function name goes first as "[function] ".
void Category(ELevel::TYPE level, const char* category, Where where, bool prefixed, const char* format, ...);
// A label-driven record ('CLOG'): written when _CLFilter(label) is non-zero.
// The format and its arguments go to the log call as they are, so a log
// module sees the record's own format rather than a preformatted text.
template <typename... Args> void Labelled(uint32_t label, Where where, const char* format, Args... args)
{
    CLFilterAction::ENUM action = _CLFilter(label);
    if (action == CLFilterAction::Drop)
        return;
    string_base category = _CLogCategoryFromLabel(label);
    _CLog(_CLogLevelFromId(label), category.c_str(), where.file, where.line, where.function, action, CLLineMode::Label,
        format, args...);
}
// A fatal start-up record: level 1, category "EXIT", filter action 3, line mode 0.
void Fatal(Where where, const char* format, ...);

} // namespace Log
