// Completion contexts: a forward scan finds whether the cursor is in a comment
// or a string; a backward scan from the cursor finds the name being typed and
// what stands before it.
#include "tools/mcscript/lsp_completion.h"

#include <cctype>

namespace mcscript::lsp {
namespace {

bool name_char(char c) { return std::isalnum(uint8_t(c)) || c == '_'; }

// Whether offset lies inside a comment or a string, scanning as the lexer does.
bool in_comment_or_string(std::string_view text, uint32_t offset)
{
    size_t i = 0;
    while (i < offset) {
        char c = text[i];
        size_t end = i + 1;
        if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            end = text.find('\n', i);
            if (end == std::string_view::npos || end >= offset)
                return true; // up to its line feed, the place before it included
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            end = text.find("*/", i + 2);
            end = end == std::string_view::npos ? end : end + 2;
        } else if (c == '"' || c == '\'') {
            end = text.find(c, i + 1); // unclosed: a string being typed
            end = end == std::string_view::npos ? end : end + 1;
        } else {
            i = end;
            continue;
        }
        if (end == std::string_view::npos || end > offset)
            return true;
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

} // namespace

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
