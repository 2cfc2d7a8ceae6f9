// The files the modules write, against the real Win32 calls: a log file held
// by one opener at a time and emptied only once held, new files that never
// replace anything, and errors in the system's words.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace {

std::string contents(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class Win32Files : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(directory); }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }
    std::filesystem::path directory
        = std::filesystem::temp_directory_path() / ("mc-files-" + std::to_string(GetCurrentProcessId()));
};

TEST_F(Win32Files, OwnedFileIsHeldByOneOpenerAndEmptiedOnlyOnceHeld)
{
    std::string log = (directory / "mirecrest.log").string();
    std::ofstream(log) << "an earlier run";
    platform::handle held = platform::open_owned_file(log.c_str());
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(contents(log), "");
    ASSERT_TRUE(platform::write_file(held, "first\r\n", 7));
    EXPECT_EQ(platform::open_owned_file(log.c_str()), nullptr);
    EXPECT_EQ(platform::last_error(), platform::error_sharing_violation);
    EXPECT_EQ(contents(log), "first\r\n") << "the second opener emptied the first one's log";
    EXPECT_TRUE(platform::close_file(held));
    platform::handle again = platform::open_owned_file(log.c_str());
    EXPECT_NE(again, nullptr);
    platform::close_file(again);
}

TEST_F(Win32Files, NewFileNeverReplacesAnExistingOne)
{
    std::string existing = (directory / "crash.txt").string();
    std::ofstream(existing) << "kept";
    EXPECT_EQ(platform::create_new_file(existing.c_str()), nullptr);
    EXPECT_EQ(platform::last_error(), platform::error_file_exists);
    EXPECT_EQ(contents(existing), "kept");
    char text[256];
    platform::error_text(platform::error_file_exists, text, sizeof(text));
    EXPECT_GT(std::string(text).size(), 0u);
    EXPECT_NE(std::string(text).back(), '\n');
    EXPECT_NE(std::string(text).back(), '.');
    std::string made_path = (directory / "new.txt").string();
    platform::handle made = platform::create_new_file(made_path.c_str());
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(platform::close_file(made));
    EXPECT_TRUE(platform::delete_file(made_path.c_str()));
    EXPECT_FALSE(platform::delete_file(made_path.c_str()));
}

} // namespace
