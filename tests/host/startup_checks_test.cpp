// The single-instance and free-disk-space checks: mutex outcomes, the message
// boxes with registry texts and defaults, the 200 MB threshold, and message
// formats that are not exactly one "%s" then one "%d".
#include "host/startup_checks.h"

#include "tests/host/host_fixture.h"

namespace {

const std::string kRunningBox = "message_box(null, Mire Crest is already running, Mire Crest Error, 0x10)";

struct InstanceCase {
    const char* name;
    bool handle;
    uint32_t error;
    const char* command_line;
    bool go_on;
};

const InstanceCase kInstanceCases[] = {
    { "FirstInstance", true, platform::error_success, "", true },
    { "AlreadyRunning", true, platform::error_already_exists, "", false },
    { "OtherUsersInstance", false, platform::error_access_denied, "", false },
    { "OtherCreateError", false, 87, "", true },
    { "HandleWithAccessDenied", true, platform::error_access_denied, "", true },
    { "AmiLetsASecondStart", true, platform::error_already_exists, "x -ami", true },
    { "AmiInsideAWord", false, platform::error_access_denied, "gamix-amiy", true },
    { "AmiIsCaseSensitive", true, platform::error_already_exists, "-AMI", false },
};

class InstanceTest : public HostTest, public ::testing::WithParamInterface<InstanceCase> { };

TEST_P(InstanceTest, DecidesAndTellsTheUser)
{
    platform::fake::set().mutex_handle = GetParam().handle;
    platform::fake::set().mutex_error = GetParam().error;
    EXPECT_EQ(CheckSingleInstance(GetParam().command_line), GetParam().go_on);
    EXPECT_EQ(platform::fake::calls().front(), "create_mutex(Global\\IronveilMutex)");
    EXPECT_EQ(called(kRunningBox), !GetParam().go_on);
}

INSTANTIATE_TEST_SUITE_P(Host, InstanceTest, ::testing::ValuesIn(kInstanceCases),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(HostTest, AlreadyRunningTextsComeFromTheRegistryWithDefaultsForEmptyOrOverLong)
{
    platform::fake::set().mutex_error = platform::error_already_exists;
    platform::fake::set().registry["AlreadyRunningCaption"] = "Busy";
    platform::fake::set().registry["AlreadyRunningText"] = "";
    CheckSingleInstance("");
    EXPECT_TRUE(called("message_box(null, Mire Crest is already running, Busy, 0x10)"));
    EXPECT_TRUE(called("registry_read_string(AlreadyRunningCaption, 260)"));

    reset_everything();
    platform::fake::set().mutex_error = platform::error_already_exists;
    platform::fake::set().registry["AlreadyRunningCaption"] = std::string(259, 'c');
    platform::fake::set().registry["AlreadyRunningText"] = std::string(260, 't');
    CheckSingleInstance("");
    EXPECT_TRUE(called("message_box(null, Mire Crest is already running, " + std::string(259, 'c') + ", 0x10)"));

    reset_everything();
    platform::fake::set().mutex_error = platform::error_already_exists;
    platform::fake::set().registry_key_exists = false;
    CheckSingleInstance("");
    EXPECT_TRUE(called(kRunningBox));
    EXPECT_FALSE(called("registry_close()"));
}

std::string disk_box(const std::string& dir, int megabytes)
{
    return "message_box(null, You have insufficient disk space on drive " + dir + "\nPlease free up "
        + std::to_string(megabytes) + " MB of disk space and run this game again., Free disk space warning, 0x31)";
}

constexpr uint64_t kMb = 1048576;

struct DiskCase {
    const char* name;
    std::optional<uint64_t> free_bytes;
    int answer;
    int box_megabytes; // 0: no box
    bool go_on;
};

const DiskCase kDiskCases[] = {
    { "PlentyFree", 5000 * kMb, platform::idok, 0, true },
    { "ExactlyTwoHundred", 200 * kMb, platform::idok, 0, true },
    { "JustBelowTwoHundred", 200 * kMb - 1, platform::idok, 1, false },
    { "OneNinetyNine", 199 * kMb, platform::idok, 1, false },
    { "NothingFree", 0, platform::idok, 200, false },
    { "HalfAMegabyte", kMb / 2, platform::idok, 200, false },
    { "CancelGoesOn", 10 * kMb, platform::idcancel, 190, true },
    { "QueryFails", std::nullopt, platform::idok, 0, true },
};

class DiskTest : public HostTest, public ::testing::WithParamInterface<DiskCase> { };

TEST_P(DiskTest, WarnsBelowTwoHundredMegabytes)
{
    const std::string dir = "D:\\Some Where\\Saves";
    platform::fake::set().disk_free_bytes = GetParam().free_bytes;
    platform::fake::set().message_box_answers = { GetParam().answer };
    EXPECT_EQ(CheckFreeDiskSpace(dir.c_str()), GetParam().go_on);
    EXPECT_EQ(platform::fake::calls().front(), "create_directory(" + dir + ")");
    if (GetParam().box_megabytes)
        EXPECT_TRUE(called(disk_box(dir, GetParam().box_megabytes))) << platform::fake::calls().back();
    else
        EXPECT_FALSE(called_starting_with("message_box"));
}

INSTANTIATE_TEST_SUITE_P(Host, DiskTest, ::testing::ValuesIn(kDiskCases),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(HostTest, FailedCreateDirectoryIsIgnored)
{
    platform::fake::set().create_directory_result = false;
    EXPECT_TRUE(CheckFreeDiskSpace("C:\\x"));
    EXPECT_TRUE(called("disk_free_space(C:\\x)"));
}

struct FormatCase {
    const char* text;
    bool usable;
};

const FormatCase kFormats[] = {
    { "%s needs %d MB", true },
    { "100%% sure: %s, %d", true },
    { "%d MB on %s", false },
    { "only %s", false },
    { "only %d", false },
    { "", false },
    { "%s %d %s", false },
    { "%s %d %d", false },
    { "%s %n", false },
    { "%s %5d", false },
    { "%s %ld", false },
    { "%-s %d", false },
    { "%s %d %", false },
    { "%s%d", true },
};

TEST(DiskSpaceFormat, AcceptsExactlyOneTextThenOneInt)
{
    for (const FormatCase& f : kFormats)
        EXPECT_EQ(IsDiskSpaceFormat(f.text), f.usable) << f.text;
}

TEST_F(HostTest, DiskSpaceTextsComeFromTheRegistryUnlessUnusable)
{
    platform::fake::set().disk_free_bytes = 0;
    platform::fake::set().registry["FreeDiskSpaceWarningCaption"] = "Disk";
    platform::fake::set().registry["FreeDiskSpaceWarningText"] = "Free %d MB on %s";
    CheckFreeDiskSpace("C:\\w");
    EXPECT_TRUE(called(
        "message_box(null, You have insufficient disk space on drive C:\\w\nPlease free up 200 MB of disk space and "
        "run this game again., Disk, 0x31)"));
    EXPECT_TRUE(called("registry_read_string(FreeDiskSpaceWarningText, 1024)"));

    reset_everything();
    platform::fake::set().disk_free_bytes = 0;
    platform::fake::set().registry["FreeDiskSpaceWarningCaption"] = "";
    platform::fake::set().registry["FreeDiskSpaceWarningText"] = "%s is full, free %d MB";
    CheckFreeDiskSpace("C:\\w");
    EXPECT_TRUE(called("message_box(null, C:\\w is full, free 200 MB, Free disk space warning, 0x31)"));
}

TEST_F(HostTest, LongMessageIsCutToTheTextBuffer)
{
    platform::fake::set().disk_free_bytes = 0;
    platform::fake::set().registry["FreeDiskSpaceWarningText"] = std::string(1000, 'x') + "%s%d";
    CheckFreeDiskSpace(std::string(200, 'd').c_str());
    auto boxes = platform::fake::calls_starting_with({ "message_box" });
    ASSERT_EQ(boxes.size(), 1u);
    std::string expected = "message_box(null, " + (std::string(1000, 'x') + std::string(200, 'd')).substr(0, 1023);
    EXPECT_EQ(boxes[0].substr(0, expected.size()), expected);
    EXPECT_EQ(boxes[0].substr(expected.size()), ", Free disk space warning, 0x31)");
}

} // namespace
