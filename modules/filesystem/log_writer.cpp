// _CLog / _CLogV: pieces of text become records. A record starts with line mode
// 0 (or 1 for a label record), later pieces (mode 2) join it, and it is finished
// when its text ends with a line feed, when the same thread starts the next
// record, or at once for label and fatal records. A finished record is written
// as one line to standard error and the log file and handed to the observer.
// Every write to the log file is checked: a failure is told on standard error
// with the system's reason, once until writing works again.
#include "modules/filesystem/log_writer.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "engine/kernel/log_record.h"
#include "host/modules/filesystem_module.h"
#include "platform/critical_section.h"
#include "platform/platform.h"

namespace {

struct sink_state {
    sink_state() { platform::initialize_critical_section(&lock); }
    platform::critical_section lock;
    platform::handle file = nullptr;
    char path[log_writer::path_size] = {};
    bool failing = false; // the last write to the file failed and was reported
    Log::Observer observer = nullptr;
    void* observer_user = nullptr;
    bool echo_to_standard_error = true; // off while the script tool shows diagnostics instead
};

sink_state& sinks()
{
    static sink_state state; // the lock is never deleted: late destructors may still log
    return state;
}

// A record being assembled on one thread (records of several threads interleave
// piece by piece, so each thread keeps its own). Owns copies of every text.
struct pending_record {
    bool active = false;
    int level = 0;
    int line = 0;
    string_base category;
    string_base file;
    string_base function;
    string_base text;

    ~pending_record();
};

thread_local pending_record pending;

// "INFO", "ERRR"... for the levels that have a label, the number otherwise.
string_base level_text(int level)
{
    uint32_t label = Log::LevelLabel(level);
    if (label == 0)
        return string_base::format("L%d", level);
    char text[5] = { char(label >> 24), char(label >> 16), char(label >> 8), char(label), 0 };
    return string_base(text);
}

// One output line: "LABEL category function: text", line breaks inside the text
// turned into blanks so that a record stays one line.
string_base output_line(const Log::Record& record)
{
    string_base line = level_text(record.level);
    line += ' ';
    line += record.category;
    if (record.function && record.function[0]) {
        line += ' ';
        line += record.function;
    }
    line += ": ";
    uint32_t start = line.size();
    line += record.text;
    for (uint32_t i = start; i < line.size(); ++i)
        if (line.data[i] == '\n' || line.data[i] == '\r')
            line.data[i] = ' ';
    line += log_writer::line_end;
    return line;
}

void to_standard_error(const char* text, uint32_t length)
{
    platform::handle error = platform::standard_error();
    if (error)
        platform::write_file(error, text, length); // nowhere left to tell of a failure here
}

// Tells standard error that the log file failed ("cannot write", "cannot close"),
// with the system's reason; called with the sinks' lock held.
void report_failure(const sink_state& s, const char* what)
{
    char reason[256];
    platform::error_text(platform::last_error(), reason, sizeof(reason));
    string_base line = string_base::format(
        "ERRR Filesystem log_writer: %s the log file '%s': %s%s", what, s.path, reason, log_writer::line_end);
    to_standard_error(line.c_str(), line.size());
}

// Unbuffered: every record is on the disk before the next one, so a crash that
// follows loses nothing.
void write_to_file(sink_state& s, const char* text, uint32_t length)
{
    if (!s.file)
        return;
    bool written = platform::write_file(s.file, text, length);
    if (!written && !s.failing)
        report_failure(s, "cannot write");
    s.failing = !written;
}

void deliver(const Log::Record& record)
{
    string_base line = output_line(record);
    sink_state& s = sinks();
    platform::scoped_lock hold(s.lock);
    if (s.echo_to_standard_error)
        to_standard_error(line.c_str(), line.size());
    write_to_file(s, line.c_str(), line.size());
    if (s.observer)
        s.observer(record, s.observer_user);
}

void finish(pending_record& record)
{
    if (!record.active)
        return;
    record.active = false;
    // Detach the texts first: the observer may log, which reuses the pending slot.
    string_base category = std::move(record.category);
    string_base file = std::move(record.file);
    string_base function = std::move(record.function);
    string_base text = std::move(record.text);
    if (!text.empty() && text[text.size() - 1] == '\n')
        text.resize(text.size() - 1);
    Log::Record out { record.level, category.c_str(), file.c_str(), record.line,
        function.empty() ? nullptr : function.c_str(), text.c_str() };
    deliver(out);
}

pending_record::~pending_record() { finish(*this); }

void start(pending_record& record, int level, const char* category, const char* file, int line, const char* function)
{
    finish(record);
    record.active = true;
    record.level = level;
    record.line = line;
    record.category = category;
    record.file = file;
    record.function = function;
    record.text.clear();
}

void add_piece(int level, const char* category, const char* file, int line, const char* function,
    CLFilterAction::ENUM action, CLLineMode::ENUM mode, const char* text, uint32_t length)
{
    if (action == CLFilterAction::Drop)
        return;
    pending_record& record = pending;
    if (mode != CLLineMode::Continue || !record.active)
        start(record, level, category, file, line, function);
    record.text.append(text, length);
    bool whole = mode == CLLineMode::Label || action == CLFilterAction::Fatal;
    if (whole || (!record.text.empty() && record.text[record.text.size() - 1] == '\n'))
        finish(record);
}

} // namespace

