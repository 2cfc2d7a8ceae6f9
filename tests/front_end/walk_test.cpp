// Walking: calls bind their arguments in frames, conditionals choose their
// branch, argument reads check their type, and runaway recursion is stopped.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/kernel/Parser/param_iterator.h"
#include "engine/kernel/Parser/statements.h"
#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/tree_iterator.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/unit_loader.h"
#include "tests/support/script_fixture.h"
#include "tools/mcscript/statement_printer.h"

namespace {

using Walk = ScriptTest;

TEST_F(Walk, CallsBindArgumentsInFramesAndConditionalsChooseTheirBranch)
{
    struct {
        const char* script;
        const char* walk;
    } cases[] = {
        { "bool c = true; sub s(int a = 0) { g(a); }"
          "sub main() { f1(1); call s(a = 2); if (c) { f2(); } else { f3(); } }",
            "f1(1)\ng(2)\nf2()\n" },
        { "sub inner(int n = 0) { In(n); }"
          "sub outer(int m = 0, bool deep = false) { if (deep) { call inner(n = m * 10); } Out(m); }"
          "sub main() { call outer(m = 1); call outer(m = 2, deep = true); End(); }",
            "Out(1)\nIn(20)\nOut(2)\nEnd()\n" },
        // a subtree ending inside a call returns to the caller's frame
        { "sub leaf(int v = 0) { L(v); } sub mid(int v = 0) { call leaf(v = v + 1); M(v); }"
          "sub main() { call mid(v = 10); call leaf(); T(); }",
            "L(11)\nM(10)\nL(0)\nT()\n" },
        { "sub main() { if (1 > 2) { No(); } Yes(); }", "Yes()\n" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(walk_text(c.script), c.walk) << c.script;
}

TEST_F(Walk, SavedPositionsEvaluateWhereTheStatementStood)
{
    write("main.ini", "sub s(int a = 0) { g(a); } sub main() { call s(a = 7); }");
    parser::subtree* main = parser::load_main_subtree("main.ini");
    ASSERT_NE(main, nullptr);
    parser::tree_iterator it;
    it.start(&main->statements, nullptr, nullptr);
    ASSERT_NE(it.current, nullptr);
    parser::tree_iterator saved = it; // a copy rebases the frames onto itself
    it.advance();
    EXPECT_EQ(it.current, nullptr);
    parser::param_iterator p(saved);
    EXPECT_EQ(p.get_int(), 7);
    main->release();
}

TEST_F(Walk, TypedReadsReportTheirTypeErrors)
{
    write("main.ini", "sub main() { f(1, 'x'); e(); }");
    parser::subtree* main = parser::load_main_subtree("main.ini");
    ASSERT_NE(main, nullptr);
    parser::tree_iterator it;
    it.start(&main->statements, nullptr, nullptr);
    parser::param_iterator p(it);
    EXPECT_EQ(p.get_string().size(), 0u);
    EXPECT_EQ(p.get_int(), 1);
    p.next();
    EXPECT_STREQ(p.get_string().c_str(), "x");
    p.next();
    EXPECT_EQ(p.get_int(), 0) << "past the last argument";
    it.advance();
    parser::param_iterator none(it);
    EXPECT_EQ(none.get_int(), 0);
    main->release();
    const char* where = "parser::param_iterator::dump_error";
    EXPECT_EQ(records,
        (captured_records {
            { 2, "Parser", where, "Param 0 in function f() is not a string" },
            { 2, "Parser", where, "Param 2 in function f() is not an int" },
            { 2, "Parser", where, "Param 0 in function e() is not an int" },
        }));
}

TEST_F(Walk, RecursiveSubtreesStopTheWalkWithAnError)
{
    std::string out = walk_text("sub main() { Before(); call main(); }");
    EXPECT_FALSE(failed());
    EXPECT_EQ(out.substr(0, 9), "Before()\n");
    ASSERT_FALSE(records.empty());
    EXPECT_NE(records.back().text.find("walk stopped"), std::string::npos);
    EXPECT_EQ(records.back().level, 2);
}

// The shape debug builds assert: checked here at every stop of walks through
// nested calls and conditionals, in copies, and after a limit ends a walk.
TEST_F(Walk, TheWalksShapeHoldsAtEveryStatementAndInCopies)
{
    const char* const scripts[] = {
        "sub leaf(int v = 0) { L(v); } sub mid(int v = 0) { if (v > 1) { call leaf(v = v); } M(v); }"
        "sub main() { call mid(v = 1); call mid(v = 2); if (true) { if (false) { } else { call leaf(); } } T(); }",
        "sub main() { Before(); call main(); }",
    };
    for (const char* script : scripts) {
        write("main.ini", script);
        parser::subtree* main = parser::load_main_subtree("main.ini");
        ASSERT_NE(main, nullptr) << script;
        parser::tree_iterator it;
        int statements = 0;
        for (it.start(&main->statements, nullptr, nullptr); it.current; it.advance(), ++statements) {
            ASSERT_TRUE(it.invariants()) << script << " at statement " << statements;
            parser::tree_iterator copy = it;
            EXPECT_TRUE(copy.invariants()) << script << " at statement " << statements; // frames rebased
        }
        EXPECT_GT(statements, 0) << script;
        EXPECT_TRUE(it.invariants()) << script << " at the end";
        main->release();
    }
}

// A walk written to a file as it goes gives the very text of a walk kept
// whole, across many flushes and with bodies open at the flush points.
TEST_F(Walk, AWalkWrittenAsItGoesIsTheWholeWalk)
{
    std::string text = "sub s(int a = 0) { Inner(a, 'in s'); }\nsub main() {\n";
    for (int i = 0; i < 4000; ++i)
        text += "  Outer" + std::to_string(i) + "(" + std::to_string(i) + ", 0.25) { call s(a = " + std::to_string(i)
            + "); Body(1.5) { Leaf(); } }\n";
    write("main.ini", text + "}\n");
    std::string whole = walk("main.ini");
    ASSERT_GT(whole.size(), 3 * 64 * 1024u) << "the walk must span several flushes";

    parser::unit* u = ParseUnit("main.ini", nullptr, nullptr, true, nullptr);
    ASSERT_NE(u, nullptr);
    parser::subtree* tree = u->find_subtree("main");
    u->release();
    ASSERT_NE(tree, nullptr);
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    mcscript::print_walk(file, *tree, mcscript::print_mode::walk);
    tree->release();
    std::string written(size_t(std::ftell(file)), '\0');
    std::rewind(file);
    EXPECT_EQ(std::fread(written.data(), 1, written.size(), file), written.size());
    std::fclose(file);
    EXPECT_EQ(written, whole);
}

} // namespace
