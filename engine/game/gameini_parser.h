// GameIniSettings: the start-up settings the host reads from game.ini, a
// script whose subtree "main" holds one function statement per setting and
// "SkuOverride" sections whose keys apply over the root ones.
#pragma once

#include <cstdint>
#include <map>

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
