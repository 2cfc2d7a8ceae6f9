// How deep a walk's evaluations nest: arguments passed down a chain of calls
// and extern indexes reading earlier externs add up, and what would go past
// the expression bound is refused, on a stack as small as the game's.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "engine/kernel/Parser/grammar_actions.h"
#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/unit_loader.h"
#include "tests/support/script_fixture.h"
#include "tests/support/small_stack.h"
#include "tools/mcscript/extern_values.h"
#include "tools/mcscript/statement_printer.h"

namespace {

std::string plus_ones(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += " + 1";
    return text;
}

// Subtrees s0 .. s<levels>: each passes its parameter plus `additions` ones to
// the one below, and s0 prints what arrives; main calls the top one.
std::string call_chain(int levels, int additions, const std::string& main_argument)
{
    std::string text = "sub s0(int p = 0) { F(p); }\n";
    for (int k = 1; k <= levels; ++k)
        text += "sub s" + std::to_string(k) + "(int p = 0) { call s" + std::to_string(k - 1) + "(p = p"
            + plus_ones(additions) + "); }\n";
    return text + "sub main() { G(1); call s" + std::to_string(levels) + "(p = " + main_argument + "); }\n";
}

// Externs e0 .. e<count - 1> of key k: each index reads the one before plus
// `additions` ones.
std::string extern_chain(int count, int additions)
{
    std::string text = "extern int e0 = k 0;\n";
    for (int i = 1; i < count; ++i)
        text += "extern int e" + std::to_string(i) + " = k e" + std::to_string(i - 1) + plus_ones(additions) + ";\n";
    return text + "sub main() { F(e" + std::to_string(count - 1) + "); }\n";
}

class Depth : public ScriptTest {
protected:
    // Parses and walks main.ini on a 1 MB stack, with "k" bound to 5;6;7.
    std::string walk_small(const std::string& text)
    {
        write("main.ini", text);
        std::string out;
        bool parsed = false;
        EXPECT_TRUE(small_stack::run([&] {
            mcscript::extern_values externs;
            externs.add("k=5;6;7");
            parser::unit* u = ParseUnit("main.ini", &externs, nullptr, true, nullptr);
            parser::subtree* tree = u ? u->find_subtree("main") : nullptr;
            if (u)
                u->release();
            parsed = tree != nullptr;
            if (tree) {
                mcscript::print_walk(out, *tree, mcscript::print_mode::walk);
                tree->release();
            }
        }));
        parsed_ = parsed;
        return out;
    }
    bool parsed_ = false;
};

TEST_F(Depth, ArgumentsPassedDownCallsAddUp)
{
    // 301 in, 300 more on the way down: 605 levels at the deepest read.
    EXPECT_EQ(walk_small(call_chain(1, 300, "1" + plus_ones(300))), "G(1)\nF(601)\n");
    EXPECT_TRUE(records.empty()) << log_text();

    // Twelve levels of 989 additions each would read 12 000 levels deep.
    EXPECT_EQ(walk_small(call_chain(12, 989, "1")), "G(1)\n");
    EXPECT_TRUE(parsed_);
    EXPECT_NE(log_text().find("[parser::tree_iterator::next] expressions read through subtree calls nested more than "
                              "1000 levels deep: walk stopped"),
        std::string::npos)
        << log_text();
}

TEST_F(Depth, ExternIndexesAddTheirDepth)
{
    EXPECT_EQ(walk_small(extern_chain(2, 300)), "F(7)\n"); // index 5 + 300: past the end, the last value
    EXPECT_TRUE(records.empty()) << log_text();

    walk_small(extern_chain(14, 989));
    EXPECT_FALSE(parsed_);
    EXPECT_NE(log_text().find("expression nested more than 1000 levels deep in 'main.ini' line 3"), std::string::npos)
        << log_text().substr(0, 400);
}

TEST_F(Depth, AFileVariableKeepsItsDepthAfterBlocksEnd)
{
    std::string text = "int g = 1" + plus_ones(990) + ";\nsub a(int p = 1) { if (p > 0) { int x = 2; } }\n"
        + "sub main() { F(g" + plus_ones(20) + "); }\n";
    walk_small(text);
    EXPECT_FALSE(parsed_);
    EXPECT_NE(log_text().find("expression nested more than 1000 levels deep in 'main.ini' line 3"), std::string::npos)
        << log_text().substr(0, 400);
}

TEST_F(Depth, ImportsNestAtMostEightDeep)
{
    auto chain = [this](int last) {
        for (int i = 0; i < last; ++i)
            write("f" + std::to_string(i) + ".ini", "import 'f" + std::to_string(i + 1) + ".ini'\n");
        write("f" + std::to_string(last) + ".ini", "export int v = 7;");
    };
    auto parse_small = [](const char* file) {
        bool parsed = false;
        EXPECT_TRUE(small_stack::run([&] {
            parser::unit* u = ParseUnit(file, nullptr, nullptr, true, nullptr);
            parsed = u != nullptr;
            if (u)
                u->release();
        }));
        return parsed;
    };
    chain(8);
    write("main.ini", "import 'f1.ini'\nsub main() { F(v); }");
    EXPECT_TRUE(parse_small("main.ini")) << log_text(); // main.ini at 0, f8.ini at 8
    EXPECT_EQ(walk("main.ini"), "F(7)\n");

    chain(400);
    EXPECT_FALSE(parse_small("main.ini"));
    EXPECT_NE(
        log_text().find("[parser::context::import] import of 'f9.ini' in 'f8.ini' nests imports more than 8 deep"),
        std::string::npos)
        << log_text().substr(0, 400);
}

} // namespace

