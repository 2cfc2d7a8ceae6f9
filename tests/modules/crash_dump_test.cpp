// Crash reports: the default dump function writes a report with the exception
// code, the faulting address, the full-dump flag and a backtrace (and on
// Windows a minidump); GenerateDump's verdict follows MC_DUMP_VERDICT. Every
// report has a name of its own, is announced only when written whole, and is
// written even when the fault struck inside malloc.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <thread>

#include "host/modules/filesystem_module.h"
#include "platform/platform.h"
#include "tests/modules/temp_directory.h"
#include "tests/support/posix_environment.h"

#if !defined(_WIN32)
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <malloc.h>

#include "tests/platform/captured_stderr.h"
#include "tests/platform/child_process.h"
#endif

namespace {

// The one crash file with the extension (".txt" report, ".dmp" minidump), or an empty text.
std::string only_crash_file(const temp_directory& directory, const std::string& extension)
{
    std::string found;
    for (const auto& entry : std::filesystem::directory_iterator(directory.path()))
        if (entry.path().filename().string().rfind("crash-", 0) == 0 && entry.path().extension() == extension) {
            EXPECT_TRUE(found.empty()) << "more than one " << extension;
            found = extension == ".dmp" ? read_bytes(entry.path().string()) : read_text(entry.path().string());
        }
    return found;
}

std::string only_report(const temp_directory& directory) { return only_crash_file(directory, ".txt"); }

std::vector<std::string> crash_files(const temp_directory& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory.path()))
        if (entry.path().filename().string().rfind("crash-", 0) == 0)
            names.push_back(entry.path().filename().string());
    return names;
}

// Beside the report a minidump where the system has them (Windows): its header
// (MINIDUMP_HEADER, signature "MDMP") holds the dump type's flags at byte 24.
void expect_minidump(const temp_directory& directory, bool full)
{
    std::string dump = only_crash_file(directory, ".dmp");
#if defined(_WIN32)
    constexpr uint64_t with_full_memory = 0x2;
    ASSERT_GE(dump.size(), 32u);
    EXPECT_EQ(dump.substr(0, 4), "MDMP");
    uint64_t flags = 0;
    std::memcpy(&flags, dump.data() + 24, sizeof(flags));
    EXPECT_EQ((flags & with_full_memory) != 0, full) << std::hex << flags;
#else
    (void)full;
    EXPECT_TRUE(dump.empty());
#endif
}

__attribute__((noinline, no_sanitize("address", "undefined"))) int null_write(void*)
{
    volatile int* volatile target = nullptr;
    *target = 1;
    return 0;
}

int dump_filter(uint32_t code, platform::exception_pointers* pointers, void*) { return GenerateDump(code, pointers); }

class CrashDumpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fs::init(directory.str().c_str(), FFSAddSourceFlags::Default, "", false, true, nullptr));
    }
    void TearDown() override
    {
        fs::shutdown();
        unsetenv("MC_DUMP_VERDICT");
        SetDumpFunction(previous);
    }
    temp_directory directory;
    DumpFunction previous = GetDumpFunction();
};

TEST_F(CrashDumpTest, FaultUnderTheGuardWritesAReport)
{
    EXPECT_FALSE(platform::guarded_call(null_write, dump_filter, nullptr, nullptr));
    std::string report = only_report(directory);
    EXPECT_NE(report.find("exception code: 0xC0000005\n"), std::string::npos) << report;
    EXPECT_NE(report.find("full dump: no\n"), std::string::npos) << report;
    EXPECT_NE(report.find("fault address: 0x"), std::string::npos) << report;
    EXPECT_NE(report.find("backtrace ("), std::string::npos) << report;
    EXPECT_NE(report.find("module_tests"), std::string::npos) << report; // frames name their module
    expect_minidump(directory, false);
}

TEST_F(CrashDumpTest, FullDumpFlagAndTextReachTheReport)
{
    WriteFullDump(0xC0000094, nullptr, "while testing", true, nullptr);
    std::string report = only_report(directory);
    EXPECT_NE(report.find("exception code: 0xC0000094\n"), std::string::npos) << report;
    EXPECT_NE(report.find("full dump: yes\n"), std::string::npos) << report;
    EXPECT_NE(report.find("text: while testing\n"), std::string::npos) << report;
    expect_minidump(directory, true);
}

EDumpResult::TYPE counting_dump(unsigned long, ExceptionPointers*)
{
    static int calls = 0;
    return EDumpResult::TYPE(++calls);
}

