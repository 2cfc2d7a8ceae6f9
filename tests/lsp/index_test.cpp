// Symbol tables as the parse builds them: what each declaration is, where it
// is visible, which subtree a call reaches, what a name refers to, and the
// open documents that imports read before the files on disk.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/script_fixture.h"
#include "tools/mcscript/lsp_workspace.h"

namespace {

using namespace mcscript::lsp;

class SymbolTable : public ScriptTest {
protected:
    std::string uri(const std::string& name)
    {
        return uri_of_path((std::filesystem::current_path() / name).generic_string());
    }
    // The offset of the n-th occurrence of part in the document's text.
    static uint32_t at(const document& d, const std::string& part, int n = 1)
    {
        size_t found = std::string::npos;
        for (int i = 0; i < n; ++i)
            found = d.text.find(part, found + 1);
        return uint32_t(found);
    }
};

TEST_F(SymbolTable, DeclarationsCarryTheirKindTypeValueAndName)
{
    workspace w(nullptr);
    write("lib.ini", "export vec3 up = [0.0, 1.0, 0.0];\n");
    std::string text = "import 'lib.ini'\n"
                       "export float factor = 2.0 * 3;\n"
                       "int hidden = 1;\n"
                       "sub Move(float speed = factor, int steps = 1 + 1) {\n"
                       "    string label = \"go\";\n"
                       "    Step(speed, steps, up, label);\n"
                       "}\n";
    document& d = *w.open(uri("main.ini"), text)[0];
    ASSERT_EQ(d.diagnostics.items().size(), 0u);
    struct expected {
        const char* name;
        variable_kind kind;
        uint8_t type;
        bool exported;
        const char* value;
    };
    const expected declarations[] = {
        { "factor", variable_kind::top_level, 2, true, "6" },
        { "hidden", variable_kind::top_level, 1, false, "1" },
        { "speed", variable_kind::parameter, 2, false, "6" },
        { "steps", variable_kind::parameter, 1, false, "2" },
        { "label", variable_kind::local, 6, false, "\"go\"" },
    };
    ASSERT_EQ(d.index->declarations.size(), std::size(declarations));
    for (size_t i = 0; i < std::size(declarations); ++i) {
        const declaration& v = *d.index->declarations[i];
        const expected& e = declarations[i];
        EXPECT_EQ(v.name, e.name);
        EXPECT_EQ(v.kind, e.kind) << e.name;
        EXPECT_EQ(v.type, e.type) << e.name;
        EXPECT_EQ(v.exported, e.exported) << e.name;
        EXPECT_EQ(v.value, e.value) << e.name;
        EXPECT_EQ(d.text.substr(v.name_at.begin, v.name_at.end - v.name_at.begin), e.name);
    }
    ASSERT_EQ(d.index->subtrees.size(), 1u);
    EXPECT_EQ(d.index->subtrees[0].params.size(), 2u);
    const reference* up = d.index->reference_at(at(d, "up,"));
    ASSERT_NE(up, nullptr);
    ASSERT_NE(up->target, nullptr);
    EXPECT_EQ(up->target->file, (std::filesystem::current_path() / "lib.ini").generic_string());
    EXPECT_EQ(up->target->value, "[0, 1, 0]");
}

TEST_F(SymbolTable, VisibilityFollowsTheBlocks)
{
    workspace w(nullptr);
    std::string text = "int top = 1;\n"
                       "sub A(int p = 1) {\n"
                       "    int outer = p;\n"
                       "    if (outer > 0) {\n"
                       "        int inner = outer;\n"
                       "        F(inner);\n"
                       "    }\n"
                       "    G(outer);\n"
                       "}\n"
                       "sub B() { H(top); }\n";
    document& d = *w.open(uri("main.ini"), text)[0];
    ASSERT_EQ(d.diagnostics.items().size(), 0u);
    auto names = [&](uint32_t offset) {
        std::string joined;
        for (const declaration_ref& v : d.index->visible_at(offset))
            joined += v->name + " ";
        return joined;
    };
    EXPECT_EQ(names(at(d, "F(inner)")), "inner outer p top ");
    EXPECT_EQ(names(at(d, "G(outer)")), "outer p top ");
    EXPECT_EQ(names(at(d, "H(top)")), "top ");
    EXPECT_EQ(names(at(d, "int outer")), "p top ") << "a declaration is visible after it";
    EXPECT_EQ(names(0), "");
}

TEST_F(SymbolTable, CallsReachTheSubtreeTheGameWouldRun)
{
    workspace w(nullptr);
    write("a.ini", "import 'b.ini'\nsub Shared() { FromA(); }\nsub OnlyA() { }\n");
    write("b.ini", "sub Shared() { FromB(); }\nsub OnlyB() { }\n");
    document& d = *w.open(uri("main.ini"), "import 'a.ini'\nsub OnlyA() { }\nsub main() { call OnlyA(); }\n")[0];
    ASSERT_EQ(d.diagnostics.items().size(), 0u);
    std::string cwd = std::filesystem::current_path().generic_string();
    const struct {
        const char* name;
        const char* file;
    } cases[] = { { "OnlyA", "main.ini" }, { "Shared", "a.ini" }, { "OnlyB", "b.ini" } };
    for (const auto& c : cases) {
        std::string file;
        EXPECT_NE(resolve_subtree(w.files(), d.path, c.name, &file), nullptr) << c.name;
        EXPECT_EQ(file, cwd + "/" + c.file) << c.name;
    }
    EXPECT_EQ(resolve_subtree(w.files(), d.path, "Nowhere", nullptr), nullptr);
}

TEST_F(SymbolTable, OpenDocumentsComeBeforeFilesAndChangesReachTheirReaders)
{
    workspace w(nullptr);
    write("lib.ini", "int x = 1;\n");
    document& main = *w.open(uri("main.ini"), "import 'lib.ini'\nsub main() { F(x); }\n")[0];
    EXPECT_EQ(main.diagnostics.count(parser::diag::severity::error), 1) << "x is not exported on disk";
    std::vector<document*> parsed = w.open(uri("lib.ini"), "export int x = 1;\n");
    ASSERT_EQ(parsed.size(), 2u) << "main.ini reads lib.ini, so it is parsed again";
    EXPECT_EQ(parsed[1], &main);
    EXPECT_EQ(main.diagnostics.items().size(), 0u);
    parsed = w.change(uri("lib.ini"), "export int y = 1;\n");
    ASSERT_EQ(parsed.size(), 2u);
    EXPECT_EQ(main.diagnostics.count(parser::diag::severity::error), 1);
    parsed = w.close(uri("lib.ini"));
    ASSERT_EQ(parsed.size(), 1u);
    EXPECT_EQ(w.find(uri("lib.ini")), nullptr);
}

TEST_F(SymbolTable, UrisAndPaths)
{
    const std::pair<const char*, const char*> cases[] = {
        { "file:///home/a/main.ini", "/home/a/main.ini" },
        { "file:///home/a%20b/%C3%A9.ini", "/home/a b/\xC3\xA9.ini" },
        { "file:///c%3A/games/game.ini", "c:/games/game.ini" },
        { "file://localhost/srv/x.ini", "/srv/x.ini" },
    };
    for (const auto& [uri, path] : cases)
        EXPECT_EQ(path_of_uri(uri), path) << uri;
    EXPECT_EQ(path_of_uri("untitled:Untitled-1"), "");
    EXPECT_EQ(uri_of_path("/home/a b/\xC3\xA9.ini"), "file:///home/a%20b/%C3%A9.ini");
    EXPECT_EQ(uri_of_path("c:/games/game.ini"), "file:///c%3A/games/game.ini");
}

} // namespace
