// The executable's resources, read from mirecrest.exe beside the tests through
// the Win32 backend: the splash bitmap (512 x 256, 24 bits), the product name
// and the icon group (six 32-bit sizes, each loadable).
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace {

constexpr int splash_bitmap = 159;
constexpr int product_name = 160;
constexpr int icon_group = 161;

// GRPICONDIR and its entries, as stored in an RT_GROUP_ICON resource.
#pragma pack(push, 2)
struct icon_group_entry {
    BYTE width, height, colours, reserved;
    WORD planes, bits;
    DWORD bytes;
    WORD id;
};
struct icon_group_header {
    WORD reserved, type, count;
};
#pragma pack(pop)

class Win32Resources : public ::testing::Test {
protected:
    void SetUp() override
    {
        char path[platform::max_path] = {};
        ASSERT_GT(platform::module_file_name(nullptr, path, sizeof(path)), 0u);
        std::string game = (std::filesystem::path(path).parent_path() / "mirecrest.exe").string();
        instance = LoadLibraryExA(game.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(instance, nullptr) << game;
    }
    void TearDown() override { FreeLibrary(instance); }

    const void* resource(int id, LPCSTR type)
    {
        HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), type);
        return found ? LockResource(LoadResource(instance, found)) : nullptr;
    }

    HMODULE instance = nullptr;
};

TEST_F(Win32Resources, SplashBitmapIs512By256With24Bits)
{
    auto* info = static_cast<const BITMAPINFOHEADER*>(resource(splash_bitmap, MAKEINTRESOURCEA(2))); // RT_BITMAP
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->biWidth, 512);
    EXPECT_EQ(info->biHeight, 256);
    EXPECT_EQ(info->biBitCount, 24);

    platform::handle bitmap = platform::load_bitmap(instance, splash_bitmap);
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION section {};
    ASSERT_EQ(GetObjectA(static_cast<HBITMAP>(bitmap), sizeof(section), &section), int(sizeof(section)));
    EXPECT_EQ(section.dsBm.bmWidth, 512);
    EXPECT_EQ(section.dsBm.bmHeight, 256);
    EXPECT_EQ(section.dsBm.bmBitsPixel, 24);
    platform::destroy_bitmap(bitmap);
    EXPECT_EQ(platform::load_bitmap(instance, 158), nullptr);
}

TEST_F(Win32Resources, ProductNameString)
{
    char text[64];
    EXPECT_EQ(platform::load_string(instance, product_name, text, sizeof(text)), 10);
    EXPECT_STREQ(text, "Mire Crest");
    char cut[5];
    EXPECT_EQ(platform::load_string(instance, product_name, cut, sizeof(cut)), 4);
    EXPECT_STREQ(cut, "Mire");
    EXPECT_EQ(platform::load_string(instance, 161, text, sizeof(text)), 0);
    EXPECT_STREQ(text, "");
}

TEST_F(Win32Resources, IconGroupHoldsSixSizesOf32Bits)
{
    auto* header = static_cast<const icon_group_header*>(resource(icon_group, MAKEINTRESOURCEA(14))); // RT_GROUP_ICON
    ASSERT_NE(header, nullptr);
    ASSERT_EQ(header->count, 6);
    auto* entries = reinterpret_cast<const icon_group_entry*>(header + 1);
    std::set<int> sizes;
    for (int i = 0; i < header->count; ++i) {
        EXPECT_EQ(entries[i].width, entries[i].height);
        EXPECT_EQ(entries[i].bits, 32);
        sizes.insert(entries[i].width);
    }
    EXPECT_EQ(sizes, (std::set<int> { 32, 48, 64, 72, 96, 128 }));

    for (int size : { 32, 48, 64, 72, 96, 128, 16 }) { // 16: scaled from the nearest
        platform::handle icon = platform::load_icon(instance, icon_group, size, size);
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info {};
        ASSERT_TRUE(GetIconInfo(static_cast<HICON>(icon), &info));
        BITMAP colour {};
        GetObjectA(info.hbmColor, sizeof(colour), &colour);
        EXPECT_EQ(colour.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        platform::destroy_icon(icon);
    }
    EXPECT_EQ(platform::load_icon(instance, 162, 32, 32), nullptr);
}

} // namespace
