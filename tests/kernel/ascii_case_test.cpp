// ASCII case: only A-Z and a-z fold, whatever the locale; lengths must match;
// the order is that of the lower-case texts with bytes compared unsigned.
#include "engine/kernel/ascii_case.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string_view>

namespace {

struct equal_case {
    std::string_view a, b;
    bool equal;
};

TEST(AsciiCase, EqualIgnoringCaseFoldsOnlyAsciiLetters)
{
    const equal_case cases[] = {
        { "game.ini", "GAME.INI", true },
        { "Content-Length", "content-length", true },
        { "", "", true },
        { "abc", "abcd", false }, // a prefix is not the same name
        { "abcd", "abc", false },
        { "a", "", false },
        { "@[`{", "`{@[", false }, // the neighbours of the letter ranges do not fold
        { "\xC4", "\xE4", false }, // Latin-1 letters stay as they are
        { "\xC4x", "\xC4X", true },
        { std::string_view("a\0b", 3), std::string_view("A\0B", 3), true },
    };
    std::setlocale(LC_ALL, ""); // whatever the environment says, ASCII rules hold
    for (const equal_case& c : cases) {
        EXPECT_EQ(ascii::equal_ignoring_case(c.a, c.b), c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(ascii::equal_ignoring_case(c.b, c.a), c.equal) << c.b << " / " << c.a;
    }
    std::setlocale(LC_ALL, "C");
}

struct order_case {
    std::string_view a, b;
    int sign;
};

TEST(AsciiCase, CompareOrdersAsTheLowerCaseTexts)
{
    const order_case cases[] = {
        { "Texture_MB", "texture_mb", 0 },
        { "abc", "ABD", -1 },
        { "ab", "AbC", -1 }, // a prefix comes first
        { "_x", "ax", -1 }, // '_' lies between 'Z' and 'a': below every lower-case letter
        { "Zeta", "_", 1 },
        { "z", "\xE4", -1 }, // bytes above 127 compare unsigned, after ASCII
        { "", "", 0 },
    };
    for (const order_case& c : cases) {
        int forward = ascii::compare_ignoring_case(c.a, c.b);
        int backward = ascii::compare_ignoring_case(c.b, c.a);
        EXPECT_EQ((forward > 0) - (forward < 0), c.sign) << c.a << " / " << c.b;
        EXPECT_EQ((backward > 0) - (backward < 0), -c.sign) << c.b << " / " << c.a;
    }
}

TEST(AsciiCase, LowerAndUpperChangeLettersOnly)
{
    std::string_view from = "AZaz09@[`{\x80\xFF";
    std::string_view lowered = "azaz09@[`{\x80\xFF";
    std::string_view raised = "AZAZ09@[`{\x80\xFF";
    for (size_t i = 0; i < from.size(); ++i) {
        EXPECT_EQ(ascii::lower(from[i]), lowered[i]) << i;
        EXPECT_EQ(ascii::upper(from[i]), raised[i]) << i;
    }
}

} // namespace
