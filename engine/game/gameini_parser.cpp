// Reading game.ini: parse, index every function statement of "main" by name
// (with a second index per "SkuOverride" section), then read the key table
// from the root keys and again from the SKU's keys.
#include "engine/game/gameini_parser.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "engine/kernel/Parser/param_iterator.h"
#include "engine/kernel/Parser/program_log.h"
#include "engine/kernel/Parser/statements.h"
#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/ascii_case.h"
#include "host/modules/filesystem_module.h"

const char* const kSkuIdentifier = "";
const char* const kSkuSection = "SkuOverride";

bool KeyLess::operator()(const string_base& a, const string_base& b) const
{
    return ascii::compare_ignoring_case(a.c_str(), b.c_str()) < 0;
}

namespace {

// The first argument of the key's statement when it is an expression of type
// T, evaluated where the statement stood; false (nothing logged) otherwise.
template <typename T> bool first_argument(KeyMap& from, const char* key, T& out)
{
    if (!key)
        return false;
    auto found = from.find(string_base(key));
    if (found == from.end())
        return false;
    parser::tree_iterator& at = found->second;
    parser::node_function* f = at.current;
    if (!f || f->arguments.empty())
        return false;
    auto* typed = dynamic_cast<parser::node_expr<T>*>(parser::argument_list::payload(f->arguments.first()));
    if (!typed)
        return false;
    if constexpr (std::is_same_v<T, string_base>) {
        parser::param_iterator p(at);
        out = p.get_string();
    } else {
        typed->evaluate(nullptr, out, at.frame(), at.environment);
    }
    return true;
}

// The key's first argument, then its "_pc" variant's as the key's rule says.
template <typename T> bool key_argument(const GameIniKey& k, KeyMap& from, T& out)
{
    bool got = first_argument(from, k.name, out);
    if (k.pc == PcRule::PcWins || (k.pc == PcRule::PcFallback && !got))
        got = first_argument(from, k.pc_name, out) || got;
    return got;
}

// Readers of the key table, one per kind of field: each writes its setting
// only when the key gives a value.
void read_into(const GameIniKey& k, KeyMap& from, FlagSetting& s)
{
    int32_t v = 0;
    if (k.reader == KeyReader::Present ? from.count(string_base(k.name)) > 0 : key_argument(k, from, v))
        s = { k.reader == KeyReader::Present || v != 0, true };
}

void read_into(const GameIniKey& k, KeyMap& from, NumberSetting<int32_t>& s)
{
    int32_t v = 0;
    if (key_argument(k, from, v))
        s = { v, true };
}

void read_into(const GameIniKey& k, KeyMap& from, NumberSetting<uint32_t>& s)
{
    string_base v;
    size_t used = 0;
    bool too_large = false;
    if (key_argument(k, from, v))
        s = { ReadHexText(v.c_str(), used, too_large), true };
}

void read_into(const GameIniKey& k, KeyMap& from, TextSetting& s)
{
    string_base v;
    if (key_argument(k, from, v)) {
        s.value = v;
        s.set = true;
    }
}

using S = GameIniSettings;

// The key table, in its reading order.
const GameIniKey key_table[] = {
    { "FreeResourceLoading", nullptr, PcRule::None, KeyReader::Present, "off", "travels to the game",
        &S::FreeResourceLoading },
    { "LowViolence", nullptr, PcRule::None, KeyReader::Present, "off", "travels to the game", &S::LowViolence },
    { "FastInitializePDB", nullptr, PcRule::None, KeyReader::Present, "off",
        "the flag passed when the game-script module starts", &S::FastInitializePDB },
    { "TextureStreamMem", "TextureStreamMem_pc", PcRule::PcWins, KeyReader::Int, "0",
        "the texture streaming budget; travels to the game", &S::TextureStreamMem },
    { "GeometryStreamMem", "GeometryStreamMem_pc", PcRule::PcWins, KeyReader::Int, "0",
        "the geometry streaming budget; travels to the game", &S::GeometryStreamMem },
    { "GPUMem", "GPUMem_pc", PcRule::PcFallback, KeyReader::Int, "0", "the GPU memory budget; travels to the game",
        &S::GPUMem },
    { "VirtualMem", "VirtualMem_pc", PcRule::PcFallback, KeyReader::Int, "0",
        "the virtual memory budget; travels to the game", &S::VirtualMem },
    { "GameName", nullptr, PcRule::None, KeyReader::Text, "empty", "travels to the game", &S::GameName },
    { "TitleId", nullptr, PcRule::None, KeyReader::HexText, "0", "travels to the game", &S::TitleId },
    { "AppId", nullptr, PcRule::None, KeyReader::Int, "0", "the application id given to Steam", &S::AppId },
    { "GameExeCoreName", nullptr, PcRule::None, KeyReader::Text, "empty", "travels to the game", &S::GameExeCoreName },
    { "Locale", nullptr, PcRule::None, KeyReader::Text, "empty",
        "the starting text language, unless a running Steam client gives one", &S::Locale },
    { "Region", nullptr, PcRule::None, KeyReader::Text, "empty", "travels to the game", &S::Region },
    { "LoadAllAnimFilesOnRequest", nullptr, PcRule::None, KeyReader::Present, "off", "travels to the game",
        &S::LoadAllAnimFilesOnRequest },
    { "GameClassName", nullptr, PcRule::None, KeyReader::Text, "empty",
        "the class of the game object created through the engine (the host uses Game when not set)",
        &S::GameClassName },
    { "LevelClassName", nullptr, PcRule::None, KeyReader::Text, "empty", "travels to the game", &S::LevelClassName },
    { "CrashCanShowMessageBox", nullptr, PcRule::None, KeyReader::FlagFromInt, "not set",
        "whether a crash may show a message box (-noassert forbids it)", &S::CrashCanShowMessageBox },
    { "GameDLL", nullptr, PcRule::None, KeyReader::Text, "empty",
        "the game-script module, relative to the executable's directory", &S::GameDLL },
    { "Map", nullptr, PcRule::None, KeyReader::Text, "empty", "travels to the game", &S::Map },
};

} // namespace

