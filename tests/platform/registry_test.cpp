// The registry file: sections and names in any letter case, comments, blanks,
// the last line of a name winning, MC_REGISTRY_FILE, values too long for the
// caller's buffer being refused, and files that are no registry file (devices,
// FIFOs, directories, oversized files) refused at once with the reason told.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "tests/modules/temp_directory.h"
#include "tests/platform/captured_stderr.h"

namespace {

constexpr const char* key_path = "SOFTWARE\\Quillon\\Mirecrest";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("MC_REGISTRY_FILE", file.c_str(), 1); }
    void TearDown() override { unsetenv("MC_REGISTRY_FILE"); }
    void contents(const std::string& text) { write_text(file, text); }
    // The value as read into a buffer of the given size, or "<none>".
    std::string read(const char* name, uint32_t size = 260)
    {
        platform::handle key = nullptr;
        if (!platform::registry_open(key_path, &key))
            return "<no key>";
        std::string buffer(size, '#');
        uint32_t stored = size;
        bool ok = platform::registry_read_string(key, name, buffer.data(), &stored);
        platform::registry_close(key);
        if (!ok)
            return "<none>";
        EXPECT_EQ(stored, std::string(buffer.c_str()).size() + 1) << name;
        return buffer.c_str();
    }

    temp_directory directory;
    std::string file = directory / "registry.ini";
};

TEST_F(RegistryTest, ReadsValuesOfItsSectionOnly)
{
    contents("; comment\n"
             "[SOFTWARE\\Other]\n"
             "WriteDir=wrong\n"
             "[software\\quillon\\MIRECREST]\n"
             "  WriteDir =  Saves Here  \n"
             "# another comment\n"
             "AlreadyRunningCaption=\n"
             "AlreadyRunningText=first\n"
             "alreadyrunningtext=second\n"
             "Broken line without equals\n"
             "[SOFTWARE\\After]\n"
             "FreeDiskSpaceWarningText=wrong\n");
    struct row {
        const char* name;
        const char* value;
    } rows[] = {
        { "WriteDir", "Saves Here" },
        { "AlreadyRunningCaption", "" },
        { "AlreadyRunningText", "second" },
        { "FreeDiskSpaceWarningText", "<none>" },
        { "Missing", "<none>" },
    };
    for (const row& r : rows)
        EXPECT_EQ(read(r.name), r.value) << r.name;
}

TEST_F(RegistryTest, MissingFileOrSectionDoesNotOpen)
{
    EXPECT_EQ(read("WriteDir"), "<no key>"); // no file yet
    contents("[SOFTWARE\\Other]\nWriteDir=x\n");
    EXPECT_EQ(read("WriteDir"), "<no key>");
    contents("[SOFTWARE\\Quillon\\Mirecrest]\n");
    EXPECT_EQ(read("WriteDir"), "<none>"); // an empty section still opens
}

TEST_F(RegistryTest, ValueTooLongForTheBufferIsRefused)
{
    contents(
        "[SOFTWARE\\Quillon\\Mirecrest]\nWriteDir=" + std::string(259, 'a') + "\nText=" + std::string(260, 'b') + "\n");
    EXPECT_EQ(read("WriteDir", 260), std::string(259, 'a')); // 259 characters and the zero fit exactly
    EXPECT_EQ(read("Text", 260), "<none>");

    platform::handle key = nullptr;
    ASSERT_TRUE(platform::registry_open(key_path, &key));
    char buffer[8] = "keep";
    uint32_t size = sizeof(buffer);
    EXPECT_FALSE(platform::registry_read_string(key, "Text", buffer, &size));
    EXPECT_STREQ(buffer, "keep"); // nothing written
    EXPECT_EQ(size, 261u); // the size it would take
    platform::registry_close(key);
}

TEST_F(RegistryTest, OverlongLinesAreSkippedWhole)
{
    contents("[SOFTWARE\\Quillon\\Mirecrest]\nWriteDir=" + std::string(2000, 'c') + "\nAfter=yes\n");
    EXPECT_EQ(read("WriteDir", 4096), "<none>"); // never a cut-off value
    EXPECT_EQ(read("After"), "yes");
}

TEST_F(RegistryTest, OnlyRegularFilesOfBoundedSizeAreRead)
{
    const std::string section = "[SOFTWARE\\Quillon\\Mirecrest]\nWriteDir=read\n";
    std::string fifo = directory / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string padded = directory / "padded.ini"; // exactly the 64 KiB a registry file may have
    write_text(padded, section + std::string(64 * 1024 - section.size(), '\n'));
    std::string oversized = directory / "oversized.ini";
    write_text(oversized, section + std::string(64 * 1024 - section.size() + 1, '\n'));
    struct row {
        std::string path;
        const char* value;
        const char* told; // on standard error, or "" for nothing
    } rows[] = {
        { fifo, "<no key>", "is not read: it is a FIFO, not a regular file" }, // no writer: used to hang
        { "/dev/zero", "<no key>", "is not read: it is a device, not a regular file" }, // never ends a line
        { directory.str(), "<no key>", "is not read: it is a directory, not a regular file" },
        { oversized, "<no key>", "is not read: it is larger than 64 KiB" }, { padded, "read", "" },
        { directory / "missing.ini", "<no key>", "" }, // no registry file is the usual case: nothing to tell
    };
    for (const row& r : rows) {
        setenv("MC_REGISTRY_FILE", r.path.c_str(), 1);
        captured_stderr error;
        EXPECT_EQ(read("WriteDir"), r.value) << r.path;
        if (r.told[0])
            EXPECT_EQ(error.text(), "WARN Platform registry: the registry file '" + r.path + "' " + r.told + "\n");
        else
            EXPECT_EQ(error.text(), "") << r.path;
    }
}

} // namespace
