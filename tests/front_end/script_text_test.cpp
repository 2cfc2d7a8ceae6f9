// The buffers script texts are read into: heap memory below a huge page, a
// mapped region from one on, and either way a whole large file parsed from it.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "engine/kernel/Parser/script_text.h"
#include "platform/block_memory.h"
#include "tests/support/script_fixture.h"

namespace {

constexpr size_t huge = platform::region_alignment;

TEST(ScriptText, LargeTextsAreMappedAndEveryByteIsUsable)
{
    for (size_t capacity : { size_t(2), size_t(4096), huge - 1, huge, huge + 1, 3 * huge + 5 }) {
        SCOPED_TRACE(capacity);
        parser::script_text text(capacity);
        ASSERT_NE(text.bytes(), nullptr);
        EXPECT_EQ(text.mapped(), capacity >= huge);
        text.bytes()[0] = 'a';
        text.bytes()[capacity - 1] = 'z';
        parser::script_text moved(std::move(text));
        EXPECT_EQ(text.bytes(), nullptr);
        EXPECT_EQ(moved.bytes()[capacity - 1], 'z');
        parser::script_text assigned(16);
        assigned = std::move(moved); // frees the small buffer, takes the large one
        EXPECT_EQ(assigned.bytes()[0], 'a');
        EXPECT_EQ(assigned.mapped(), capacity >= huge);
    }
}

using LargeScripts = ScriptTest;

TEST_F(LargeScripts, AreReadWholeFromAMappedText)
{
    std::string script = "sub main() {\n";
    std::string expected;
    for (int i = 0; script.size() < 3 * huge; ++i) {
        script += "  Line(" + std::to_string(i) + ", 'padding to fill the text with more bytes');\n";
        expected += "Line(" + std::to_string(i) + ", \"padding to fill the text with more bytes\")\n";
    }
    write("large.ini", script + "}\n");
    EXPECT_EQ(walk("large.ini"), expected) << "the last statement stands beyond the last whole huge page";
}

} // namespace
