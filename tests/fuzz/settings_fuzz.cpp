// libFuzzer target over the settings reader and the script tool's "--extern"
// values: the externs bind a script that the tool walks, and the same script,
// as game.ini, becomes the settings record the host builds. Nothing may crash,
// and nothing may be left behind.
//
// Input: "--extern" assignments, one KEY=VALUE a line, then the byte 0x1E (the
// ASCII record separator), then the script. Without the separator the whole
// input is the script.
#include <cstdint>
#include <string>

#include "engine/game/gameini_parser.h"
#include "tests/fuzz/fuzz_checks.h"
#include "tests/fuzz/memory_filesystem.h"
#include "tests/fuzz/walk_main.h"
#include "tools/mcscript/extern_values.h"
#include "tools/mcscript/settings_printer.h"

namespace {

constexpr char kSeparator = '\x1e';
constexpr const char* kScript = "game.ini";

// Adds every line as the tool adds each "--extern" value; true when any was taken.
bool add_externs(const std::string& lines, mcscript::extern_values& externs)
{
    bool any = false;
    size_t start = 0;
    while (start <= lines.size()) {
        size_t end = lines.find('\n', start);
        if (end == std::string::npos)
            end = lines.size();
        any = externs.add(lines.substr(start, end - start)) || any;
        start = end + 1;
    }
    return any;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string input(reinterpret_cast<const char*>(data), size);
    size_t separator = input.find(kSeparator);
    std::string script = separator == std::string::npos ? input : input.substr(separator + 1);
    memory_filesystem::clear();
    memory_filesystem::add(kScript, script);
    {
        mcscript::extern_values externs;
        bool any = separator != std::string::npos && add_externs(input.substr(0, separator), externs);
        // What "mcscript dump --extern ..." shows: every argument as the archive writes it.
        walk_main(kScript, any ? &externs : nullptr, nullptr, mcscript::print_mode::dump);
    }
    {
        GameIniSettings record(kScript);
        std::string text = mcscript::settings_text(record);
    }
    check_everything_released();
    return 0;
}
