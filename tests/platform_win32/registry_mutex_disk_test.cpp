// The Win32 registry, named mutex, disk and directory calls against the real
// system (under Wine: the test run's own prefix, whose HKEY_LOCAL_MACHINE the
// test may write).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace {

std::string unique_name(const char* stem) { return stem + std::to_string(GetCurrentProcessId()); }

// A key of its own under HKEY_LOCAL_MACHINE with values of every kind the reader meets.
class Win32Registry : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(
            RegCreateKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
        set("WriteDir", REG_SZ, "D:\\Saves", 9);
        set("Expandable", REG_EXPAND_SZ, "%TEMP%\\x", 9);
        set("Empty", REG_SZ, "", 1);
        set("Unterminated", REG_SZ, "abc", 3);
        set("Number", REG_DWORD, "\x01\x00\x00\x00", 4);
        set("Long", REG_SZ, "0123456789abcdef", 17);
    }
    void TearDown() override
    {
        RegCloseKey(key);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, subkey.c_str());
    }
    void set(const char* name, DWORD type, const char* data, DWORD size)
    {
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }

    std::string subkey = "SOFTWARE\\Quillon\\" + unique_name("MirecrestTest");
    HKEY key = nullptr;
};

TEST_F(Win32Registry, ReadsStringValuesAndRefusesTheRest)
{
    platform::handle opened = nullptr;
    ASSERT_TRUE(platform::registry_open(subkey.c_str(), &opened));
    struct row {
        const char* value;
        uint32_t size;
        bool ok;
        const char* text;
        uint32_t stored;
    } rows[] = {
        { "WriteDir", 260, true, "D:\\Saves", 9 },
        { "writedir", 260, true, "D:\\Saves", 9 }, // value names ignore case
        { "Expandable", 260, true, "%TEMP%\\x", 9 }, // taken as stored, not expanded
        { "Empty", 260, true, "", 1 },
        { "Unterminated", 260, true, "abc", 4 }, // the zero is added
        { "Unterminated", 3, false, nullptr, 4 }, // no room for the zero
        { "Number", 260, false, nullptr, 260 },
        { "Long", 8, false, nullptr, 17 }, // the size it would take
        { "Missing", 260, false, nullptr, 260 },
    };
    for (const row& r : rows) {
        char buffer[260] = "unchanged";
        uint32_t size = r.size;
        EXPECT_EQ(platform::registry_read_string(opened, r.value, buffer, &size), r.ok) << r.value;
        if (r.ok) {
            EXPECT_STREQ(buffer, r.text) << r.value;
        }
        if (r.stored != 260) {
            EXPECT_EQ(size, r.stored) << r.value;
        }
    }
    platform::registry_close(opened);
}

TEST_F(Win32Registry, MissingKeyDoesNotOpen)
{
    platform::handle opened = nullptr;
    EXPECT_FALSE(platform::registry_open((subkey + "\\Nothing").c_str(), &opened));
    EXPECT_FALSE(platform::registry_open(nullptr, &opened));
}

TEST(Win32Mutex, SecondCreateSeesTheExistingMutex)
{
    std::string name = "Local\\" + unique_name("McTestMutex");
    platform::handle first = platform::create_mutex(true, name.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(platform::last_error(), platform::error_success);
    platform::handle second = platform::create_mutex(true, name.c_str());
    EXPECT_NE(second, nullptr);
    EXPECT_EQ(platform::last_error(), platform::error_already_exists);
    CloseHandle(second);
    CloseHandle(first);
}

// A mutex whose owner lets no one else open it, as another user's instance does.
TEST(Win32Mutex, MutexOthersMayNotOpenIsAccessDenied)
{
    SECURITY_DESCRIPTOR descriptor;
    ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    alignas(ACL) unsigned char acl_memory[64];
    auto* acl = reinterpret_cast<ACL*>(acl_memory);
    ASSERT_TRUE(InitializeAcl(acl, sizeof(acl_memory), ACL_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE)); // an empty list: no access for anyone
    SECURITY_ATTRIBUTES attributes { sizeof(attributes), &descriptor, FALSE };
    std::string name = "Local\\" + unique_name("McLockedMutex");
    HANDLE held = CreateMutexA(&attributes, TRUE, name.c_str());
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(platform::create_mutex(true, name.c_str()), nullptr);
    EXPECT_EQ(platform::last_error(), platform::error_access_denied);
    CloseHandle(held);
}

TEST(Win32Disk, FreeSpaceAndDirectories)
{
    uint64_t available = 0;
    EXPECT_TRUE(platform::disk_free_space("C:\\", &available));
    EXPECT_GT(available, 0u);
    EXPECT_FALSE(platform::disk_free_space("Q:\\no\\such\\place\\", &available));

    std::filesystem::path folder = std::filesystem::temp_directory_path() / unique_name("mc-win32-dir-");
    std::filesystem::remove_all(folder);
    EXPECT_TRUE(platform::create_directory(folder.string().c_str()));
    EXPECT_FALSE(platform::create_directory(folder.string().c_str()));
    EXPECT_EQ(platform::last_error(), platform::error_already_exists);
    EXPECT_TRUE(platform::disk_free_space(folder.string().c_str(), &available));
    EXPECT_FALSE(platform::create_directory((folder / "missing" / "child").string().c_str()));
    std::filesystem::remove_all(folder);
}

} // namespace
