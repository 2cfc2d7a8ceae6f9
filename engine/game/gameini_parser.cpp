// Reading game.ini: parse, index every function statement of "main" by name
// (with a second index per "SkuOverride" section), then read the key table
// from the root keys and again from the SKU's keys.
#include "engine/game/gameini_parser.h"

#include <cstdlib>

#include "engine/kernel/Parser/param_iterator.h"
#include "engine/kernel/Parser/statements.h"
#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/log_record.h"
#include "host/modules/filesystem_module.h"

const char* const kSkuIdentifier = "";

bool KeyLess::operator()(const string_base& a, const string_base& b) const
{
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a.c_str());
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b.c_str());
    auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    for (; *x && fold(*x) == fold(*y); ++x, ++y) { }
    return fold(*x) < fold(*y);
}

namespace {

// The first argument of the key's statement when it is an expression of type
// T, evaluated where the statement stood; false (nothing logged) otherwise.
template <typename T> bool first_argument(KeyMap& from, const char* key, T& out)
{
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

// Readers of the key table: each writes its setting only when the key gives a value.
void present(KeyMap& from, const char* key, FlagSetting& s)
{
    if (from.count(string_base(key)))
        s = { true, true };
}

void as_int(KeyMap& from, const char* key, NumberSetting<int32_t>& s)
{
    int32_t v = 0;
    if (first_argument(from, key, v))
        s = { v, true };
}

void as_flag_from_int(KeyMap& from, const char* key, FlagSetting& s)
{
    int32_t v = 0;
    if (first_argument(from, key, v))
        s = { v != 0, true };
}

void as_text(KeyMap& from, const char* key, TextSetting& s)
{
    string_base v;
    if (first_argument(from, key, v)) {
        s.value = v;
        s.set = true;
    }
}

void as_hex_text(KeyMap& from, const char* key, NumberSetting<uint32_t>& s)
{
    string_base v;
    if (first_argument(from, key, v))
        s = { uint32_t(std::strtoul(v.c_str(), nullptr, 16)), true };
}

// "_pc" read second: it wins when both are present.
void as_int_pc_wins(KeyMap& from, const char* key, const char* pc_key, NumberSetting<int32_t>& s)
{
    as_int(from, key, s);
    as_int(from, pc_key, s);
}

// "_pc" only when the plain key gave nothing.
void as_int_pc_fallback(KeyMap& from, const char* key, const char* pc_key, NumberSetting<int32_t>& s)
{
    int32_t v = 0;
    if (first_argument(from, key, v) || first_argument(from, pc_key, v))
        s = { v, true };
}

} // namespace

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
        Log::Fatal({ "engine/game/gameini_parser", 47, "GameIniSettings::Load" },
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
        if (f->name == "SkuOverride") {
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
    present(from, "FreeResourceLoading", FreeResourceLoading);
    present(from, "LowViolence", LowViolence);
    present(from, "FastInitializePDB", FastInitializePDB);
    as_int_pc_wins(from, "TextureStreamMem", "TextureStreamMem_pc", TextureStreamMem);
    as_int_pc_wins(from, "GeometryStreamMem", "GeometryStreamMem_pc", GeometryStreamMem);
    as_int_pc_fallback(from, "GPUMem", "GPUMem_pc", GPUMem);
    as_int_pc_fallback(from, "VirtualMem", "VirtualMem_pc", VirtualMem);
    as_text(from, "GameName", GameName);
    as_hex_text(from, "TitleId", TitleId);
    as_int(from, "AppId", AppId);
    as_text(from, "GameExeCoreName", GameExeCoreName);
    as_text(from, "Locale", Locale);
    as_text(from, "Region", Region);
    present(from, "LoadAllAnimFilesOnRequest", LoadAllAnimFilesOnRequest);
    as_text(from, "GameClassName", GameClassName);
    as_text(from, "LevelClassName", LevelClassName);
    as_flag_from_int(from, "CrashCanShowMessageBox", CrashCanShowMessageBox);
    as_text(from, "GameDLL", GameDLL);
    as_text(from, "Map", Map);
}
