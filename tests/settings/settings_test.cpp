// The game.ini reader: readers and their edge cases, key case and order,
// branches and calls, "SkuOverride" sections, and files that are missing or
// cannot be parsed.
#include <gtest/gtest.h>

#include <string>

#include "engine/game/gameini_parser.h"
#include "tests/support/script_fixture.h"
#include "tools/mcscript/settings_printer.h"

namespace {

class Settings : public ScriptTest {
protected:
    // The "mcscript settings" lines of a game.ini holding text.
    std::string settings(const std::string& text)
    {
        write("game.ini", text);
        GameIniSettings record("game.ini");
        return mcscript::settings_text(record);
    }
};

TEST_F(Settings, ReadsWhatTheWalkReaches)
{
    struct {
        const char* what;
        const char* script;
        const char* record;
    } cases[] = {
        { "flags are set by presence whatever their arguments",
            "sub main() { FreeResourceLoading(0); LowViolence(); FastInitializePDB('no'); }",
            "FreeResourceLoading = true\nFastInitializePDB = true\nLowViolence = true\n" },
        { "_pc keys win for streams and only fall back for memory",
            "sub main() { TextureStreamMem(256); TextureStreamMem_pc(512); GeometryStreamMem_pc(7);"
            "GPUMem(256); GPUMem_pc(512); VirtualMem_pc(64); }",
            "TextureStreamMem = 512\nGeometryStreamMem = 7\nGPUMem = 256\nVirtualMem = 64\n" },
        { "keys ignore letter case and the later statement wins",
            "sub main() { gameclassname('First'); GAMECLASSNAME('Second'); AppId(1); appid(2); }",
            "AppId = 2\nGameClassName = \"Second\"\n" },
        { "branches and calls decide what is read",
            "sub Section(string n = 'x', int id = 0) { GameName(n); AppId(id * 2); }"
            "sub main() { if (1 > 2) { Map('never'); } call Section(n = 'Mire', id = 21); }",
            "AppId = 42\nGameName = \"Mire\"\n" },
        // TitleId is hexadecimal text, read as a 32-bit strtoul reads it on
        // every platform: too large stays at the top, a sign negates.
        { "TitleId", "sub main() { TitleId('1A2B'); }", "TitleId = 6699\n" },
        { "TitleId", "sub main() { TitleId('FFFFFFFF'); }", "TitleId = 4294967295\n" },
        { "TitleId", "sub main() { TitleId('100000000'); }", "TitleId = 4294967295\n" },
        { "TitleId", "sub main() { TitleId(' -2'); }", "TitleId = 4294967294\n" },
        { "TitleId", "sub main() { TitleId('0x12XY'); }", "TitleId = 18\n" },
        { "TitleId", "sub main() { TitleId('- 2'); }", "TitleId = 0\n" },
        { "SkuOverride('') applies over the root, other SKUs do not",
            "sub main() { Locale('En'); LowViolence(); CrashCanShowMessageBox(1);"
            "SkuOverride('') { Locale('De'); CrashCanShowMessageBox(0); }"
            "SkuOverride('console') { Map('console'); Locale('Fr'); } }",
            "CrashCanShowMessageBox = false\nLowViolence = true\nLocale = \"De\"\n" },
        { "an int-read flag takes the override's value, 0 included",
            "sub main() { CrashCanShowMessageBox(1); SkuOverride('') { CrashCanShowMessageBox(0); } }",
            "CrashCanShowMessageBox = false\n" },
        { "SkuOverride cannot switch a flag off", "sub main() { LowViolence(); SkuOverride('') { Map('m'); } }",
            "LowViolence = true\nMap = \"m\"\n" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(settings(c.script), c.record) << c.what << ": " << c.script;
}

TEST_F(Settings, WrongTypedOrMissingFirstArgumentsAreAbsentAndSilent)
{
    EXPECT_EQ(
        settings("sub main() { AppId('12'); Locale(5); Region(); TitleId(6699); CrashCanShowMessageBox(); }"), "");
    EXPECT_TRUE(records.empty()) << log_text();
}

TEST_F(Settings, SkuOverrideWithoutNameReportsItAndAppliesAsTheEmptyName)
{
    EXPECT_EQ(settings("sub main() { AppId(1); SkuOverride() { AppId(7); } }"), "AppId = 7\n");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].text, "Param 0 in function SkuOverride() is not a string");
}

TEST_F(Settings, MissingFileIsSilentAndUnparsableFileLogsExit)
{
    GameIniSettings missing("nothere.ini");
    EXPECT_EQ(missing.status, GameIniSettings::LoadStatus::Missing);
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(settings("sub main() { AppId(1 }"), "");
    bool exit_record = false;
    for (const captured_record& r : records)
        exit_record |= r.category == "EXIT" && r.level == 1
            && r.text == "game.ini file cannot be parsed: make sure game.ini file uses <new_parser> format!";
    EXPECT_TRUE(exit_record) << log_text();
}

} // namespace
