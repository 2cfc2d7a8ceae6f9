// Crash dumps: the installed dump function, the verdict GenerateDump gives the
// exception guard, and what WriteFullDump leaves in the write directory: a text
// report (exception code, faulting address, full-dump flag, backtrace) and,
// where the system has them, a minidump beside it (full: all memory).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "host/modules/filesystem_module.h"
#include "modules/filesystem/module_log.h"
#include "modules/filesystem/write_directory.h"
#include "platform/platform.h"

namespace {

// 64 frames reach from a fault in a frame up to the process entry with room to
// spare; deeper stacks (a runaway recursion) are cut at 64.
constexpr uint32_t max_frames = 64;
// A symbol line is a module path and a mangled name; longer ones are cut.
constexpr uint32_t symbol_size = 512;

bool crash_box_allowed = true;

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
    FS_LOG(Warning, "MC_DUMP_VERDICT '%s' is not handler, search or resume: running the handler\n", wanted);
    return ExceptionVerdict::ExecuteHandler;
}

// Where reports go: the write directory once fs::init ran, else the working
// directory. The name without its extension: the crash's UTC time.
bool report_base(char* out, uint32_t size)
{
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::tm* utc = std::gmtime(&now);
    if (!utc || std::strftime(stamp, sizeof(stamp), "crash-%Y%m%d-%H%M%S", utc) == 0)
        std::snprintf(stamp, sizeof(stamp), "crash");
    const char* base = write_directory::get();
    char working[write_directory::path_size];
    if (!base[0]) {
        uint32_t length = platform::current_directory(sizeof(working), working);
        if (length == 0 || length >= sizeof(working))
            return false;
        base = working;
    }
    return write_directory::join(base, stamp, out, size);
}

// base + extension into out; false when it does not fit.
bool with_extension(const char* base, const char* extension, char* out, uint32_t size)
{
    int written = std::snprintf(out, size, "%s%s", base, extension);
    return written > 0 && uint32_t(written) < size;
}

// Addresses print alike on every system ("%p" differs between C runtimes).
unsigned long long address_number(const void* address) { return reinterpret_cast<uintptr_t>(address); }

void write_backtrace(std::FILE* out)
{
    void* frames[max_frames];
    uint32_t count = platform::stack_trace(frames, max_frames);
    std::fprintf(out, "backtrace (%u frames):\n", count);
    for (uint32_t i = 0; i < count; ++i) {
        char symbol[symbol_size];
        if (!platform::describe_address(frames[i], symbol, sizeof(symbol)))
            std::snprintf(symbol, sizeof(symbol), "?");
        std::fprintf(out, "  #%-2u 0x%016llx %s\n", i, address_number(frames[i]), symbol);
    }
}

void write_report(std::FILE* out, unsigned long code, ExceptionPointers* pointers, const char* text, bool full)
{
    uint32_t recorded = pointers ? platform::exception_code(pointers) : uint32_t(code);
    void* address = pointers ? platform::exception_address(pointers) : nullptr;
    std::fprintf(out, "Mire Crest crash report\n");
    std::fprintf(out, "exception code: 0x%08X\n", unsigned(recorded));
    std::fprintf(out, "fault address: 0x%016llx\n", address_number(address));
    std::fprintf(out, "full dump: %s\n", full ? "yes" : "no");
    std::fprintf(out, "crash message box: %s\n", crash_box_allowed ? "allowed" : "not allowed");
    if (text && text[0])
        std::fprintf(out, "text: %s\n", text);
    write_backtrace(out);
}

void write_text_report(const char* base, unsigned long code, ExceptionPointers* pointers, const char* text, bool full)
{
    char path[write_directory::path_size];
    if (!with_extension(base, ".txt", path, sizeof(path))) {
        FS_LOG(Error, "no room for the crash report's path\n");
        return;
    }
    std::FILE* out = std::fopen(path, "w");
    if (!out) {
        FS_LOG(Error, "cannot write the crash report '%s'\n", path);
        return;
    }
    write_report(out, code, pointers, text, full);
    std::fclose(out);
    FS_LOG(Fatal, "crash report written to '%s' (full dump: %s)\n", path, full ? "yes" : "no");
}

void write_dump_file(const char* base, ExceptionPointers* pointers, bool full)
{
    char path[write_directory::path_size];
    if (!with_extension(base, ".dmp", path, sizeof(path))) {
        FS_LOG(Error, "no room for the minidump's path\n");
        return;
    }
    if (platform::write_minidump(path, pointers, full)) {
        FS_LOG(Fatal, "minidump written to '%s' (%s)\n", path, full ? "full memory" : "normal");
        return;
    }
    uint32_t error = platform::last_error();
    if (error != platform::error_not_supported)
        FS_LOG(Error, "cannot write the minidump '%s' (error %u)\n", path, unsigned(error));
}

} // namespace

DumpFunction GetDumpFunction() { return installed; }
void SetDumpFunction(DumpFunction function) { installed = function; }

int GenerateDump(unsigned long code, ExceptionPointers* pointers)
{
    FS_LOG(Fatal, "exception 0x%08lX: writing a crash report\n", code);
    if (installed)
        installed(code, pointers);
    return configured_verdict();
}

void WriteFullDump(unsigned long code, ExceptionPointers* pointers, const char* text, bool full, void*)
{
    char base[write_directory::path_size];
    if (!report_base(base, sizeof(base))) {
        FS_LOG(Error, "no room for the crash report's path\n");
        return;
    }
    write_text_report(base, code, pointers, text, full);
    write_dump_file(base, pointers, full);
}

void CrashShowMessageBox(bool allowed)
{
    crash_box_allowed = allowed;
    FS_LOG(Debug, "crash message box %s\n", allowed ? "allowed" : "not allowed");
}

void CrashClose() { FS_LOG(Info, "crash handling closed\n"); }
