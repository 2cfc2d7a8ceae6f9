// What both file-reading fuzz targets do with their script: parse it from the
// in-memory files and print what a walk of its "main" shows, as the tool does.
// The text is thrown away; only crashes and what is left behind matter.
#pragma once

#include <string>

#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/unit_loader.h"
#include "tools/mcscript/statement_printer.h"

inline void walk_main(
    const char* file, parser::extern_interface* externs, parser::unit_cache* cache, mcscript::print_mode mode)
{
    parser::unit* u = ParseUnit(file, externs, cache, cache == nullptr, nullptr);
    if (!u)
        return;
    parser::subtree* main = u->find_subtree("main");
    u->release();
    if (!main)
        return;
    std::string out;
    mcscript::print_walk(out, *main, mode);
    main->release();
}
