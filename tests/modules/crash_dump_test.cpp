// Crash reports: the default dump function writes a report with the exception
// code, the faulting address, the full-dump flag and a backtrace (and on
// Windows a minidump); GenerateDump's verdict follows MC_DUMP_VERDICT.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "host/modules/filesystem_module.h"
#include "platform/platform.h"
#include "tests/modules/temp_directory.h"
#include "tests/support/posix_environment.h"

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

} // namespace
