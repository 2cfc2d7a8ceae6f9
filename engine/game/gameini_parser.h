// GameIniSettings: the start-up settings the host reads from game.ini, a
// script whose subtree "main" holds one function statement per setting and
// "SkuOverride" sections whose keys apply over the root ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <variant>

#include "engine/kernel/Parser/tree_iterator.h"
#include "engine/kernel/string_base.h"

namespace parser {
class subtree;
}

// Keys compare ignoring the case of ASCII letters.
struct KeyLess {
    bool operator()(const string_base& a, const string_base& b) const;
};

// Key name -> the walk standing on the key's statement, with the frame and
// environment it was found in. The last statement of a name wins.
using KeyMap = std::map<string_base, parser::tree_iterator, KeyLess>;
// SKU name (case-sensitive) -> the keys of its "SkuOverride" sections.
using SkuMap = std::map<string_base, KeyMap>;

struct FlagSetting {
    bool value = false;
    bool set = false;
};
template <typename T> struct NumberSetting {
    T value = 0;
    bool set = false;
};
struct TextSetting {
    string_base value;
    bool set = false;
};

class GameIniSettings {
public:
    enum class LoadStatus { Loaded, Missing, Unparsable };

    // Reads file_name at once; the record is valid whatever the outcome.
    explicit GameIniSettings(const char* file_name);
    ~GameIniSettings();
    GameIniSettings(const GameIniSettings&) = delete;
    GameIniSettings& operator=(const GameIniSettings&) = delete;

    KeyMap keys;
    SkuMap skus;
    parser::subtree* parse_result = nullptr; // one reference, released with the record

    FlagSetting FreeResourceLoading;
    FlagSetting LoadAllAnimFilesOnRequest;
    FlagSetting CrashCanShowMessageBox;
    FlagSetting FastInitializePDB;
    FlagSetting LowViolence;

    NumberSetting<int32_t> TextureStreamMem;
    NumberSetting<int32_t> GeometryStreamMem;
    NumberSetting<int32_t> GPUMem;
    NumberSetting<int32_t> VirtualMem;
    NumberSetting<uint32_t> TitleId;
    NumberSetting<int32_t> AppId;

    TextSetting GameName;
    TextSetting GameExeCoreName;
    TextSetting Locale;
    TextSetting Region;
    TextSetting GameClassName;
    TextSetting LevelClassName;
    TextSetting GameDLL;
    TextSetting Map;

    // Whether the file was there and parsed (the tools report it).
    LoadStatus status = LoadStatus::Missing;

private:
    void Load(const char* file_name);
    void Index();
    void ReadKeys(KeyMap& from);
};

// The SKU whose "SkuOverride" section applies over the root keys.
extern const char* const kSkuIdentifier;
// The name of a section statement (compared case-sensitively).
extern const char* const kSkuSection;

// How a key's statement gives its setting a value.
enum class KeyReader {
    Present, // the statement is there; its arguments are not looked at
    Int, // the first argument, an int expression
    FlagFromInt, // as Int; the flag is the int's being other than 0
    Text, // the first argument, a string expression
    HexText, // as Text, then read as a hexadecimal number (ReadHexText)
};

// How a key and its "_pc" variant combine.
enum class PcRule {
    None,
    PcWins, // the "_pc" key is read second and wins when both give a value
    PcFallback, // the "_pc" key is read only when the plain key gave nothing
};

using SettingField = std::variant<FlagSetting GameIniSettings::*, NumberSetting<int32_t> GameIniSettings::*,
    NumberSetting<uint32_t> GameIniSettings::*, TextSetting GameIniSettings::*>;

// One row of the key table: the reader walks it, the tools describe keys from it.
struct GameIniKey {
    const char* name;
    const char* pc_name; // the "_pc" variant, or null
    PcRule pc;
    KeyReader reader;
    const char* default_value; // in words, as a message shows it
    const char* meaning; // what the host does with the value
    SettingField field;
};

// The key table, in its reading order.
std::span<const GameIniKey> GameIniKeys();

// The type of the first argument a reader takes ("int", "string"), or null
// when it does not look at its arguments.
const char* ArgumentType(KeyReader reader);

// Text read as a hexadecimal number the way a 32-bit strtoul reads it (blanks,
// a sign, "0x", digits up to the first byte that is not one; a value beyond 32
// bits gives 0xFFFFFFFF and sets too_large) on every platform. used: how many
// bytes were read.
uint32_t ReadHexText(const char* text, size_t& used, bool& too_large);