// The grammar's notes of variable depths: each look-up finds the last note of
// its variable, through the table's doublings and the removal of others; a
// variable never noted (or forgotten) stands one level deep, and nothing is
// noted outside a parse.
TEST(DepthNotes, LookUpsFindTheLastNoteOfEachVariable)
{
    // Addresses shaped like the node pool's variables, scattered so that probe
    // runs form; only compared, never read.
    static std::vector<uintptr_t> addresses = [] {
        std::mt19937_64 random(13);
        std::vector<uintptr_t> a(5001);
        for (uintptr_t& x : a)
            x = (random() & 0xFFFFFFFFFull) << 7 | 128;
        return a;
    }();
    auto v = [](int i) { return reinterpret_cast<const parser::variable*>(addresses[i]); };
    std::map<int, int32_t> expected;
    {
        parser::grammar::depth_notes notes;
        {
            parser::grammar::depth_notes inner; // an import's parse shares the outermost notes
            for (int i = 0; i < 5000; i += 2) {
                parser::grammar::remember_depth(v(i), i % 997);
                expected[i] = i % 997;
            }
        }
        for (int i = 0; i < 5000; i += 6) {
            parser::grammar::remember_depth(v(i), 7); // noted again
            expected[i] = 7;
        }
        for (int i = 0; i < 5000; i += 4) { // a block's end: each probe run closes up behind the note it loses
            parser::grammar::forget_depth(v(i));
            parser::grammar::forget_depth(v(i + 1)); // never noted
            expected.erase(i);
        }
        for (int i = 0; i < 5000; i += 12) {
            parser::grammar::remember_depth(v(i), 3); // noted again after it went
            expected[i] = 3;
        }
        for (int i = 0; i < 5000; ++i) {
            auto found = expected.find(i);
            ASSERT_EQ(parser::grammar::variable_depth(v(i)), found == expected.end() ? 1 : found->second + 1) << i;
        }
    }
    EXPECT_EQ(parser::grammar::variable_depth(v(0)), 1) << "forgotten at the parse's end";
    parser::grammar::remember_depth(v(0), 5);
    EXPECT_EQ(parser::grammar::variable_depth(v(0)), 1) << "nothing noted outside a parse";
}