namespace log_writer {

static void close_locked(sink_state& s)
{
    if (s.file && !platform::close_file(s.file))
        report_failure(s, "cannot close");
    s.file = nullptr;
    s.path[0] = 0;
    s.failing = false;
}

bool open_file(const char* path)
{
    sink_state& s = sinks();
    platform::scoped_lock hold(s.lock);
    close_locked(s); // first: a file this process holds cannot be taken a second time
    size_t length = std::strlen(path);
    if (length >= log_writer::path_size)
        return false;
    s.file = platform::open_owned_file(path);
    if (s.file)
        std::memcpy(s.path, path, length + 1);
    return s.file != nullptr;
}

void close_file()
{
    sink_state& s = sinks();
    platform::scoped_lock hold(s.lock);
    close_locked(s);
}

// Signal-safe: fixed buffers, no allocation, no lock (the crash may have
// happened while this thread held it).
void write_crash_record(const char* label, const char* function, const char* text)
{
    char line[crash_record_size];
    uint32_t length = 0;
    const char* pieces[] = { label, " Filesystem ", function, ": ", text };
    for (const char* piece : pieces)
        for (; *piece && length + 3 < sizeof(line); ++piece)
            line[length++] = *piece == '\n' ? ' ' : *piece;
    for (const char* end = line_end; *end; ++end)
        line[length++] = *end;
    to_standard_error(line, length);
    sink_state& s = sinks();
    if (s.file)
        platform::write_file(s.file, line, length);
}

void flush_pending() { finish(pending); }

} // namespace log_writer

namespace Log {

void SetObserver(Observer observer, void* user)
{
    sink_state& s = sinks();
    platform::scoped_lock hold(s.lock);
    s.observer = observer;
    s.observer_user = user;
}

void SetStandardErrorOutput(bool on)
{
    sink_state& s = sinks();
    platform::scoped_lock hold(s.lock);
    s.echo_to_standard_error = on;
}

} // namespace Log

void _CLogV(Log::ELevel::TYPE level, const char* category, const char* file, int line, const char* function,
    CLFilterAction::ENUM action, CLLineMode::ENUM mode, const char* format, va_list args)
{
    string_base text = string_base::vformat(format ? format : "", args);
    add_piece(level, category, file, line, function, action, mode, text.c_str(), text.size());
}

void _CLog(Log::ELevel::TYPE level, const char* category, const char* file, int line, const char* function,
    CLFilterAction::ENUM action, CLLineMode::ENUM mode, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    _CLogV(level, category, file, line, function, action, mode, format, args);
    va_end(args);
}

void _CLog(Log::ELevel::TYPE level, const char* category, const char* file, int line, const char* function,
    CLFilterAction::ENUM action, CLLineMode::ENUM mode, const string_base& text)
{
    add_piece(level, category, file, line, function, action, mode, text.c_str(), text.size());
}