TEST_F(CrashDumpTest, VerdictComesFromTheEnvironment)
{
    SetDumpFunction(counting_dump);
    EXPECT_EQ(GetDumpFunction(), counting_dump);
    struct row {
        const char* verdict;
        int expected;
    } rows[] = {
        { nullptr, ExceptionVerdict::ExecuteHandler },
        { "search", ExceptionVerdict::ContinueSearch },
        { "resume", ExceptionVerdict::ContinueExecution },
        { "handler", ExceptionVerdict::ExecuteHandler },
        { "nonsense", ExceptionVerdict::ExecuteHandler },
    };
    for (const row& r : rows) {
        if (r.verdict)
            setenv("MC_DUMP_VERDICT", r.verdict, 1);
        EXPECT_EQ(GenerateDump(0xC0000005, nullptr), r.expected) << (r.verdict ? r.verdict : "(unset)");
    }
    EXPECT_EQ(counting_dump(0, nullptr), 6); // the installed function ran for each of the five
    EXPECT_TRUE(only_report(directory).empty());
}

TEST_F(CrashDumpTest, ReportsWithinOneSecondEachKeepANameOfTheirOwn)
{
    constexpr int reports = 3; // a few: each makes a minidump too on Windows, which takes its time
    for (int i = 0; i < reports; ++i)
        WriteFullDump(0xC0000005, nullptr, std::to_string(i).c_str(), false, nullptr);
    std::set<std::string> texts;
    for (const std::string& name : crash_files(directory))
        if (name.size() > 4 && name.substr(name.size() - 4) == ".txt") {
            std::string report = read_text(directory / name);
            size_t at = report.find("text: ");
            ASSERT_NE(at, std::string::npos) << name;
            texts.insert(report.substr(at, report.find('\n', at) - at));
        }
    EXPECT_EQ(texts.size(), size_t(reports)) << "a report overwrote another";
}

#if !defined(_WIN32)

TEST_F(CrashDumpTest, ReportNotWrittenWholeIsRemovedAndNeverAnnounced)
{
    captured_stderr error;
    int status = run_in_child([] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit { 0, 0 }; // no file may grow: a disk with no room left
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 1;
        WriteFullDump(0xC0000005, nullptr, nullptr, false, nullptr);
        return 0;
    });
    ASSERT_TRUE(exited_with(status, 0));
    const std::string& told = error.text();
    EXPECT_NE(told.find("ERRR Filesystem WriteFullDump: cannot write the crash report '" + directory.str() + "/crash-"),
        std::string::npos)
        << told;
    EXPECT_NE(told.find(".txt': File too large (the incomplete file was removed)\n"), std::string::npos) << told;
    EXPECT_EQ(told.find("crash report written"), std::string::npos) << told;
    EXPECT_TRUE(crash_files(directory).empty());
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MC_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define MC_TEST_ASAN 1
#endif

// glibc's allocator only: under AddressSanitizer malloc is the sanitizer's and
// malloc_stats holds no lock of it.
#if !defined(MC_TEST_ASAN)

ssize_t faulting_write(void*, const char*, size_t)
{
    volatile int* volatile target = nullptr;
    *target = 1;
    return 0;
}

// glibc's malloc_stats prints to stderr while it holds the main arena's lock:
// with a stderr whose writes fault, the fault strikes inside malloc's lock, and
// a crash writer that allocates waits for that lock for ever.
int fault_inside_malloc(void*)
{
    cookie_io_functions_t io {};
    io.write = faulting_write;
    std::FILE* faulting = fopencookie(nullptr, "w", io);
    if (!faulting)
        return 1;
    setvbuf(faulting, nullptr, _IONBF, 0);
    stderr = faulting;
    malloc_stats();
    return 2;
}

TEST_F(CrashDumpTest, FaultInsideMallocStillGetsItsReport)
{
    captured_stderr error;
    int status = run_in_child([] {
        alarm(30); // a deadlocked writer ends here, by SIGALRM
        std::thread([] {}).join(); // glibc's malloc takes its locks only once a process has had threads
        bool returned = platform::guarded_call(fault_inside_malloc, dump_filter, nullptr, nullptr);
        _exit(returned ? 1 : 0); // the arena's lock stays held: nothing more may allocate
        return 0;
    });
    ASSERT_TRUE(exited_with(status, 0)) << "wait status " << status << "\n" << error.text();
    std::string report = only_report(directory);
    EXPECT_NE(report.find("exception code: 0xC0000005\n"), std::string::npos) << report;
    EXPECT_NE(report.find("module_tests"), std::string::npos) << report;
    EXPECT_NE(error.text().find("FATL Filesystem WriteFullDump: crash report written to '"), std::string::npos)
        << error.text();
}

#endif
#endif

} // namespace
