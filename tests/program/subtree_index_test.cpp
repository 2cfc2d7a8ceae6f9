// The units' subtree name index: a look-up finds the subtree a linear search
// in order of definition and import would find, as subtrees are added between
// look-ups, with duplicate names, names differing in case, and import diamonds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/program/program_fixture.h"

namespace {

using SubtreeIndex = program_test::ProgramTest;

// The search the index replaces: own subtrees first, then the imports in
// order, depth first, each unit entered once.
parser::subtree* linear_search(parser::unit* u, const char* name, std::vector<const parser::unit*>& seen)
{
    for (parser::subtree* s : u->subtrees)
        if (std::strcmp(s->name.c_str(), name) == 0)
            return s;
    for (parser::unit* i : u->imports) {
        bool first = std::find(seen.begin(), seen.end(), i) == seen.end();
        if (first) {
            seen.push_back(i);
            if (parser::subtree* s = linear_search(i, name, seen))
                return s;
        }
    }
    return nullptr;
}

void add(parser::unit* u, const std::string& name) { u->subtrees.push_back(new parser::subtree(name.c_str())); }

void import(parser::unit* into, parser::unit* from)
{
    from->add_ref();
    into->imports.push_back(from);
}

// Every probe through find_subtree against the linear search.
void expect_same(parser::unit* u, const std::vector<std::string>& probes)
{
    for (const std::string& name : probes) {
        std::vector<const parser::unit*> seen;
        parser::subtree* expected = linear_search(u, name.c_str(), seen);
        parser::subtree* found = u->find_subtree(name.c_str());
        EXPECT_EQ(found, expected) << "'" << name << "' in " << u->name.c_str();
        if (found) {
            EXPECT_EQ(found->refs, 2) << "the look-up adds one reference";
            found->release();
        }
    }
}

TEST_F(SubtreeIndex, FindsWhatTheLinearSearchFinds)
{
    parser::unit* base = new parser::unit("base.ini");
    parser::unit* left = new parser::unit("left.ini");
    parser::unit* right = new parser::unit("right.ini");
    parser::unit* top = new parser::unit("top.ini");
    import(left, base);
    import(right, base);
    import(top, left);
    import(top, right);

    struct step {
        parser::unit* into;
        std::vector<std::string> added;
    };
    const std::vector<step> steps = {
        { base, { "shared", "base_only", "Case" } }, { left, { "left_only", "dup", "dup" } }, // the first of two wins
        { right, { "shared", "right_only", "case" } }, // base's 'shared', through left, comes first
        { top, {} }, { top, { "main", "dup" } }, // top's own comes before every import
    };
    std::vector<std::string> probes = { "shared", "base_only", "Case", "case", "CASE", "left_only", "dup", "right_only",
        "main", "missing", "", "shared_" };
    for (const step& s : steps) {
        for (const std::string& name : s.added)
            add(s.into, name);
        for (parser::unit* u : { base, left, right, top })
            expect_same(u, probes);
    }

    // Many subtrees: the index grows several times and keeps the first of each name.
    for (int i = 0; i < 3000; ++i) {
        add(top, "sub" + std::to_string(i % 2000));
        if (i % 700 == 0)
            expect_same(top, { "sub0", "sub" + std::to_string(i), "sub1999" });
    }
    std::vector<std::string> many;
    for (int i = 0; i < 2100; i += 7)
        many.push_back("sub" + std::to_string(i));
    expect_same(top, many);
    EXPECT_EQ(top->find_subtree("sub5"), top->subtrees[2 + 5]) << "after 'main' and 'dup', not its repeat";
    top->subtrees[2 + 5]->release();

    // The importers keep base alive after its own reference goes.
    base->release();
    left->release();
    right->release();
    expect_same(top, probes);
    top->release();
}

} // namespace
