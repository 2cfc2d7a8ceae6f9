// Paths, resources and the shell-folder road: path splitting, buffer limits,
// the documents folder from the environment and from user-dirs.dirs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "tests/modules/temp_directory.h"

namespace {

TEST(Paths, SplitLikeSplitpath)
{
    struct row {
        const char* path;
        const char* directory;
        const char* name;
        const char* extension;
    } rows[] = {
        { "/opt/game/bin/mirecrest", "/opt/game/bin/", "mirecrest", "" },
        { "/opt/game/bin/engine.so", "/opt/game/bin/", "engine", ".so" },
        { "relative/file.tar.gz", "relative/", "file.tar", ".gz" },
        { "name", "", "name", "" },
        { "/dir.d/name", "/dir.d/", "name", "" },
    };
    for (const row& r : rows) {
        char drive[platform::max_path] = "x";
        char directory[platform::max_path];
        char name[platform::max_path];
        char extension[platform::max_path];
        platform::split_path(r.path, drive, directory, name, extension);
        EXPECT_STREQ(drive, "") << r.path;
        EXPECT_STREQ(directory, r.directory) << r.path;
        EXPECT_STREQ(name, r.name) << r.path;
        EXPECT_STREQ(extension, r.extension) << r.path;
    }
}

// A module name that does not fit is cut as GetModuleFileNameA cuts it; a
// current directory that does not fit gives nothing.
TEST(Paths, BuffersThatAreTooSmall)
{
    char path[platform::max_path];
    uint32_t length = platform::module_file_name(nullptr, path, sizeof(path));
    ASSERT_GT(length, 0u);
    EXPECT_NE(std::string(path).find("platform_tests"), std::string::npos);
    std::string whole = path;
    EXPECT_EQ(platform::module_file_name(nullptr, path, length), length); // no room for the zero
    EXPECT_EQ(std::string(path), whole.substr(0, length - 1));
    EXPECT_EQ(platform::module_file_name(nullptr, path, length + 1), length);
    EXPECT_EQ(std::string(path), whole);
    EXPECT_EQ(platform::module_file_name(nullptr, path, 0), 0u);
    length = platform::current_directory(sizeof(path), path);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(platform::current_directory(length, path), 0u);
    EXPECT_NE(std::string(platform::command_line()).find("platform_tests"), std::string::npos);
}

TEST(Resources, ProductNameAndStandIns)
{
    char text[64];
    EXPECT_EQ(platform::load_string(nullptr, 160, text, sizeof(text)), 10);
    EXPECT_STREQ(text, "Mire Crest");
    EXPECT_EQ(platform::load_string(nullptr, 160, text, 5), 4);
    EXPECT_STREQ(text, "Mire");
    EXPECT_EQ(platform::load_string(nullptr, 1, text, sizeof(text)), 0);
    platform::handle icon = platform::load_icon(
        nullptr, 161, platform::system_metric(platform::sm_cxicon), platform::system_metric(platform::sm_cyicon));
    EXPECT_NE(icon, nullptr);
    platform::destroy_icon(icon);
    EXPECT_EQ(platform::load_icon(nullptr, 162, 32, 32), nullptr);
    platform::handle bitmap = platform::load_bitmap(nullptr, 159);
    EXPECT_NE(bitmap, nullptr);
    platform::destroy_bitmap(bitmap);
}

class ShellFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::os_version version;
        ASSERT_TRUE(platform::get_version(&version));
        ASSERT_GE(version.major, 5u); // the shell32 road
        function = reinterpret_cast<platform::folder_path_function>(
            platform::proc_address(platform::module_handle("shell32.dll"), "SHGetFolderPathA"));
        ASSERT_NE(function, nullptr);
        for (const char* name : { "XDG_DOCUMENTS_DIR", "XDG_CONFIG_HOME", "HOME" })
            if (const char* value = std::getenv(name))
                saved.emplace_back(name, value);
        unsetenv("XDG_DOCUMENTS_DIR");
        unsetenv("XDG_CONFIG_HOME");
        setenv("HOME", home.str().c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("XDG_DOCUMENTS_DIR");
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("HOME");
        for (auto& [name, value] : saved)
            setenv(name.c_str(), value.c_str(), 1);
    }
    std::string personal()
    {
        char path[platform::max_path] = "";
        long result = function(nullptr, platform::csidl_personal, nullptr, 0, path);
        return result < 0 ? "<failed>" : path;
    }

    platform::folder_path_function function = nullptr;
    temp_directory home;
    std::vector<std::pair<std::string, std::string>> saved;
};

TEST_F(ShellFolder, DocumentsFolderChoices)
{
    EXPECT_EQ(personal(), home.str()); // nothing else: $HOME
    std::filesystem::create_directories(home / ".config");
    write_text(home / ".config/user-dirs.dirs",
        "# written by xdg-user-dirs-update\n"
        "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
        "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    EXPECT_EQ(personal(), home / "Dokumente");
    setenv("XDG_DOCUMENTS_DIR", "/srv/docs", 1);
    EXPECT_EQ(personal(), "/srv/docs");
    unsetenv("XDG_DOCUMENTS_DIR");
    unsetenv("HOME");
    EXPECT_EQ(personal(), "<failed>");
}

TEST_F(ShellFolder, DocumentsPathTooLongFails)
{
    setenv("XDG_DOCUMENTS_DIR", ("/" + std::string(platform::max_path, 'd')).c_str(), 1);
    EXPECT_EQ(personal(), "<failed>");
    char path[platform::max_path];
    EXPECT_LT(function(nullptr, 0x1A /* CSIDL_APPDATA */, nullptr, 0, path), 0);
    EXPECT_EQ(platform::proc_address(platform::module_handle("SHELL32.DLL"), "SHGetFolderPathW"), nullptr);
}

} // namespace
