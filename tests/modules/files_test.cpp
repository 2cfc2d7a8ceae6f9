// The filesystem module's files: the relative-name rule (working directory,
// the process's current folder until one is set, then write directory),
// fs::file reading, and the write directory's limits.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "host/modules/filesystem_module.h"
#include "modules/filesystem/working_directory.h"
#include "tests/modules/temp_directory.h"

namespace {

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char here[4096];
        ASSERT_NE(getcwd(here, sizeof(here)), nullptr);
        previous = here;
        std::filesystem::create_directories(working.path() / "MC");
        ASSERT_EQ(chdir(working.str().c_str()), 0);
        ASSERT_TRUE(
            fs::init((writing / "Mirecrest").c_str(), FFSAddSourceFlags::Default, "out/cache", false, true, nullptr));
    }
    void TearDown() override
    {
        fs::shutdown();
        ASSERT_EQ(chdir(previous.c_str()), 0);
    }
    std::string contents(const char* name)
    {
        fs::file f;
        if (!f.open(name, EFSMode::Read, FFSOpenFlags::None))
            return "<not opened>";
        std::string text(size_t(f.length()), '\0');
        EXPECT_EQ(f.read(text.data(), text.size()), text.size());
        return text;
    }

    std::string previous;
    temp_directory working;
    temp_directory writing;
};

TEST_F(FilesTest, RelativeNamesFollowTheWorkingDirectoryOnceSet)
{
    temp_directory game; // the game's folder, given as the working directory, not the current folder
    write_text(working / "game.ini", "from the current folder");
    write_text(game / "game.ini", "from the working directory");
    write_text(writing / "Mirecrest/Audio.scr", "only in the write directory");
    std::filesystem::create_directories(game.path() / "scripts");
    write_text(game / "scripts/a.mcs", "nested");
    ASSERT_TRUE(fs::set_working_directory((game.str() + "/").c_str()));
    EXPECT_EQ(contents("game.ini"), "from the working directory");
    EXPECT_EQ(contents("scripts/a.mcs"), "nested");
    EXPECT_EQ(contents("Audio.scr"), "only in the write directory");
    EXPECT_TRUE(fs::does_dir_exist("scripts"));
    EXPECT_FALSE(fs::does_dir_exist("MC")); // only in the current folder
    ASSERT_TRUE(fs::set_working_directory(nullptr));
    EXPECT_EQ(contents("game.ini"), "from the current folder");
    EXPECT_FALSE(fs::set_working_directory(std::string(260, 'w').c_str())); // no room: unset, never cut
    EXPECT_EQ(contents("game.ini"), "from the current folder");
}

TEST_F(FilesTest, RelativeNamesTryWorkingThenWriteDirectory)
{
    write_text(working / "game.ini", "from the working directory");
    write_text(writing / "Mirecrest/game.ini", "from the write directory");
    write_text(writing / "Mirecrest/Audio.scr", "only in the write directory");
    EXPECT_EQ(contents("game.ini"), "from the working directory");
    EXPECT_EQ(contents("Audio.scr"), "only in the write directory");
    EXPECT_EQ(contents((writing / "Mirecrest/game.ini").c_str()), "from the write directory");
    EXPECT_EQ(contents("missing.ini"), "<not opened>");
    EXPECT_EQ(contents("MC"), "<not opened>"); // a directory is not a file
    EXPECT_TRUE(fs::exists("Audio.scr"));
    EXPECT_FALSE(fs::exists("missing.ini"));
    EXPECT_TRUE(fs::does_dir_exist("MC"));
    EXPECT_FALSE(fs::does_dir_exist("game.ini"));
}

TEST_F(FilesTest, ReadsInPiecesAndReopens)
{
    write_text(working / "data.bin", std::string("abcdefgh"));
    fs::file f;
    ASSERT_TRUE(f.open("data.bin", EFSMode::Read, FFSOpenFlags::None));
    EXPECT_EQ(f.length(), 8u);
    char piece[5] = {};
    EXPECT_EQ(f.read(piece, 3), 3u);
    EXPECT_STREQ(piece, "abc");
    EXPECT_EQ(f.length(), 8u); // asking the length keeps the position
    EXPECT_EQ(f.read(piece, 4), 4u);
    EXPECT_STREQ(piece, "defg");
    EXPECT_EQ(f.read(piece, 4), 1u); // only what is left
    f.close();
    EXPECT_EQ(f.read(piece, 4), 0u);
    EXPECT_EQ(f.length(), 0u);
    write_text(working / "other.bin", "xy");
    ASSERT_TRUE(f.open("other.bin", EFSMode::Read, FFSOpenFlags::None));
    EXPECT_EQ(f.length(), 2u);
}

TEST_F(FilesTest, FullPathsStartWithASlash)
{
#if defined(_WIN32)
    EXPECT_TRUE(fs::is_full_path("D:\\Saves"));
    EXPECT_TRUE(fs::is_full_path("\\\\server\\share\\Saves"));
    EXPECT_FALSE(fs::is_full_path("\\Saves")); // the current drive's root: not a full path
#else
    EXPECT_TRUE(fs::is_full_path("/home/player/Documents"));
#endif
    EXPECT_FALSE(fs::is_full_path("Mirecrest"));
    EXPECT_FALSE(fs::is_full_path(""));
    EXPECT_FALSE(fs::is_full_path(nullptr));
}

#if defined(_WIN32)
// There is no SDL for Windows: the module keeps no window state, and the host
// (reading the DLL's data through its import) has nothing to tear down.
TEST_F(FilesTest, NoSdlStateWithoutSdl) { EXPECT_EQ(g_SdlManager, nullptr); }
#endif

TEST_F(FilesTest, InitMakesMissingParentsAndRefusesOverlongPaths)
{
    fs::shutdown();
    std::string deep = writing / "a/b/c";
    EXPECT_TRUE(fs::init(deep.c_str(), FFSAddSourceFlags::Default, "", false, true, nullptr));
    EXPECT_TRUE(std::filesystem::is_directory(deep));
    EXPECT_TRUE(std::filesystem::exists(deep + "/mirecrest.log"));
    fs::shutdown();
    std::string too_long = "/tmp/" + std::string(300, 'x');
    EXPECT_FALSE(fs::init(too_long.c_str(), FFSAddSourceFlags::Default, "", false, true, nullptr));
    std::error_code error;
    EXPECT_FALSE(std::filesystem::exists(too_long, error));
}

} // namespace
