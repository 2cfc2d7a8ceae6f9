// Different files parsed on two threads at once, many times, sharing the node
// and list pools and one unit cache. Run under the thread sanitizer in CI.
// Reference counts are not atomic, so each thread's trees (and the cached
// units they import) stay with that thread; what the threads share is the
// pools and the cache itself.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/unit_loader.h"
#include "tests/support/script_fixture.h"

namespace {

using Concurrency = ScriptTest;

TEST_F(Concurrency, TwoThreadsParseDifferentFilesWithASharedCache)
{
    for (const char* side : { "left", "right" })
        write(std::string(side) + "_lib.ini",
            "export vec3 up = [0.0, 1.0, 0.0]; sub Common(float s = 1.0) { C(up * s); }");
    write("left.ini", "import 'left_lib.ini'\nsub main() { call Common(s = 2.0); L(1 + 2, 'a' + 1.5); }");
    write("right.ini", "import 'right_lib.ini'\nsub main() { if (up.y > 0.5) { R(mulp(scale(2.0), up)); } }");
    constexpr int rounds = 200;
    parser::unit_cache cache;
    int failures[2] = { 0, 0 };
    auto parse_many = [&](const char* file, int* failed) {
        for (int i = 0; i < rounds; ++i) {
            parser::unit* shared = ParseUnit(file, nullptr, &cache, false, nullptr);
            parser::unit* alone = ParseUnit(file, nullptr, nullptr, true, nullptr);
            *failed += !shared + !alone;
            if (shared)
                shared->release();
            if (alone)
                alone->release();
        }
    };
    std::thread left(parse_many, "left.ini", &failures[0]);
    std::thread right(parse_many, "right.ini", &failures[1]);
    left.join();
    right.join();
    EXPECT_EQ(failures[0] + failures[1], 0) << log_text();
    size_t libraries = 0;
    for (parser::unit* u : cache.units)
        libraries += u->name == "left_lib.ini" || u->name == "right_lib.ini";
    EXPECT_EQ(libraries, 2u) << "each library parsed once and shared through the cache";
}

} // namespace
