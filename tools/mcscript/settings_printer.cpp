// Flags print as "Name = true" (or false: CrashCanShowMessageBox is read from
// an int and can be set to false), numbers as "Name = N" (TitleId unsigned),
// texts as Name = "text".
#include "tools/mcscript/settings_printer.h"

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

void line(std::string& out, const char* name, const std::string& value)
{
    out += std::string(name) + " = " + value + "\n";
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
            line(out, f.name, std::to_string((s.*f.field).value));
    if (s.TitleId.set)
        line(out, "TitleId", std::to_string(s.TitleId.value));
    if (s.AppId.set)
        line(out, "AppId", std::to_string(s.AppId.value));
    for (const text_field& f : texts)
        if ((s.*f.field).set)
            line(out, f.name, "\"" + std::string((s.*f.field).value.c_str(), (s.*f.field).value.size()) + "\"");
    return out;
}

} // namespace mcscript
