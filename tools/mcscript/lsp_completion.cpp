// Completion contexts: a forward scan finds whether the cursor is in a comment
// or a string; a backward scan from the cursor finds the name being typed and
// what stands before it.
#include "tools/mcscript/lsp_completion.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace mcscript::lsp {
namespace {

bool name_char(char c) { return std::isalnum(uint8_t(c)) || c == '_'; }

// Where the comment or string starting at i ends (npos when unclosed), or i
// when none starts there, scanning as the lexer does.
size_t end_of_comment_or_string(std::string_view text, size_t i)
{
    char c = text[i];
    size_t end = i;
    if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
        end = text.find('\n', i); // up to its line feed
    } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
        end = text.find("*/", i + 2);
        end = end == std::string_view::npos ? end : end + 2;
    } else if (c == '"' || c == '\'') {
        end = text.find(c, i + 1); // unclosed: a string being typed
        end = end == std::string_view::npos ? end : end + 1;
    }
    return end;
}

// Whether offset lies inside a comment or a string.
bool in_comment_or_string(std::string_view text, uint32_t offset)
{
    size_t i = 0;
    while (i < offset) {
        size_t end = end_of_comment_or_string(text, i);
        if (end == i) {
            ++i;
            continue;
        }
        bool line_comment = text[i] == '/' && text[i + 1] == '/';
        if (end == std::string_view::npos || end > offset || (line_comment && end == offset))
            return true; // a line comment holds the place before its line feed
        i = end;
    }
    return false;
}

size_t skip_blanks_back(std::string_view text, size_t i)
{
    while (i > 0 && std::isspace(uint8_t(text[i - 1])))
        --i;
    return i;
}

// The name ending at i (empty when none).
std::string_view name_before(std::string_view text, size_t i)
{
    size_t start = i;
    while (start > 0 && name_char(text[start - 1]))
        --start;
    return text.substr(start, i - start);
}

bool is_call_word(std::string_view word) { return word == "call" || word == "use"; }

// The subtree of the call whose '(' is still open before i, or empty.
std::string open_call(std::string_view text, size_t i)
{
    int depth = 0;
    while (i > 0) {
        char c = text[--i];
        if (c == ')')
            ++depth;
        else if (c == '(' && depth > 0)
            --depth;
        else if (c == '(') {
            size_t at = skip_blanks_back(text, i);
            std::string_view name = name_before(text, at);
            size_t before = skip_blanks_back(text, at - name.size());
            if (!name.empty() && is_call_word(name_before(text, before)))
                return std::string(name);
            return "";
        } else if (c == ';' || c == '{' || c == '}') {
            return "";
        }
    }
    return "";
}

// What a '{' at i opens, from the text before it: "sub NAME" for a subtree,
// "if" for a conditional's block, else the name of the statement it belongs to.
std::string block_opened_at(std::string_view text, size_t i)
{
    size_t at = skip_blanks_back(text, i);
    if (at > 0 && text[at - 1] == ')') {
        int depth = 0;
        while (at > 0) {
            char c = text[--at];
            depth += c == ')' ? 1 : c == '(' ? -1 : 0;
            if (depth == 0)
                break;
        }
        at = skip_blanks_back(text, at);
    }
    std::string_view name = name_before(text, at);
    if (name == "if" || name == "else")
        return "if";
    std::string_view word = name_before(text, skip_blanks_back(text, at - name.size()));
    return word == "sub" ? "sub " + std::string(name) : std::string(name);
}

} // namespace

bool at_settings_statement(std::string_view text, uint32_t offset)
{
    if (offset > text.size())
        offset = uint32_t(text.size());
    if (in_comment_or_string(text, offset))
        return false;
    std::string code(text.substr(0, offset)); // comments and strings blanked out
    std::vector<std::string> blocks; // open at offset, outermost first; "if" for a conditional's
    for (size_t i = 0; i < offset;) {
        size_t end = std::min<size_t>(end_of_comment_or_string(text, i), offset);
        if (end != i) {
            code.replace(i, end - i, end - i, ' ');
            i = end;
            continue;
        }
        if (code[i] == '{')
            blocks.push_back(block_opened_at(code, i));
        else if (code[i] == '}' && !blocks.empty())
            blocks.pop_back();
        ++i;
    }
    std::erase(blocks, "if");
    bool in_main = !blocks.empty() && blocks[0] == "sub main";
    if (!in_main || blocks.size() > 2 || (blocks.size() == 2 && blocks[1] != "SkuOverride"))
        return false;
    size_t before = skip_blanks_back(code, offset - name_before(code, offset).size());
    char previous = before > 0 ? code[before - 1] : 0;
    return previous == ';' || previous == '{' || previous == '}';
}

completion_context completion_at(std::string_view text, uint32_t offset)
{
    completion_context result;
    if (offset > text.size())
        offset = uint32_t(text.size());
    if (in_comment_or_string(text, offset)) {
        result.kind = completion_kind::none;
        return result;
    }
    std::string_view prefix = name_before(text, offset);
    result.prefix = std::string(prefix);
    size_t before = skip_blanks_back(text, offset - prefix.size());
    if (before < offset - prefix.size() && is_call_word(name_before(text, before))) {
        result.kind = completion_kind::subtree;
        return result;
    }
    char previous = before > 0 ? text[before - 1] : 0;
    if (previous == '(' || previous == ',') {
        result.call = open_call(text, offset - prefix.size());
        if (!result.call.empty())
            result.kind = completion_kind::argument;
    }
    return result;
}

} // namespace mcscript::lsp
