// Crash dumps: the installed dump function, the verdict GenerateDump gives the
// exception guard, and what WriteFullDump leaves in the write directory: a text
// report (exception code, faulting address, full-dump flag, backtrace) and,
// where the system has them, a minidump beside it (full: all memory). The
// report is written from the crash handler, maybe after a fault inside malloc
// or stdio: it is built in fixed buffers and written with the platform's plain
// file calls, and every write is checked before the report is announced.
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "host/modules/filesystem_module.h"
#include "modules/filesystem/log_writer.h"
#include "modules/filesystem/module_log.h"
#include "modules/filesystem/write_directory.h"
#include "platform/platform.h"

namespace {

// 64 frames reach from a fault in a frame up to the process entry with room to
// spare; deeper stacks (a runaway recursion) are cut at 64.
constexpr uint32_t max_frames = 64;
// A symbol line is a module path and a mangled name; longer ones are cut.
constexpr uint32_t symbol_size = 512;
// Reports made within one second are told apart by a number (crash-...-2.txt
// and on); a thousand in one second is a fault loop with nothing new to say,
// and past it no report is written (the log says so).
constexpr int max_reports_per_second = 1000;

bool crash_box_allowed = true;

// One line of text built in place: fixed room, no allocation. Text that does
// not fit is cut and the line remembers it.
class line_text {
public:
    line_text& add(const char* text)
    {
        for (; text && *text; ++text)
            put(*text);
        return *this;
    }
    line_text& hex(uint64_t value, int digits, bool upper)
    {
        const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
        for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
            put(set[(value >> shift) & 0xF]);
        return *this;
    }
    // Left-aligned in width characters, as printf's "%-Nu".
    line_text& decimal(uint64_t value, uint32_t width = 0)
    {
        char digits[20];
        uint32_t count = 0;
        do
            digits[count++] = char('0' + value % 10);
        while ((value /= 10) != 0);
        for (uint32_t i = count; i > 0; --i)
            put(digits[i - 1]);
        for (; count < width; ++count)
            put(' ');
        return *this;
    }
    line_text& end() { return add(log_writer::line_end); }
    const char* c_str() const { return data_; }
    uint32_t size() const { return length_; }
    bool cut() const { return cut_; }

private:
    void put(char c)
    {
        if (length_ + 1 < sizeof(data_))
            data_[length_++] = c;
        else
            cut_ = true;
        data_[length_] = 0;
    }
    char data_[write_directory::path_size + symbol_size] = {};
    uint32_t length_ = 0;
    bool cut_ = false;
};

void crash_record(const char* label, const char* function, const line_text& text)
{
    log_writer::write_crash_record(label, function, text.c_str());
}

// The system's words for the platform's last error.
const char* last_error_text(char* out, uint32_t size)
{
    platform::error_text(platform::last_error(), out, size);
    return out;
}

EDumpResult::TYPE default_dump(unsigned long code, ExceptionPointers* pointers)
{
    WriteFullDump(code, pointers, nullptr, false, nullptr);
    return EDumpResult::Handled;
}

DumpFunction installed = default_dump;

// The verdict named by MC_DUMP_VERDICT (handler, search, resume); handler by default.
int configured_verdict()
{
    struct named_verdict {
        const char* name;
        int verdict;
    };
    static const named_verdict verdicts[] = {
        { "handler", ExceptionVerdict::ExecuteHandler },
        { "search", ExceptionVerdict::ContinueSearch },
        { "resume", ExceptionVerdict::ContinueExecution },
    };
    const char* wanted = std::getenv("MC_DUMP_VERDICT");
    if (!wanted || !wanted[0])
        return ExceptionVerdict::ExecuteHandler;
    for (const named_verdict& entry : verdicts)
        if (std::strcmp(entry.name, wanted) == 0)
            return entry.verdict;
    crash_record("WARN", "GenerateDump",
        line_text()
            .add("MC_DUMP_VERDICT '")
            .add(wanted)
            .add("' is not handler, search or resume: running the handler"));
    return ExceptionVerdict::ExecuteHandler;
}

// "crash-YYYYMMDD-HHMMSS" for the current UTC time, worked out here because
// gmtime may take a lock the crashed thread holds.
void add_stamp(line_text& out)
{
    int64_t now = int64_t(std::time(nullptr));
    int64_t days = now / 86400;
    int64_t seconds = now % 86400;
    // Civil date from days since 1970-01-01 (eras of 400 years, March-based years).
    days += 719468;
    int64_t era = days / 146097;
    int64_t day_of_era = days - era * 146097;
    int64_t year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    int64_t month_index = (5 * day_of_year + 2) / 153;
    int64_t day = day_of_year - (153 * month_index + 2) / 5 + 1;
    int64_t month = month_index < 10 ? month_index + 3 : month_index - 9;
    int64_t year = year_of_era + era * 400 + (month <= 2 ? 1 : 0);
    auto two = [&out](int64_t value) { out.decimal(uint64_t(value / 10)).decimal(uint64_t(value % 10)); };
    out.add("crash-").decimal(uint64_t(year));
    two(month);
    two(day);
    out.add("-");
    two(seconds / 3600);
    two(seconds / 60 % 60);
    two(seconds % 60);
}

// Where reports go: the write directory once fs::init ran, else the working
// directory. The stem of the names: the crash's UTC time.
bool report_stem(line_text& out)
{
    const char* base = write_directory::get();
    char working[write_directory::path_size];
    if (!base[0]) {
        uint32_t length = platform::current_directory(sizeof(working), working);
        if (length == 0 || length >= sizeof(working))
            return false;
        base = working;
    }
    out.add(base);
    if (out.size() > 0 && out.c_str()[out.size() - 1] != '/' && out.c_str()[out.size() - 1] != '\\') {
        char separator[2] = { platform::path_separator(), 0 };
        out.add(separator);
    }
    add_stamp(out);
    return !out.cut() && out.size() < write_directory::path_size;
}

// A report file under a name no other report has: the stem, then stem-2 and
// on. *base is the name chosen without its extension; null when none could be
// made (the log tells why).
platform::handle create_report(const line_text& stem, line_text* base, line_text* path)
{
    char reason[256];
    for (int number = 1; number <= max_reports_per_second; ++number) {
        *base = stem;
        if (number > 1)
            base->add("-").decimal(uint64_t(number));
        *path = *base;
        path->add(".txt");
        if (path->cut() || path->size() >= write_directory::path_size) {
            crash_record("ERRR", "WriteFullDump", line_text().add("no room for the crash report's path"));
            return nullptr;
        }
        platform::handle file = platform::create_new_file(path->c_str());
        if (file)
            return file;
        if (platform::last_error() != platform::error_file_exists) {
            crash_record("ERRR", "WriteFullDump",
                line_text()
                    .add("cannot create the crash report '")
                    .add(path->c_str())
                    .add("': ")
                    .add(last_error_text(reason, sizeof(reason))));
            return nullptr;
        }
    }
    crash_record("ERRR", "WriteFullDump",
        line_text().add("more than ").decimal(max_reports_per_second).add(" crash reports this second: not written"));
    return nullptr;
}

// Writes lines to a report until one fails; the first failure's error is kept.
struct report_writer {
    platform::handle file;
    bool whole = true;
    uint32_t error = 0;

