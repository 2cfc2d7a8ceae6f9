// Positions in an editor's terms: 0-based lines and columns counted in UTF-16
// code units, worked out from byte offsets into UTF-8 text and back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mcscript::lsp {

struct place {
    uint32_t line = 0;
    uint32_t character = 0; // UTF-16 code units from the start of the line
};

// UTF-16 code units in the UTF-8 bytes of text (a character of four bytes
// counts two; a byte that starts no valid character counts one, as an editor
// shows it as one replacement character).
uint32_t utf16_length(std::string_view text);
// The byte offset in text after `units` UTF-16 code units, never inside a
// character; the end of text when it holds fewer.
uint32_t byte_offset(std::string_view text, uint32_t units);

// The line starts of one text, for conversions in both directions. Lines end
// at '\n'; a '\r' before it belongs to no column a cursor can stand on.
class line_index {
public:
    line_index() = default;
    explicit line_index(std::string_view text);

    place to_place(std::string_view text, uint32_t offset) const;
    // A place past the end of its line stands at the line's end, a line past
    // the last at the end of the text.
    uint32_t to_offset(std::string_view text, place p) const;
    uint32_t lines() const { return uint32_t(starts_.size()); }

private:
    std::string_view line_text(std::string_view text, uint32_t line) const;
    std::vector<uint32_t> starts_ { 0 };
};

} // namespace mcscript::lsp
