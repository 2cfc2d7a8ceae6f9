// Files and imports: the import diamond, imports parsed once per graph, the
// unit cache, what importers see, and failures that travel to the importer.
#include <gtest/gtest.h>

#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/tree_iterator.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/unit_loader.h"
#include "tests/support/script_fixture.h"

namespace {

using Units = ScriptTest;

int count_records(const std::vector<captured_record>& records, const std::string& part)
{
    int n = 0;
    for (const captured_record& r : records)
        n += r.text.find(part) != std::string::npos;
    return n;
}

TEST_F(Units, ImportDiamondLeavesTheSharedFileToTheLaterImport)
{
    write("a.ini", "export int a = 1; sub A() { FromA(a); }");
    write("b.ini", "import 'a.ini'\nexport int b = a + 1; sub B() { FromB(b); }");
    write("main.ini", "import 'a.ini'\nimport 'b.ini'\nsub main() { call A(); call B(); F(a, b); }");
    parser::unit* u = ParseUnit("main.ini", nullptr, nullptr, true, nullptr);
    ASSERT_NE(u, nullptr) << log_text();
    ASSERT_EQ(u->imports.size(), 1u) << "a.ini is reached through b.ini";
    EXPECT_STREQ(u->imports[0]->name.c_str(), "b.ini");
    u->release();
    EXPECT_EQ(walk("main.ini"), "FromA(1)\nFromB(2)\nF(1, 2)\n");
}

// Layers of two files, each importing both files of the layer below: without
// reuse a parse would take 2^layers file parses.
TEST_F(Units, DiamondGraphsParseEachFileOnceWithoutACache)
{
    constexpr int layers = parser::max_import_depth; // the deepest files at the deepest level allowed
    auto name = [](int layer, char side) { return "l" + std::to_string(layer) + side + ".ini"; };
    write(name(layers, 'a'), "export int va = 1;");
    write(name(layers, 'b'), "export int vb = 2; sub Leaf() { L(vb + 1); }");
    for (int k = layers - 1; k >= 1; --k)
        for (char side : { 'a', 'b' })
            write(name(k, side), "import '" + name(k + 1, 'a') + "'\nimport '" + name(k + 1, 'b') + "'\n");
    write("main.ini", "import 'l1a.ini'\nimport 'l1b.ini'\nsub main() { call Leaf(); F(va, vb); }");

    parser::unit* u = ParseUnit("main.ini", nullptr, nullptr, true, nullptr);
    ASSERT_NE(u, nullptr) << log_text();
    ASSERT_EQ(u->imports.size(), 2u);
    parser::unit* left = u->imports[0];
    parser::unit* right = u->imports[1];
    ASSERT_EQ(left->imports.size(), 2u);
    ASSERT_EQ(right->imports.size(), 2u);
    EXPECT_EQ(left->imports[0], right->imports[0]) << "one unit per file";
    EXPECT_EQ(left->imports[1], right->imports[1]);
    u->release();
    EXPECT_EQ(walk("main.ini"), "L(3)\nF(1, 2)\n");
    EXPECT_TRUE(records.empty()) << log_text();

    // A file that fails fails each importer, but is read only once.
    write(name(layers, 'a'), "export int va = ;");
    EXPECT_EQ(ParseUnit("main.ini", nullptr, nullptr, true, nullptr), nullptr);
    EXPECT_EQ(count_records(records, "syntax error in '" + name(layers, 'a') + "'"), 1) << log_text();
}

TEST_F(Units, ScriptsStayBelowTwoGibibytes)
{
    EXPECT_TRUE(parser::script_size_fits(0));
    EXPECT_TRUE(parser::script_size_fits(0x7fffffffu - 2));
    EXPECT_FALSE(parser::script_size_fits(0x7fffffffu - 1));
    EXPECT_FALSE(parser::script_size_fits(uint64_t(1) << 31));
    EXPECT_FALSE(parser::script_size_fits(~uint64_t(0)));
}

TEST_F(Units, TheSameFileImportedTwiceInAnyCaseIsParsedOnce)
{
    write("main.ini", "import 'x.ini'\nimport 'X.INI'\nsub main() { }");
    write("x.ini", "sub X() { }");
    parser::unit* u = ParseUnit("main.ini", nullptr, nullptr, true, nullptr);
    ASSERT_NE(u, nullptr) << log_text();
    EXPECT_EQ(u->imports.size(), 1u);
    u->release();
}

TEST_F(Units, UnitCacheSharesASharedImport)
{
    write("shared.ini", "export int s = 3;");
    write("p.ini", "import 'shared.ini'\nexport int p = s;");
    write("q.ini", "import 'shared.ini'\nexport int q = s;");
    write("main.ini", "import 'p.ini'\nimport 'q.ini'\nsub main() { F(p, q); }");

    parser::unit_cache cache;
    parser::unit* with_cache = ParseUnit("main.ini", nullptr, &cache, false, nullptr);
    ASSERT_NE(with_cache, nullptr) << log_text();
    parser::unit* p = with_cache->find_import("p.ini");
    parser::unit* q = with_cache->find_import("q.ini");
    ASSERT_TRUE(p && q);
    EXPECT_EQ(p->imports[0], q->imports[0]) << "parsed once with a cache";
    p->release();
    q->release();
    with_cache->release();

    parser::unit* without = ParseUnit("main.ini", nullptr, nullptr, true, nullptr);
    parser::unit* again = ParseUnit("main.ini", nullptr, nullptr, true, nullptr);
    ASSERT_TRUE(without && again);
    p = without->find_import("p.ini");
    q = without->find_import("q.ini");
    parser::unit* later = again->find_import("p.ini");
    EXPECT_EQ(p->imports[0], q->imports[0]) << "parsed once per top-level parse without a cache";
    EXPECT_NE(p->imports[0], later->imports[0]) << "and again by the next parse";
    for (parser::unit* u : { p, q, later, without, again })
        u->release();
}

TEST_F(Units, OnlyExportedTopLevelVariablesAreVisibleToImporters)
{
    write("lib.ini", "export int shown = 1; int hidden = 2; sub S(int p = 0) { }");
    EXPECT_EQ(walk_text("import 'lib.ini'\nsub main() { F(shown); }"), "F(1)\n");
    walk_text("import 'lib.ini'\nsub main() { F(hidden); }");
    EXPECT_TRUE(failed()) << "hidden is an unknown name there";
}

TEST_F(Units, AFailedImportFailsTheImporterWithBothMessages)
{
    walk_text("import 'missing.ini'\nsub main() { }");
    EXPECT_TRUE(failed());
    EXPECT_EQ(count_records(records, "[ParseUnit] cannot open file 'missing.ini'"), 1) << log_text();
    EXPECT_EQ(
        count_records(records, "[parser::context::import] Cannot find import file 'missing.ini' in 'main.ini'"), 1);
    EXPECT_EQ(count_records(records, "[ParseUnit] syntax error in 'main.ini'"), 1);
    for (const captured_record& r : records) {
        if (r.text.find("cannot open file") != std::string::npos) {
            EXPECT_EQ(r.level, 4) << "a missing file is a warning";
        }
    }
}

TEST_F(Units, SubtreesOfTheFileWinOverImportedOnes)
{
    write("one.ini", "sub S() { One(); } sub T() { One(); }");
    write("two.ini", "sub T() { Two(); } sub U() { Two(); }");
    EXPECT_EQ(walk_text("import 'one.ini'\nimport 'two.ini'\nsub S() { Own(); } sub main() { call S(); call T(); "
                        "call U(); }"),
        "Own()\nOne()\nTwo()\n");
}

TEST_F(Units, LoadMainSubtreeNeedsMain)
{
    write("nomain.ini", "sub other() { }");
    EXPECT_EQ(parser::load_main_subtree("nomain.ini"), nullptr);
    write("good.ini", "sub main() { F(); }");
    parser::subtree* main = parser::load_main_subtree("good.ini");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->refs, 1) << "the unit's reference went with the unit";
    main->release();
    write("bad.ini", "sub main() {");
    EXPECT_EQ(parser::load_main_subtree("bad.ini"), nullptr);
    EXPECT_EQ(count_records(records, "[ParseUnit] syntax error in 'bad.ini' line 1"), 1) << log_text();
}

TEST_F(Units, ImportCyclesFailInsteadOfRecursing)
{
    write("self.ini", "import 'SELF.INI'\nsub main() { }");
    walk("self.ini");
    EXPECT_TRUE(failed());
    EXPECT_NE(log_text().find("[parser::context::import] import of 'SELF.INI' in 'self.ini' leads back to itself"),
        std::string::npos)
        << log_text();
    write("a.ini", "import 'b.ini'\nexport int a = 1;");
    write("b.ini", "import 'a.ini'\nexport int b = 2;");
    write("main.ini", "import 'a.ini'\nsub main() { F(a); }");
    walk("main.ini");
    EXPECT_TRUE(failed());
    EXPECT_NE(log_text().find("import of 'a.ini' in 'b.ini' leads back to itself"), std::string::npos);
}

} // namespace