    void line(const line_text& text)
    {
        if (whole && !(platform::write_file(file, text.c_str(), text.size()) && !text.cut())) {
            whole = false;
            error = text.cut() ? platform::error_insufficient_buffer : platform::last_error();
        }
    }
};

void write_backtrace(report_writer& out)
{
    void* frames[max_frames];
    uint32_t count = platform::stack_trace(frames, max_frames);
    out.line(line_text().add("backtrace (").decimal(count).add(" frames):").end());
    for (uint32_t i = 0; i < count; ++i) {
        char symbol[symbol_size];
        if (!platform::describe_address(frames[i], symbol, sizeof(symbol)))
            std::strcpy(symbol, "?");
        out.line(line_text()
                     .add("  #")
                     .decimal(i, 2)
                     .add(" 0x")
                     .hex(reinterpret_cast<uintptr_t>(frames[i]), 16, false)
                     .add(" ")
                     .add(symbol)
                     .end());
    }
}

void write_report(report_writer& out, unsigned long code, ExceptionPointers* pointers, const char* text, bool full)
{
    uint32_t recorded = pointers ? platform::exception_code(pointers) : uint32_t(code);
    void* address = pointers ? platform::exception_address(pointers) : nullptr;
    out.line(line_text().add("Mire Crest crash report").end());
    out.line(line_text().add("exception code: 0x").hex(recorded, 8, true).end());
    out.line(line_text().add("fault address: 0x").hex(reinterpret_cast<uintptr_t>(address), 16, false).end());
    out.line(line_text().add("full dump: ").add(full ? "yes" : "no").end());
    out.line(line_text().add("crash message box: ").add(crash_box_allowed ? "allowed" : "not allowed").end());
    if (text && text[0])
        out.line(line_text().add("text: ").add(text).end());
    write_backtrace(out);
}

// The report, announced only when every byte of it reached the file; an
// incomplete one is removed rather than left to pass for a whole report.
bool write_text_report(const line_text& stem, line_text* base, unsigned long code, ExceptionPointers* pointers,
    const char* text, bool full)
{
    line_text path;
    report_writer out { create_report(stem, base, &path) };
    if (!out.file)
        return false;
    write_report(out, code, pointers, text, full);
    if (!platform::close_file(out.file) && out.whole) {
        out.whole = false;
        out.error = platform::last_error();
    }
    char reason[256];
    if (!out.whole) {
        platform::error_text(out.error, reason, sizeof(reason));
        bool removed = platform::delete_file(path.c_str());
        crash_record("ERRR", "WriteFullDump",
            line_text()
                .add("cannot write the crash report '")
                .add(path.c_str())
                .add("': ")
                .add(reason)
                .add(removed ? " (the incomplete file was removed)" : ""));
        return false;
    }
    crash_record("FATL", "WriteFullDump",
        line_text()
            .add("crash report written to '")
            .add(path.c_str())
            .add("' (full dump: ")
            .add(full ? "yes" : "no")
            .add(")"));
    return true;
}

void write_dump_file(const line_text& base, ExceptionPointers* pointers, bool full)
{
    line_text path = base;
    path.add(".dmp");
    if (path.cut() || path.size() >= write_directory::path_size) {
        crash_record("ERRR", "WriteFullDump", line_text().add("no room for the minidump's path"));
        return;
    }
    if (platform::write_minidump(path.c_str(), pointers, full)) {
        crash_record("FATL", "WriteFullDump",
            line_text()
                .add("minidump written to '")
                .add(path.c_str())
                .add("' (")
                .add(full ? "full memory" : "normal")
                .add(")"));
        return;
    }
    if (platform::last_error() == platform::error_not_supported)
        return;
    char reason[256];
    crash_record("ERRR", "WriteFullDump",
        line_text()
            .add("cannot write the minidump '")
            .add(path.c_str())
            .add("': ")
            .add(last_error_text(reason, sizeof(reason))));
}

} // namespace

DumpFunction GetDumpFunction() { return installed; }
void SetDumpFunction(DumpFunction function) { installed = function; }

int GenerateDump(unsigned long code, ExceptionPointers* pointers)
{
    crash_record(
        "FATL", "GenerateDump", line_text().add("exception 0x").hex(code, 8, true).add(": writing a crash report"));
    if (installed)
        installed(code, pointers);
    return configured_verdict();
}

void WriteFullDump(unsigned long code, ExceptionPointers* pointers, const char* text, bool full, void*)
{
    line_text stem;
    if (!report_stem(stem)) {
        crash_record("ERRR", "WriteFullDump", line_text().add("no room for the crash report's path"));
        return;
    }
    line_text base;
    if (write_text_report(stem, &base, code, pointers, text, full))
        write_dump_file(base, pointers, full);
}

void CrashShowMessageBox(bool allowed)
{
    crash_box_allowed = allowed;
    FS_LOG(Debug, "crash message box %s\n", allowed ? "allowed" : "not allowed");
}

void CrashClose() { FS_LOG(Info, "crash handling closed\n"); }
