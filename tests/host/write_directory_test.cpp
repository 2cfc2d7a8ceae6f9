// The write directory: the registry name, a full path as is, the documents
// folder road on old and new systems, and the fallback with filesystem flags 5.
#include "host/write_directory.h"

#include "tests/host/host_fixture.h"

namespace {

const char* kDocs = "C:\\Users\\Player\\Documents\\";
const char* kFallback = "C:\\Games\\MireCrest\\bin\\MC\\out";

// Arranges the platform, then expects fs::init's write directory and flags.
struct WriteDirCase {
    const char* name;
    void (*arrange)();
    std::string write_dir;
    int flags;
};

const WriteDirCase kCases[] = {
    { "RegistryFullPathAsIs", [] { platform::fake::set().registry["WriteDir"] = "D:\\Saves"; }, "D:\\Saves", 1 },
    { "RegistryName", [] { platform::fake::set().registry["WriteDir"] = "MySaves"; }, std::string(kDocs) + "MySaves",
        1 },
    { "EmptyRegistryName", [] { platform::fake::set().registry["WriteDir"] = ""; }, kFallback, 5 },
    { "MissingKey", [] { platform::fake::set().registry_key_exists = false; }, std::string(kDocs) + "Mirecrest", 1 },
    { "RegistryNameTooLongKeepsDefault", [] { platform::fake::set().registry["WriteDir"] = std::string(260, 'w'); },
        std::string(kDocs) + "Mirecrest", 1 },
    { "NoVersion", [] { platform::fake::set().version = std::nullopt; }, kFallback, 5 },
    { "OldSystemUsesShFolder",
        [] {
            platform::fake::set().version = platform::os_version { 156, 4, 0, 1381 };
        },
        std::string(kDocs) + "Mirecrest", 1 },
    { "ShFolderMissing",
        [] {
            platform::fake::set().version = platform::os_version { 156, 4, 0, 1381 };
            platform::fake::set().shfolder_loads = false;
        },
        kFallback, 5 },
    { "Shell32Missing", [] { platform::fake::set().shell32_loaded = false; }, kFallback, 5 },
    { "NoFolderFunction", [] { platform::fake::set().folder_function_exists = false; }, kFallback, 5 },
    { "FolderFunctionFails", [] { platform::fake::set().folder_result = -2147467259L; }, kFallback, 5 },
};

class WriteDirTest : public HostTest, public ::testing::WithParamInterface<WriteDirCase> { };

TEST_P(WriteDirTest, ReachesFsInit)
{
    GetParam().arrange();
    EXPECT_EQ(run(""), 0);
    std::string expected
        = "fs::init(" + GetParam().write_dir + ", " + std::to_string(GetParam().flags) + ", out/cache, false, true)";
    EXPECT_TRUE(called(expected)) << expected;
    EXPECT_TRUE(called("create_directory(" + GetParam().write_dir + ")"));
}

INSTANTIATE_TEST_SUITE_P(Host, WriteDirTest, ::testing::ValuesIn(kCases),
    [](const auto& param_info) { return std::string(param_info.param.name); });

// A new system's road through shell32 is in the whole start-up's call list.
TEST_F(HostTest, OldSystemLoadsShFolderInsteadOfShell32)
{
    platform::fake::set().version = platform::os_version { 156, 4, 0, 1381 };
    run("");
    EXPECT_TRUE(called("load_library_in_activation_context(SHFolder.dll)"));
    EXPECT_FALSE(called_starting_with("module_handle"));
}

TEST_F(HostTest, FallbackUsesTheGameFolder)
{
    platform::fake::set().registry["WriteDir"] = "";
    run("gn=");
    EXPECT_TRUE(called("fs::init(C:\\Games\\MireCrest\\bin\\Engine\\out, 5, out/cache, false, true)"));
}

TEST(WriteDirectory, ComposedPathThatDoesNotFitIsRefused)
{
    fakes::reset();
    PathText working("C:\\W\\");
    PathText write_dir;
    FFSAddSourceFlags::ENUM flags = FFSAddSourceFlags::Default;

    // documents (25) + separator + name: 233 characters of name fill 259 exactly.
    EXPECT_TRUE(ChooseWriteDirectory(PathText(std::string(233, 'n').c_str()), working, "MC", write_dir, flags));
    EXPECT_EQ(write_dir.length(), 259u);
    EXPECT_FALSE(ChooseWriteDirectory(PathText(std::string(234, 'n').c_str()), working, "MC", write_dir, flags));
    EXPECT_EQ(write_dir.length(), 259u) << "left as it was";
    EXPECT_EQ(fakes::log_entries_of("EXIT").size(), 1u);

    // The fallback: working dir (5) + folder + "\out" (4).
    EXPECT_TRUE(ChooseWriteDirectory(PathText(""), working, std::string(250, 'g').c_str(), write_dir, flags));
    EXPECT_EQ(flags, 5);
    EXPECT_FALSE(ChooseWriteDirectory(PathText(""), working, std::string(251, 'g').c_str(), write_dir, flags));
    fakes::reset();
}

// A WriteDir value up to 259 characters is taken; a longer one is refused with
// an error record that says why, and the default name goes on.
TEST_F(HostTest, OverLongWriteDirIsRefusedWithTheReason)
{
    const std::string full = "D:\\" + std::string(256, 'w'); // 259 characters
    struct {
        std::string value;
        std::string write_dir;
        const char* record;
    } cases[] = {
        { full, full, nullptr },
        { full + "x", std::string(kDocs) + "Mirecrest",
            "The registry value WriteDir is refused: its 260 characters do not fit in 259; the write directory name "
            "stays Mirecrest\n" },
        { std::string(5000, 'w'), std::string(kDocs) + "Mirecrest",
            "The registry value WriteDir is refused: its 5000 characters do not fit in 259; the write directory name "
            "stays Mirecrest\n" },
    };
    for (const auto& c : cases) {
        reset_everything();
        platform::fake::set().registry["WriteDir"] = c.value;
        EXPECT_EQ(run(""), 0);
        EXPECT_TRUE(called("fs::init(" + c.write_dir + ", 1, out/cache, false, true)")) << c.value.size();
        std::vector<fakes::log_entry> records;
        for (const fakes::log_entry& e : fakes::log_entries_of("Game"))
            if (e.level <= 2)
                records.push_back(e);
        if (!c.record) {
            EXPECT_TRUE(records.empty()) << c.value.size();
            continue;
        }
        ASSERT_EQ(records.size(), 1u) << c.value.size();
        EXPECT_EQ(records[0].file, "WinFrame");
        EXPECT_EQ(records[0].text, c.record);
    }
}

TEST_F(HostTest, WriteDirectoryThatDoesNotFitRefusesStartUp)
{
    platform::fake::set().registry["WriteDir"] = std::string(240, 'n');
    EXPECT_EQ(run(""), 0);
    EXPECT_FALSE(called_starting_with("Mount::CreateMountHelper"));
    EXPECT_FALSE(called_starting_with("fs::init"));
    EXPECT_EQ(fakes::log_entries_of("EXIT").size(), 1u);
}

} // namespace
