// libFuzzer target over the parser's text entry: any input must parse or fail
// cleanly, walk without crashing, and leave no node behind.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/kernel/Parser/node_pool.h"
#include "engine/kernel/Parser/param_iterator.h"
#include "engine/kernel/Parser/statements.h"
#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/tree_iterator.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/unit_loader.h"
#include "host/modules/filesystem_module.h"

namespace {

// Reads every argument of every statement the walk reaches, as int and text.
void walk_main(parser::unit* u)
{
    parser::subtree* main = u->find_subtree("main");
    if (!main)
        return;
    parser::tree_iterator it;
    for (it.start(&main->statements, nullptr, nullptr); it.current; it.advance()) {
        parser::param_iterator p(it);
        for (uint32_t i = 0; i < it.current->arguments.size(); ++i, p.next()) {
            p.get_int();
            p.get_string();
        }
    }
    main->release();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = [] {
        Log::Settings::Instance().SetCategoryLevel("Parser", 0);
        return true;
    }();
    (void)quiet;
    std::vector<char> text(data, data + size);
    text.push_back(0);
    text.push_back(0);
    parser::unit* u = parser::parse_text("fuzz.ini", text.data(), text.size(), nullptr, nullptr, true, nullptr);
    if (u) {
        walk_main(u);
        u->release();
    }
    if (parser::node_pool_live_count() != 0)
        std::abort(); // a node outlived its unit
    return 0;
}
