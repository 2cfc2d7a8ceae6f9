// Writes the benchmark script pair: DIR/big.ini and DIR/big.lua.
//   mc_script_generator DIR [SUBTREES [GROUPS]]   (default 1000 subtrees of 25 groups: 100,000 statements)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/script_generator.h"

static bool save(const std::string& path, const std::string& text)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: mc_script_generator DIR [SUBTREES [GROUPS]]\n");
        return 2;
    }
    std::string dir = argv[1];
    int subtrees = argc > 2 ? std::atoi(argv[2]) : 1000;
    int groups = argc > 3 ? std::atoi(argv[3]) : 25;
    bench::generated_script g = bench::generate_script(subtrees, groups);
    if (!save(dir + "/big.ini", g.script) || !save(dir + "/big.lua", g.lua)) {
        std::fprintf(stderr, "mc_script_generator: cannot write into %s\n", dir.c_str());
        return 1;
    }
    std::printf(
        "%d function statements, %zu bytes of script, %zu bytes of Lua\n", g.statements, g.script.size(), g.lua.size());
    return 0;
}
