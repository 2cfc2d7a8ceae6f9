// Prints what the pool design itself needs to hold a parsed file: the node
// slots and list elements of its tree and the file's text, and the sum
//   node slots x 128 + list elements x 32 + text bytes
// against which the tool's peak memory is judged.
//   mc_design_minimum FILE      prints: NODE_SLOTS LIST_ELEMENTS TEXT_BYTES MINIMUM_BYTES
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "engine/kernel/Parser/node_list.h"
#include "engine/kernel/Parser/node_pool.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/unit_loader.h"

namespace {

// The sizes the pools fix for a node slot and a list element slot.
constexpr unsigned long long node_slot_bytes = 128;
constexpr unsigned long long list_slot_bytes = 32;

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: mc_design_minimum FILE\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "mc_design_minimum: cannot read '%s'\n", argv[1]);
        return 1;
    }
    std::vector<char> text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    unsigned long long text_bytes = text.size();
    text.push_back(0);
    text.push_back(0);
    parser::unit* u = parser::parse_text(argv[1], text.data(), text.size(), nullptr, nullptr, true, nullptr);
    if (!u) {
        std::fprintf(stderr, "mc_design_minimum: '%s' does not parse\n", argv[1]);
        return 1;
    }
    unsigned long long nodes = parser::node_pool_live_count();
    unsigned long long elements = parser::list_pool_live_count(parser::statement_list_allocator())
        + parser::list_pool_live_count(parser::argument_list_allocator());
    std::printf("%llu %llu %llu %llu\n", nodes, elements, text_bytes,
        nodes * node_slot_bytes + elements * list_slot_bytes + text_bytes);
    u->release();
    return 0;
}
