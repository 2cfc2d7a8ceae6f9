// mcscript: the command-line tool for people who edit game scripts; its
// commands are check, walk, dump, settings and lsp (usage_text below). It
// parses scripts exactly as the game does, shows what a reader of them sees,
// and reports problems as compilers do: FILE:LINE:COLUMN, the line and a caret;
// lsp gives editors the same diagnostics. Exit status 0 on success; 1 when a
// script failed: a file fails to parse, the subtree is missing, a nesting
// limit stopped the walk, (settings --strict) a setting is warned about, or
// (lsp) the editor ended without a shutdown request; 2 on usage errors (an
// --extern value the extern it binds cannot take is one). The game's own log
// records are shown with --records.
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "engine/game/gameini_parser.h"
#include "engine/kernel/Parser/diagnostics.h"
#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/tree_iterator.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/unit_loader.h"
#include "host/modules/filesystem_module.h"
#include "platform/standard_streams.h"
#include "tools/mcscript/extern_values.h"
#include "tools/mcscript/lsp_server.h"
#include "tools/mcscript/settings_lint.h"
#include "tools/mcscript/statement_printer.h"

#ifndef MCSCRIPT_VERSION
#define MCSCRIPT_VERSION "unknown"
#endif

namespace {

constexpr int exit_ok = 0;
constexpr int exit_failed = 1;
constexpr int exit_usage = 2;

constexpr const char* program = "mcscript";
constexpr const char* stdin_name = "<stdin>"; // what diagnostics call standard input

const char usage_text[] = "usage: mcscript check [--records] [--extern KEY=VALUE]... FILE...\n"
                          "       mcscript walk [--records] [--subtree NAME] [--extern KEY=VALUE]... FILE\n"
                          "       mcscript dump [--records] FILE\n"
                          "       mcscript settings [--records] [--strict] FILE\n"
                          "       mcscript lsp [--records] [--settings] [--extern KEY=VALUE]...\n"
                          "       mcscript --help | --version\n"
                          "\n"
                          "  check     parse each file as the game does and report every problem\n"
                          "  walk      print the statements a reader of subtree NAME (default main) sees\n"
                          "  dump      as walk, plus each argument expression as the archive writes it\n"
                          "  settings  print the game.ini record the host would build, and warn about\n"
                          "            settings it passes over or reads otherwise than written\n"
                          "  lsp       serve the Language Server Protocol on standard input and output\n"
                          "\n"
                          "  --records           also write the game's own log records (MC_LOG filters them)\n"
                          "  --extern KEY=VALUE  supply an extern value (a;b;c for an indexed list)\n"
                          "  --subtree NAME      the subtree walk and dump start from\n"
                          "  --strict            settings: any warning makes the exit status 1\n"
                          "  --settings          lsp: read every document as game.ini (lint, keys)\n"
                          "  FILE                a script file; - reads standard input\n"
                          "\n"
                          "Problems go to standard error as FILE:LINE:COLUMN: error: MESSAGE.\n"
                          "Exit status: 0 success, 1 a script failed, 2 usage error.\n";

// The tree of the last file stays alive until the process ends: the system
// takes all its memory back at once, far faster than releasing it node by
// node. Kept here so that leak checkers still see it reachable.
parser::unit* last_unit = nullptr;
parser::subtree* last_tree = nullptr;

int usage(const char* problem)
{
    if (problem)
        std::fprintf(stderr, "%s: error: %s\n", program, problem);
    std::fputs(usage_text, stderr);
    return exit_usage;
}

struct options {
    std::string subtree = "main";
    mcscript::extern_values externs;
    bool has_externs = false;
    bool records = false;
    bool strict = false;
    bool settings = false; // lsp: every document is a settings file
    std::vector<std::string> files;
};

// Reads the options a command allows; false (after the usage text) on an error.
bool read_options(
    int argc, char** argv, bool allow_subtree, bool allow_extern, bool allow_strict, bool allow_settings, options& out)
{
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        bool has_value = i + 1 < argc;
        if (a == "--records") {
            out.records = true;
        } else if (allow_strict && a == "--strict") {
            out.strict = true;
        } else if (allow_settings && a == "--settings") {
            out.settings = true;
        } else if (allow_subtree && a == "--subtree" && has_value) {
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

// Standard input whole, followed by the two zero bytes the scanner needs.
std::vector<char> read_standard_input()
{
    std::vector<char> text;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0)
        text.insert(text.end(), buffer, buffer + n);
    text.push_back(0);
    text.push_back(0);
    return text;
}

// Parses one file (or standard input for "-") and shows its diagnostics.
parser::unit* parse(const std::string& file, options& o)
{
    parser::diag::sink diagnostics;
    parser::unit* u;
    {
        parser::diag::collecting collect(diagnostics);
        parser::extern_interface* externs = o.has_externs ? &o.externs : nullptr;
        if (file == "-") {
            std::vector<char> text = read_standard_input();
            u = parser::parse_text(stdin_name, text.data(), text.size(), externs, nullptr, true, nullptr);
        } else {
            u = ParseUnit(file.c_str(), externs, nullptr, true, nullptr);
        }
    }
    parser::diag::print(stderr, diagnostics, program);
    return u;
}

int check(options& o)
{
    int status = exit_ok;
    for (const std::string& file : o.files) {
        parser::unit* u = parse(file, o);
        if (o.externs.report_refusals()) {
            if (u)
                u->release();
            return exit_usage;
        }
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
    if (o.externs.report_refusals()) {
        if (u)
            u->release();
        return exit_usage;
    }
    if (!u)
        return exit_failed;
    parser::subtree* tree = u->find_subtree(o.subtree.c_str());
    last_unit = u;
    if (!tree) {
        std::fprintf(stderr, "%s: error: no subtree '%s' in '%s'\n", program, o.subtree.c_str(),
            o.files[0] == "-" ? stdin_name : o.files[0].c_str());
        return exit_failed;
    }
    tree->environment = nullptr;
    uint32_t stopped = parser::tree_iterator::stopped_walks();
    mcscript::print_walk(stdout, *tree, mode);
    last_tree = tree;
    return parser::tree_iterator::stopped_walks() == stopped ? exit_ok : exit_failed;
}

// The game.ini record exactly as the host builds it, and the lint's warnings.
int settings(const options& o)
{
    const std::string& file = o.files[0];
    if (file == "-")
        return usage("settings reads game.ini by name, as the host does; '-' is not accepted");
    mcscript::settings_result result = mcscript::run_settings(file, o.strict);
    std::fwrite(result.record.data(), 1, result.record.size(), stdout);
    std::fflush(stdout);
    parser::diag::print(stderr, result.diagnostics, program);
    return result.status;
}

// The language server: the streams carry its framing, so they must be bytes.
int lsp(options& o)
{
    if (!o.files.empty())
        return usage("lsp takes no file: the editor sends the documents");
    platform::binary_standard_streams();
    return mcscript::lsp::serve(stdin, stdout, o.has_externs ? &o.externs : nullptr, MCSCRIPT_VERSION, o.settings);
}

int run(const char* command, int argc, char** argv)
{
    options o;
    bool is_check = std::strcmp(command, "check") == 0;
    bool is_walk = std::strcmp(command, "walk") == 0;
    bool is_dump = std::strcmp(command, "dump") == 0;
    bool is_settings = std::strcmp(command, "settings") == 0;
    bool is_lsp = std::strcmp(command, "lsp") == 0;
    if (!is_check && !is_walk && !is_dump && !is_settings && !is_lsp)
        return usage(("unknown command " + std::string(command)).c_str());
    if (!read_options(argc, argv, is_walk, is_walk || is_check || is_lsp, is_settings, is_lsp, o))
        return exit_usage;
    Log::SetStandardErrorOutput(o.records);
    if (is_lsp)
        return lsp(o);
    if (is_check)
        return o.files.empty() ? usage("check needs at least one file") : check(o);
    if (o.files.size() != 1)
        return usage((std::string(command) + " takes exactly one file").c_str());
    if (is_settings)
        return settings(o);
    return walk(o, is_walk ? mcscript::print_mode::walk : mcscript::print_mode::dump);
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usage_text, stdout);
            return exit_ok;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", program, MCSCRIPT_VERSION);
            return exit_ok;
        }
    }
    if (argc < 2)
        return usage(nullptr);
    // "--records" may also come before the command: it then counts as the command's option.
    if (std::strcmp(argv[1], "--records") == 0 && argc > 2) {
        std::swap(argv[1], argv[2]);
        return run(argv[1], argc, argv);
    }
    return run(argv[1], argc, argv);
}
