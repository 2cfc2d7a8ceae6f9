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
#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/unit_loader.h"
#include "tests/fuzz/fuzz_checks.h"
#include "tests/fuzz/memory_filesystem.h"
#include "tools/mcscript/extern_values.h"
#include "tools/mcscript/settings_printer.h"
#include "tools/mcscript/statement_printer.h"

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

// What "mcscript dump --extern ..." shows: every argument as the archive writes it.
void walk_with_externs(mcscript::extern_values* externs)
{
    parser::unit* u = ParseUnit(kScript, externs, nullptr, true, nullptr);
    if (!u)
        return;
    parser::subtree* main = u->find_subtree("main");
    u->release();
    if (!main)
        return;
    std::string out;
    mcscript::print_walk(out, *main, mcscript::print_mode::dump);
    main->release();
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
        walk_with_externs(any ? &externs : nullptr);
    }
    {
        GameIniSettings record(kScript);
        std::string text = mcscript::settings_text(record);
    }
    check_everything_released();
    return 0;
}
