// The documents and the editor grammar against the sources they describe: every
// keyword of the lexer in the language guide and the grammar, every key of the
// settings reader in the settings guide, and the worked examples' outputs as
// the script tool prints them today.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string read_file(const std::string& relative)
{
    std::ifstream in(std::string(MC_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::set<std::string> words_in(const std::string& text)
{
    static const std::regex word("[A-Za-z_][A-Za-z0-9_]*");
    std::set<std::string> words;
    for (std::sregex_iterator it(text.begin(), text.end(), word), end; it != end; ++it)
        words.insert(it->str());
    return words;
}

// The words the lexer's rules spell out: keywords, type names, built-in
// functions and the bool literals ("call"|"use" gives both).
std::set<std::string> lexer_words()
{
    static const std::regex quoted("\"([A-Za-z_][A-Za-z0-9_]*)\"");
    std::set<std::string> words;
    for (const std::string& line : lines_of(read_file("engine/kernel/Parser/lexer.l"))) {
        if (line.empty() || line[0] != '"')
            continue;
        std::string pattern = line.substr(0, line.find_first_of(" \t"));
        for (std::sregex_iterator it(pattern.begin(), pattern.end(), quoted), end; it != end; ++it)
            words.insert((*it)[1].str());
    }
    return words;
}

// The keys of the game.ini reader: every text of the reader's source shaped
// like a key (a name with a capital first letter, as every key has), wherever
// its key table lives in that file.
std::set<std::string> reader_keys()
{
    static const std::regex literal("\"([A-Z][A-Za-z0-9_]*)\"");
    std::string source = read_file("engine/game/gameini_parser.cpp");
    std::set<std::string> keys;
    for (std::sregex_iterator it(source.begin(), source.end(), literal), end; it != end; ++it)
        keys.insert((*it)[1].str());
    return keys;
}

// The code of a Markdown text: its fenced blocks and its `inline` spans.
std::string code_of(const std::string& markdown)
{
    std::string code;
    bool fenced = false;
    for (const std::string& line : lines_of(markdown)) {
        if (line.rfind("```", 0) == 0) {
            fenced = !fenced;
            continue;
        }
        if (fenced) {
            code += line + "\n";
            continue;
        }
        for (size_t open = line.find('`'); open != std::string::npos; open = line.find('`', open + 1)) {
            size_t close = line.find('`', open + 1);
            if (close == std::string::npos)
                break;
            code += line.substr(open + 1, close - open - 1) + "\n";
            open = close;
        }
    }
    return code;
}

// The regular expressions of a TextMate grammar: its "match" values, with the
// escapes such as \b made blanks so that they do not join the words beside them.
std::string grammar_matches(const std::string& json)
{
    static const std::regex match("\"match\"\\s*:\\s*\"((?:[^\"\\\\]|\\\\.)*)\"");
    static const std::regex escape("\\\\+[A-Za-z]");
    std::string patterns;
    for (std::sregex_iterator it(json.begin(), json.end(), match), end; it != end; ++it)
        patterns += std::regex_replace((*it)[1].str(), escape, " ") + "\n";
    return patterns;
}

std::vector<std::string> missing(const std::set<std::string>& wanted, const std::set<std::string>& present)
{
    std::vector<std::string> absent;
    for (const std::string& w : wanted)
        if (!present.count(w))
            absent.push_back(w);
    return absent;
}

// The first two fenced blocks after a heading: a script and what the tool prints for it.
std::vector<std::string> example_after(const std::string& markdown, const std::string& heading)
{
    std::vector<std::string> blocks;
    bool after = false, fenced = false;
    for (const std::string& line : lines_of(markdown)) {
        after = after || line == heading;
        if (!after)
            continue;
        if (line.rfind("```", 0) == 0) {
            fenced = !fenced;
            if (fenced)
                blocks.emplace_back();
            else if (blocks.size() == 2)
                break;
            continue;
        }
        if (fenced)
            blocks.back() += line + "\n";
    }
    return blocks;
}

std::string run_tool(const std::string& command, const std::string& script, const std::string& name)
{
    std::string path = testing::TempDir() + name + ".ini";
    std::ofstream(path, std::ios::binary) << script;
    std::string output;
    FILE* pipe = popen((std::string(MCSCRIPT_PATH) + " " + command + " '" + path + "' 2>&1").c_str(), "r");
    if (!pipe)
        return "cannot run " MCSCRIPT_PATH;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    pclose(pipe);
    std::remove(path.c_str());
    return output;
}

TEST(Sources, TheNameListsAreReadFromTheLexerAndTheReader)
{
    std::set<std::string> words = lexer_words();
    for (const char* w : { "import", "use", "elseif", "modified", "mtx", "dist2", "uppercase", "TRUE", "false" })
        EXPECT_TRUE(words.count(w)) << w;
    EXPECT_GE(words.size(), 54u);
    std::set<std::string> keys = reader_keys();
    for (const char* k : { "FreeResourceLoading", "GPUMem_pc", "Map", "SkuOverride" })
        EXPECT_TRUE(keys.count(k)) << k;
    EXPECT_GE(keys.size(), 24u);
}

TEST(LanguageGuide, ShowsEveryKeywordAndBuiltInAsCode)
{
    std::vector<std::string> absent = missing(lexer_words(), words_in(code_of(read_file("docs/language.md"))));
    EXPECT_TRUE(absent.empty()) << "not in docs/language.md as code: " << testing::PrintToString(absent);
}

TEST(SettingsGuide, NamesEveryKeyOfTheReaderAsCode)
{
    std::vector<std::string> absent = missing(reader_keys(), words_in(code_of(read_file("docs/settings.md"))));
    EXPECT_TRUE(absent.empty()) << "not in docs/settings.md as code: " << testing::PrintToString(absent);
}

TEST(EditorGrammar, MatchesEveryKeywordAndBuiltIn)
{
    std::string json = read_file("editors/vscode/syntaxes/mcscript.tmLanguage.json");
    std::vector<std::string> absent = missing(lexer_words(), words_in(grammar_matches(json)));
    EXPECT_TRUE(absent.empty()) << "not matched by the editor grammar: " << testing::PrintToString(absent);
}

struct documented_run {
    const char* document;
    const char* heading;
    const char* command;
};

// Each worked example, run through the tool, prints what its document shows.
const documented_run documented_runs[] = {
    { "docs/language.md", "## A worked example", "walk" },
    { "docs/settings.md", "## An example game.ini", "settings" },
};

TEST(WorkedExamples, PrintWhatTheirDocumentShows)
{
    int n = 0;
    for (const documented_run& r : documented_runs) {
        std::vector<std::string> blocks = example_after(read_file(r.document), r.heading);
        ASSERT_EQ(blocks.size(), 2u) << r.document << ": " << r.heading;
        EXPECT_EQ(run_tool(r.command, blocks[0], "docs_example_" + std::to_string(n++)), blocks[1])
            << r.document << ": " << r.heading;
    }
}

} // namespace
