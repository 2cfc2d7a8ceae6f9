// mcscript: the command-line tool for people who edit game scripts. It parses
// scripts exactly as the game does and shows what a reader of them sees.
//   mcscript check FILE...
//   mcscript walk [--subtree NAME] [--extern KEY=VALUE]... FILE
//   mcscript dump FILE
//   mcscript settings FILE
// Exit 0 on success, 1 when a file fails to parse or the subtree is missing,
// 2 on usage errors. Log records go to standard error.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/game/gameini_parser.h"
#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/unit_loader.h"
#include "tools/mcscript/extern_values.h"
#include "tools/mcscript/settings_printer.h"
#include "tools/mcscript/statement_printer.h"

namespace {

constexpr int exit_ok = 0;
constexpr int exit_failed = 1;
constexpr int exit_usage = 2;

// The tree of the last file stays alive until the process ends: the system
// takes all its memory back at once, far faster than releasing it node by
// node. Kept here so that leak checkers still see it reachable.
parser::unit* last_unit = nullptr;
parser::subtree* last_tree = nullptr;

int usage(const char* problem)
{
    if (problem)
        std::fprintf(stderr, "mcscript: %s\n", problem);
    std::fprintf(stderr,
        "usage: mcscript check [--extern KEY=VALUE]... FILE...\n"
        "       mcscript walk [--subtree NAME] [--extern KEY=VALUE]... FILE\n"
        "       mcscript dump FILE\n"
        "       mcscript settings FILE\n");
    return exit_usage;
}

struct options {
    std::string subtree = "main";
    mcscript::extern_values externs;
    bool has_externs = false;
    std::vector<std::string> files;
};

// Reads the options a command allows; false (after the usage text) on an error.
bool read_options(int argc, char** argv, bool allow_subtree, bool allow_extern, options& out)
{
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        bool has_value = i + 1 < argc;
        if (allow_subtree && a == "--subtree" && has_value) {
            out.subtree = argv[++i];
        } else if (allow_extern && a == "--extern" && has_value) {
            if (!out.externs.add(argv[++i])) {
                usage("--extern takes KEY=VALUE");
                return false;
            }
            out.has_externs = true;
        } else if (a.size() > 1 && a[0] == '-') {
            usage(("unknown option " + a).c_str());
            return false;
        } else {
            out.files.push_back(a);
        }
    }
    return true;
}

parser::unit* parse(const std::string& file, options& o)
{
    return ParseUnit(file.c_str(), o.has_externs ? &o.externs : nullptr, nullptr, true, nullptr);
}

int check(options& o)
{
    int status = exit_ok;
    for (const std::string& file : o.files) {
        parser::unit* u = parse(file, o);
        if (!u) {
            status = exit_failed;
            continue;
        }
        if (last_unit)
            last_unit->release();
        last_unit = u;
    }
    return status;
}

int walk(options& o, mcscript::print_mode mode)
{
    parser::unit* u = parse(o.files[0], o);
    if (!u)
        return exit_failed;
    parser::subtree* tree = u->find_subtree(o.subtree.c_str());
    last_unit = u;
    if (!tree) {
        std::fprintf(stderr, "mcscript: no subtree '%s' in '%s'\n", o.subtree.c_str(), o.files[0].c_str());
        return exit_failed;
    }
    tree->environment = nullptr;
    std::string text;
    mcscript::print_walk(text, *tree, mode);
    std::fwrite(text.data(), 1, text.size(), stdout);
    last_tree = tree;
    return exit_ok;
}

// The game.ini record exactly as the host builds it.
int settings(const std::string& file)
{
    GameIniSettings record(file.c_str());
    if (record.status == GameIniSettings::LoadStatus::Missing) {
        std::fprintf(stderr, "mcscript: cannot find '%s'\n", file.c_str());
        return exit_failed;
    }
    if (record.status == GameIniSettings::LoadStatus::Unparsable) {
        std::fprintf(stderr, "mcscript: cannot parse '%s'\n", file.c_str());
        return exit_failed;
    }
    std::string text = mcscript::settings_text(record);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return exit_ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage(nullptr);
    const char* command = argv[1];
    options o;
    if (std::strcmp(command, "check") == 0) {
        if (!read_options(argc, argv, false, true, o))
            return exit_usage;
        return o.files.empty() ? usage("check needs at least one file") : check(o);
    }
    bool is_walk = std::strcmp(command, "walk") == 0;
    if (is_walk || std::strcmp(command, "dump") == 0) {
        if (!read_options(argc, argv, is_walk, is_walk, o))
            return exit_usage;
        if (o.files.size() != 1)
            return usage("walk and dump take exactly one file");
        return walk(o, is_walk ? mcscript::print_mode::walk : mcscript::print_mode::dump);
    }
    if (std::strcmp(command, "settings") == 0) {
        if (!read_options(argc, argv, false, false, o))
            return exit_usage;
        if (o.files.size() != 1)
            return usage("settings takes exactly one file");
        return settings(o.files[0]);
    }
    return usage(("unknown command " + std::string(command)).c_str());
}
