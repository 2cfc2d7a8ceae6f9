// Byte offsets to UTF-16 columns and back: each line is decoded from its start,
// so a position costs the length of its line.
#include "tools/mcscript/lsp_positions.h"

#include <algorithm>

namespace mcscript::lsp {
namespace {

// The bytes of the valid UTF-8 character at text[i] (1 for a byte that starts
// none) and the UTF-16 code units it takes.
struct character {
    uint32_t bytes;
    uint32_t units;
};

bool continuation(std::string_view text, size_t i) { return i < text.size() && (uint8_t(text[i]) & 0xC0) == 0x80; }

character decode(std::string_view text, size_t i)
{
    uint8_t lead = uint8_t(text[i]);
    uint32_t length = lead < 0x80 ? 1
        : (lead & 0xE0) == 0xC0   ? 2
        : (lead & 0xF0) == 0xE0   ? 3
        : (lead & 0xF8) == 0xF0   ? 4
                                  : 0;
    if (length == 0)
        return { 1, 1 };
    for (uint32_t k = 1; k < length; ++k)
        if (!continuation(text, i + k))
            return { 1, 1 };
    return { length, length == 4 ? 2u : 1u };
}

} // namespace

uint32_t utf16_length(std::string_view text)
{
    uint32_t units = 0;
    for (size_t i = 0; i < text.size();) {
        character c = decode(text, i);
        i += c.bytes;
        units += c.units;
    }
    return units;
}

uint32_t byte_offset(std::string_view text, uint32_t units)
{
    size_t i = 0;
    while (i < text.size()) {
        character c = decode(text, i);
        if (c.units > units)
            break;
        units -= c.units;
        i += c.bytes;
    }
    return uint32_t(i);
}

line_index::line_index(std::string_view text)
{
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n')
            starts_.push_back(uint32_t(i + 1));
}

std::string_view line_index::line_text(std::string_view text, uint32_t line) const
{
    uint32_t start = std::min<uint32_t>(starts_[line], uint32_t(text.size()));
    uint32_t end = line + 1 < starts_.size() ? starts_[line + 1] - 1 : uint32_t(text.size());
    if (end > start && text[end - 1] == '\r')
        --end;
    return text.substr(start, end - start);
}

place line_index::to_place(std::string_view text, uint32_t offset) const
{
    offset = std::min<uint32_t>(offset, uint32_t(text.size()));
    uint32_t line = uint32_t(std::upper_bound(starts_.begin(), starts_.end(), offset) - starts_.begin()) - 1;
    std::string_view before = text.substr(starts_[line], offset - starts_[line]);
    return { line, utf16_length(before.substr(0, std::min(before.size(), line_text(text, line).size()))) };
}

uint32_t line_index::to_offset(std::string_view text, place p) const
{
    if (p.line >= starts_.size())
        return uint32_t(text.size());
    std::string_view line = line_text(text, p.line);
    return starts_[p.line] + byte_offset(line, p.character);
}

} // namespace mcscript::lsp
