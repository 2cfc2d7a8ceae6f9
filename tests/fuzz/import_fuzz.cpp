// libFuzzer target over imports: the input is a small set of files importing
// each other, parsed as the game parses (no unit cache) and again sharing units
// through a cache; every parse must succeed or fail cleanly, walk without
// crashing, and leave nothing behind.
//
// Input: up to four files, a.ini to d.ini, separated by the byte 0x1E (the
// ASCII record separator, which no script uses); a.ini is parsed first. A
// fifth part and beyond join d.ini.
#include <cstdint>
#include <string>

#include "tests/fuzz/fuzz_checks.h"
#include "tests/fuzz/memory_filesystem.h"
#include "tests/fuzz/walk_main.h"

namespace {

constexpr char kSeparator = '\x1e';
// Four files make chains, diamonds and cycles; more would only repeat them.
constexpr const char* kNames[] = { "a.ini", "b.ini", "c.ini", "d.ini" };
constexpr size_t kFiles = sizeof kNames / sizeof kNames[0];

void add_files(const uint8_t* data, size_t size)
{
    memory_filesystem::clear();
    std::string text(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    for (size_t i = 0; i < kFiles; ++i) {
        size_t end = i + 1 < kFiles ? text.find(kSeparator, start) : std::string::npos;
        memory_filesystem::add(kNames[i], text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            return;
        start = end + 1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    add_files(data, size);
    walk_main(kNames[0], nullptr, nullptr, mcscript::print_mode::walk);
    {
        parser::unit_cache cache;
        walk_main(kNames[0], nullptr, &cache, mcscript::print_mode::walk);
    }
    check_everything_released();
    return 0;
}
