// The files the modules write: a log file held by one process at a time and
// emptied only once held, new files that never replace anything (nor follow a
// link), every write checked with the system's reason in words.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <string>

#include "platform/platform.h"
#include "tests/modules/temp_directory.h"
#include "tests/platform/child_process.h"

namespace {

std::string last_error_text()
{
    char text[256];
    platform::error_text(platform::last_error(), text, sizeof(text));
    return text;
}

TEST(Files, OwnedFileIsHeldByOneProcessAndEmptiedOnlyOnceHeld)
{
    temp_directory directory;
    std::string log = directory / "mirecrest.log";
    write_text(log, "an earlier run\n");
    platform::handle held = platform::open_owned_file(log.c_str());
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(read_text(log), "");
    ASSERT_TRUE(platform::write_file(held, "first instance\n", 15));
    int status = run_in_child([&log] {
        if (platform::open_owned_file(log.c_str()))
            return 1;
        return platform::last_error() == platform::error_sharing_violation ? 0 : 2;
    });
    EXPECT_TRUE(exited_with(status, 0));
    EXPECT_EQ(read_text(log), "first instance\n") << "the second opener emptied the first one's log";
    EXPECT_TRUE(platform::close_file(held));
    EXPECT_TRUE(exited_with(run_in_child([&log] { return platform::open_owned_file(log.c_str()) ? 0 : 1; }), 0));
}

TEST(Files, NewFileNeverReplacesNorFollowsALink)
{
    temp_directory directory;
    std::string existing = directory / "crash.txt";
    write_text(existing, "kept");
    std::string link = directory / "link.txt";
    std::string target = directory / "target.txt";
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    for (const std::string& path : { existing, link }) {
        EXPECT_EQ(platform::create_new_file(path.c_str()), nullptr) << path;
        EXPECT_EQ(platform::last_error(), platform::error_file_exists) << path;
    }
    EXPECT_EQ(read_text(existing), "kept");
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(last_error_text(), "File exists");

    EXPECT_EQ(platform::create_new_file((directory / "missing/x.txt").c_str()), nullptr);
    EXPECT_EQ(last_error_text(), "No such file or directory");
    platform::handle made = platform::create_new_file((directory / "new.txt").c_str());
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(platform::close_file(made));
    EXPECT_TRUE(platform::delete_file((directory / "new.txt").c_str()));
    EXPECT_FALSE(platform::delete_file((directory / "new.txt").c_str()));
}

TEST(Files, FailedWriteIsReportedWithTheSystemsReason)
{
    temp_directory directory;
    std::string path = directory / "limited.txt";
    // The file size limit stands in for a full disk: writes past it fail.
    int status = run_in_child([&path] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit { 4, 4 };
        platform::handle file = platform::create_new_file(path.c_str());
        if (!file || setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 1;
        if (platform::write_file(file, "0123456789", 10))
            return 2; // four bytes fit, the rest did not: never a success
        return last_error_text() == "File too large" ? 0 : 3;
    });
    EXPECT_TRUE(exited_with(status, 0)) << status;
    EXPECT_EQ(read_text(path), "0123");
    platform::handle full = platform::create_new_file("/dev/full");
    EXPECT_EQ(full, nullptr); // exists: never opened by create_new_file
}

TEST(Files, ErrorTextNamesEveryKindOfNumber)
{
    struct row {
        uint32_t error;
        const char* text;
        uint32_t size;
    } rows[] = {
        { platform::error_access_denied, "Permission denied", 256 },
        { platform::error_sharing_violation, "The file is in use by another process", 256 },
        { 0x20000000u | 28u, "No space left on device", 256 }, // ENOSPC, as the file calls report it
        { 0x20000000u | 28u, "No sp", 6 }, // cut to fit
        { 0x2000FFFFu, "error 536936447", 256 }, // no words for it
    };
    for (const row& r : rows) {
        char text[256];
        platform::error_text(r.error, text, r.size);
        EXPECT_STREQ(text, r.text) << r.error;
    }
}

} // namespace
