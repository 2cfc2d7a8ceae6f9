// Byte offsets and UTF-16 columns: counting, the way back, and the places an
// editor may send that fall between characters or past a line's end.
#include <gtest/gtest.h>

#include "tools/mcscript/lsp_positions.h"

namespace {

using mcscript::lsp::byte_offset;
using mcscript::lsp::line_index;
using mcscript::lsp::place;
using mcscript::lsp::utf16_length;

struct length_case {
    const char* what;
    std::string text;
    uint32_t units;
};

TEST(Positions, Utf16LengthOfEachKindOfCharacter)
{
    const length_case cases[] = {
        { "ASCII", "abc", 3 },
        { "two bytes", "\xC3\xA9", 1 },
        { "three bytes", "\xE2\x82\xAC", 1 },
        { "four bytes: a surrogate pair", "\xF0\x9F\x98\x80", 2 },
        { "a stray continuation byte", "\x80", 1 },
        { "a lead byte cut short", "\xE2\x82", 2 },
        { "an invalid lead byte", "\xFF", 1 },
        { "mixed", "a\xC3\xA9\xF0\x9F\x98\x80z", 5 },
    };
    for (const length_case& c : cases)
        EXPECT_EQ(utf16_length(c.text), c.units) << c.what;
}

TEST(Positions, ByteOffsetNeverSplitsACharacter)
{
    std::string text = "a\xF0\x9F\x98\x80"
                       "b"; // a, U+1F600 (two units), b
    EXPECT_EQ(byte_offset(text, 0), 0u);
    EXPECT_EQ(byte_offset(text, 1), 1u);
    EXPECT_EQ(byte_offset(text, 2), 1u) << "inside the surrogate pair: before the character";
    EXPECT_EQ(byte_offset(text, 3), 5u);
    EXPECT_EQ(byte_offset(text, 4), 6u);
    EXPECT_EQ(byte_offset(text, 99), 6u) << "past the end: the end";
}

TEST(Positions, PlacesAndOffsetsRoundTripOnEveryCharacter)
{
    std::string text = "int a = 1;\r\nF(\"\xC3\xA9\xF0\x9F\x98\x80\", a);\n\n\xE2\x82\xAC";
    line_index lines(text);
    EXPECT_EQ(lines.lines(), 4u);
    const std::pair<uint32_t, place> cases[] = {
        { 0, { 0, 0 } }, { 10, { 0, 10 } }, // the '\r'
        { 12, { 1, 0 } }, { 15, { 1, 3 } }, // the e-acute
        { 17, { 1, 4 } }, // the emoji
        { 21, { 1, 6 } }, // the closing quote
        { 27, { 1, 12 } }, // the line feed
        { 28, { 2, 0 } }, // the empty line
        { 29, { 3, 0 } }, { 32, { 3, 1 } }, // the end of the text
    };
    for (const auto& [offset, p] : cases) {
        place found = lines.to_place(text, offset);
        EXPECT_EQ(found.line, p.line) << offset;
        EXPECT_EQ(found.character, p.character) << offset;
        EXPECT_EQ(lines.to_offset(text, p), offset) << offset;
    }
}

TEST(Positions, PlacesBeyondTheTextStandAtTheNearestEnd)
{
    std::string text = "ab\r\ncd";
    line_index lines(text);
    EXPECT_EQ(lines.to_offset(text, { 0, 9 }), 2u) << "past the line's end, before its CR LF";
    EXPECT_EQ(lines.to_offset(text, { 7, 0 }), 6u) << "past the last line: the end";
    EXPECT_EQ(lines.to_place(text, 3).character, 2u) << "between CR and LF: the line's end";
    EXPECT_EQ(lines.to_place(text, 99).line, 1u);
}

} // namespace
