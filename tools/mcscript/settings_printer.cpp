// Flags print as "Name = true" (or false: CrashCanShowMessageBox is read from
// an int and can be set to false), numbers as "Name = N" (TitleId unsigned),
// texts as Name = "text".
#include "tools/mcscript/settings_printer.h"

#include <charconv>
#include <string_view>

#include "engine/game/gameini_parser.h"

namespace mcscript {
namespace {

struct flag_field {
    const char* name;
    FlagSetting GameIniSettings::*field;
};
struct text_field {
    const char* name;
    TextSetting GameIniSettings::*field;
};
struct int_field {
    const char* name;
    NumberSetting<int32_t> GameIniSettings::*field;
};

const flag_field flags[] = {
    { "FreeResourceLoading", &GameIniSettings::FreeResourceLoading },
    { "LoadAllAnimFilesOnRequest", &GameIniSettings::LoadAllAnimFilesOnRequest },
    { "CrashCanShowMessageBox", &GameIniSettings::CrashCanShowMessageBox },
    { "FastInitializePDB", &GameIniSettings::FastInitializePDB },
    { "LowViolence", &GameIniSettings::LowViolence },
};
const int_field numbers_before_title[] = {
    { "TextureStreamMem", &GameIniSettings::TextureStreamMem },
    { "GeometryStreamMem", &GameIniSettings::GeometryStreamMem },
    { "GPUMem", &GameIniSettings::GPUMem },
    { "VirtualMem", &GameIniSettings::VirtualMem },
};
const text_field texts[] = {
    { "GameName", &GameIniSettings::GameName },
    { "GameExeCoreName", &GameIniSettings::GameExeCoreName },
    { "Locale", &GameIniSettings::Locale },
    { "Region", &GameIniSettings::Region },
    { "GameClassName", &GameIniSettings::GameClassName },
    { "LevelClassName", &GameIniSettings::LevelClassName },
    { "GameDLL", &GameIniSettings::GameDLL },
    { "Map", &GameIniSettings::Map },
};

// Appends "name = " and returns out, for the value to follow.
std::string& key(std::string& out, const char* name)
{
    out += name;
    out += " = ";
    return out;
}

void line(std::string& out, const char* name, std::string_view value)
{
    key(out, name) += value;
    out += '\n';
}

template <typename N> void number_line(std::string& out, const char* name, N value)
{
    char text[12]; // "-2147483648" and "4294967295" both fit
    line(out, name, std::string_view(text, std::to_chars(text, text + sizeof text, value).ptr - text));
}

void text_line(std::string& out, const char* name, const string_base& value)
{
    key(out, name) += '"';
    out.append(value.c_str(), value.size());
    out += "\"\n";
}

} // namespace

std::string settings_text(const GameIniSettings& s)
{
    std::string out;
    for (const flag_field& f : flags)
        if ((s.*f.field).set)
            line(out, f.name, (s.*f.field).value ? "true" : "false");
    for (const int_field& f : numbers_before_title)
        if ((s.*f.field).set)
            number_line(out, f.name, (s.*f.field).value);
    if (s.TitleId.set)
        number_line(out, "TitleId", s.TitleId.value);
    if (s.AppId.set)
        number_line(out, "AppId", s.AppId.value);
    for (const text_field& f : texts)
        if ((s.*f.field).set)
            text_line(out, f.name, (s.*f.field).value);
    return out;
}

} // namespace mcscript