std::span<const GameIniKey> GameIniKeys() { return key_table; }

const char* ArgumentType(KeyReader reader)
{
    switch (reader) {
    case KeyReader::Int:
    case KeyReader::FlagFromInt:
        return "int";
    case KeyReader::Text:
    case KeyReader::HexText:
        return "string";
    case KeyReader::Present:
        break;
    }
    return nullptr;
}

uint32_t ReadHexText(const char* text, size_t& used, bool& too_large)
{
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    used = 0;
    too_large = false;
    if (!std::isxdigit(static_cast<unsigned char>(*p)))
        return 0; // nothing that is a number: nothing read
    char* end = nullptr;
    errno = 0;
    unsigned long long magnitude = std::strtoull(p, &end, 16); // starts on a digit: no second sign or blank
    used = size_t(end - text);
    too_large = errno == ERANGE || magnitude > UINT32_MAX;
    if (too_large)
        return UINT32_MAX;
    return negative ? uint32_t(0u - uint32_t(magnitude)) : uint32_t(magnitude);
}

GameIniSettings::GameIniSettings(const char* file_name) { Load(file_name); }

GameIniSettings::~GameIniSettings()
{
    keys.clear();
    skus.clear();
    if (parse_result)
        parse_result->release();
}

void GameIniSettings::Load(const char* file_name)
{
    if (!fs::exists(file_name))
        return; // silent: every setting keeps its default
    parse_result = parser::load_main_subtree(file_name);
    if (!parse_result) {
        status = LoadStatus::Unparsable;
        Log::Fatal({ parser::settings_module, parser::unparsable_settings_line, "GameIniSettings::Load" },
            "game.ini file cannot be parsed: make sure game.ini file uses <new_parser> format!\n");
        return;
    }
    status = LoadStatus::Loaded;
    Index();
    ReadKeys(keys);
    auto sku = skus.find(string_base(kSkuIdentifier));
    if (sku != skus.end())
        ReadKeys(sku->second);
}

void GameIniSettings::Index()
{
    parser::tree_iterator it;
    for (it.start(&parse_result->statements, parse_result->environment, nullptr); it.current; it.advance()) {
        parser::node_function* f = it.current;
        if (f->name == kSkuSection) {
            parser::tree_iterator body;
            for (body.start_body(&f->statements, it); body.current; body.advance()) {
                parser::param_iterator p(it);
                skus[p.get_string()][body.current->name] = body;
            }
        }
        keys[f->name] = it;
    }
}

// The key table, in its order.
void GameIniSettings::ReadKeys(KeyMap& from)
{
    for (const GameIniKey& k : key_table)
        std::visit([&](auto field) { read_into(k, from, this->*field); }, k.field);
}
