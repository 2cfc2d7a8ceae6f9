// The lexer on its own: token numbers and values for the rules' edge cases,
// names classified through the context, and line counting.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/kernel/Parser/context.h"
#include "engine/kernel/Parser/lexer_actions.h"
#include "engine/kernel/Parser/parser_y.hpp"
#include "engine/kernel/Parser/scanner.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/var.h"
#include "tests/support/script_fixture.h"

namespace {

struct token {
    int number;
    parser::token_value value;
    int line; // the scanner's line number once the token is read
};

// Scans text with a context in which "fvar" is a visible float variable.
class Lexer : public ScriptTest {
protected:
    std::vector<token> scan(const std::string& text, int* last_line = nullptr)
    {
        parser::unit* u = new parser::unit("lex.ini");
        std::vector<token> tokens;
        {
            parser::context ctx(u, nullptr, nullptr);
            ctx.start_block(nullptr);
            ctx.declare(new parser::var<float>("fvar", new parser::node_val<float>(1.5f)));
            std::string buffer = text + std::string(2, '\0');
            yyscan_t scanner = nullptr;
            yylex_init(&scanner);
            yyset_extra(&ctx, scanner);
            yy_scan_buffer(buffer.data(), buffer.size(), scanner);
            yyset_lineno(1, scanner);
            for (;;) {
                token t {};
                t.number = yylex(&t.value, scanner);
                t.line = yyget_lineno(scanner);
                if (t.number <= 0)
                    break;
                if (t.number >= TOK_BOOL_VAR && t.number <= TOK_STRING_VAR)
                    t.value.ef.node->release(); // the look-up's reference (fvar is the only variable)
                if (t.number == TOK_LONG_STRING_CONST) {
                    long_strings.push_back(t.value.long_string->c_str());
                    delete t.value.long_string;
                }
                tokens.push_back(t);
            }
            if (last_line)
                *last_line = yyget_lineno(scanner);
            yylex_destroy(scanner);
        }
        u->release();
        return tokens;
    }
    std::vector<int> numbers(const std::string& text)
    {
        std::vector<int> out;
        for (const token& t : scan(text))
            out.push_back(t.number);
        return out;
    }
    std::vector<std::string> long_strings;
};

TEST_F(Lexer, LongestMatchAndRulePriority)
{
    EXPECT_EQ(numbers("b-1"), (std::vector<int> { TOK_IDENTIFIER, TOK_INT_CONST }));
    EXPECT_EQ(numbers("b - 1"), (std::vector<int> { TOK_IDENTIFIER, '-', TOK_INT_CONST }));
    EXPECT_EQ(numbers("iff if_ if"), (std::vector<int> { TOK_IDENTIFIER, TOK_IDENTIFIER, TOK_IF }));
    EXPECT_EQ(numbers("call use"), (std::vector<int> { TOK_CALL, TOK_CALL }));
    EXPECT_EQ(numbers("mtx44 mtx dist2 dist"), (std::vector<int> { TOK_IDENTIFIER, TOK_MTX, TOK_DIST2, TOK_DIST }));
    EXPECT_EQ(numbers(".xy .xyzw"), (std::vector<int> { TOK_X, TOK_IDENTIFIER, TOK_XYZW }));
    EXPECT_EQ(numbers("1.5e3 0X1F 1.2.3"),
        (std::vector<int> {
            TOK_FLOAT_CONST, TOK_IDENTIFIER, TOK_INT_CONST, TOK_IDENTIFIER, TOK_FLOAT_CONST, TOK_FLOAT_CONST }));
    EXPECT_EQ(numbers("elseif modified"), (std::vector<int> { TOK_ELSEIF, TOK_MODIFIED }));
    EXPECT_EQ(numbers("== != <= >= || && ! ?"),
        (std::vector<int> { TOK_EQ, TOK_NE, TOK_LE, TOK_GE, TOK_OR, TOK_AND, '!', '?' }));
}

// Texts where a longer rule's start matches but the rule does not: the part
// past the shorter token is scanned again, with its lines counted once.
TEST_F(Lexer, ARuleThatDoesNotCompleteLeavesTheRestToBeScannedAgain)
{
    struct {
        const char* text;
        std::vector<int> numbers;
        std::vector<int> lines;
    } cases[] = {
        { ".xy", { TOK_X, TOK_IDENTIFIER }, { 1, 1 } },
        { ".xyw", { TOK_X, TOK_IDENTIFIER }, { 1, 1 } },
        { "-.x", { '-', TOK_X }, { 1, 1 } },
        { "-.", { '-', '.' }, { 1, 1 } },
        { "0xg", { TOK_INT_CONST, TOK_IDENTIFIER }, { 1, 1 } },
        { "-0x", { TOK_INT_CONST, TOK_IDENTIFIER }, { 1, 1 } },
        { "'a\nb", { '\'', TOK_IDENTIFIER, TOK_IDENTIFIER }, { 1, 1, 2 } },
        { "\"a\n'b'", { '"', TOK_IDENTIFIER, TOK_STRING_CONST }, { 1, 1, 2 } },
    };
    for (const auto& c : cases) {
        std::vector<token> tokens = scan(c.text);
        std::vector<int> numbers, lines;
        for (const token& t : tokens) {
            numbers.push_back(t.number);
            lines.push_back(t.line);
        }
        EXPECT_EQ(numbers, c.numbers) << c.text;
        EXPECT_EQ(lines, c.lines) << c.text;
    }
    EXPECT_EQ(scan("-0x")[0].value.i, 0);
    EXPECT_EQ(scan("0xg")[0].value.i, 0);
    EXPECT_STREQ(scan("0xg")[1].value.text, "xg");
    EXPECT_EQ(scan("-5.x")[0].value.f, -5.0f);
}

TEST_F(Lexer, NumberValues)
{
    struct {
        const char* text;
        int32_t value;
    } ints[] = { { "0x10", 16 }, { "-0x10", -16 }, { "0xffffffff", -1 }, { "0x1FFFFFFFF", -1 }, { "007", 7 },
        { "-5", -5 }, { "2147483647", INT32_MAX }, { "99999999999", INT32_MAX }, { "-2147483648", INT32_MIN } };
    for (const auto& c : ints) {
        std::vector<token> t = scan(c.text);
        ASSERT_EQ(t.size(), 1u) << c.text;
        EXPECT_EQ(t[0].number, TOK_INT_CONST) << c.text;
        EXPECT_EQ(t[0].value.i, c.value) << c.text;
    }
    struct {
        const char* text;
        float value;
    } floats[] = { { ".5", 0.5f }, { "-.5", -0.5f }, { "5.", 5.0f }, { "-5.", -5.0f }, { "0.1", 0.1f } };
    for (const auto& c : floats) {
        std::vector<token> t = scan(c.text);
        ASSERT_EQ(t.size(), 1u) << c.text;
        EXPECT_EQ(t[0].number, TOK_FLOAT_CONST) << c.text;
        EXPECT_EQ(t[0].value.f, c.value) << c.text;
    }
}

TEST(LexerNumbers, FloatTextsConvertExactlyAsAtofDoes)
{
    uint64_t seed = 88172645463325252ull;
    auto next = [&seed] {
        seed ^= seed << 13;
        seed ^= seed >> 7;
        seed ^= seed << 17;
        return seed;
    };
    for (int i = 0; i < 200000; ++i) {
        std::string text = (next() & 1) ? "-" : "";
        int before = int(next() % 12), after = int(next() % 26);
        for (int d = 0; d < before; ++d)
            text += char('0' + next() % 10);
        text += '.';
        for (int d = 0; d < after; ++d)
            text += char('0' + next() % 10);
        if (after == 0 && before == 0)
            text += '5';
        float expected = float(std::atof(text.c_str()));
        float got = parser::lex::decimal_float(text.c_str());
        ASSERT_EQ(std::memcmp(&expected, &got, sizeof got), 0) << text;
    }
}

TEST_F(Lexer, BoolLiteralsAndNames)
{
    std::vector<token> t = scan("TRUE true False FALSE fvar fvarx");
    ASSERT_EQ(t.size(), 6u);
    EXPECT_EQ(t[0].number, TOK_BOOL_CONST);
    EXPECT_TRUE(t[0].value.b);
    EXPECT_TRUE(t[1].value.b);
    EXPECT_EQ(t[2].number, TOK_IDENTIFIER);
    EXPECT_FALSE(t[3].value.b);
    EXPECT_EQ(t[4].number, TOK_FLOAT_VAR) << "a visible float variable";
    EXPECT_EQ(t[5].number, TOK_IDENTIFIER);
}

TEST_F(Lexer, StringLiterals)
{
    std::string s62(62, 'a'), s63(63, 'b');
    std::vector<token> t = scan("\"" + s62 + "\" '" + s63 + "' \"it's\" 'say \"hi\"' \"\"");
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(t[0].number, TOK_STRING_CONST);
    EXPECT_EQ(std::string(t[0].value.text), s62);
    EXPECT_EQ(t[1].number, TOK_LONG_STRING_CONST);
    ASSERT_EQ(long_strings.size(), 1u);
    EXPECT_EQ(long_strings[0], s63);
    EXPECT_STREQ(t[2].value.text, "it's");
    EXPECT_STREQ(t[3].value.text, "say \"hi\"");
    EXPECT_STREQ(t[4].value.text, "");
    EXPECT_EQ(numbers("\"open"), (std::vector<int> { '"', TOK_IDENTIFIER })) << "an unterminated quote is a character";
}

TEST_F(Lexer, CommentsAndTheEndOfInput)
{
    EXPECT_EQ(numbers("a /* b */ c"), (std::vector<int> { TOK_IDENTIFIER, TOK_IDENTIFIER }));
    EXPECT_EQ(numbers("a /*/ b */ c"), (std::vector<int> { TOK_IDENTIFIER, TOK_IDENTIFIER })) << "/*/ does not close";
    EXPECT_EQ(numbers("a /* b"), (std::vector<int> { TOK_IDENTIFIER }));
    EXPECT_EQ(numbers("a // b"), (std::vector<int> { TOK_IDENTIFIER }));
    EXPECT_EQ(numbers(std::string("a \x80 b")), (std::vector<int> { TOK_IDENTIFIER })) << "a high byte ends the input";
    EXPECT_EQ(numbers(std::string("a \0 b", 5)), (std::vector<int> { TOK_IDENTIFIER })) << "a zero byte ends it";
    EXPECT_TRUE(numbers("\xEF\xBB\xBF"
                        "a")
                    .empty())
        << "a byte-order mark reads as an empty script";
    EXPECT_EQ(numbers("\f \v"), (std::vector<int> { '\f', '\v' }));
}

// The line a record names is the line of the end of the last token read,
// counting line feeds only, wherever they stand: in whitespace runs, strings
// and block comments. A byte above 127 ends the input before the lines after it.
TEST_F(Lexer, EachLineFeedCountsOnce)
{
    struct row {
        const char* text;
        std::vector<int> lines; // after each token
        int last; // at the end of the input
    };
    const std::vector<row> rows = {
        { "a\nb", { 1, 2 }, 2 },
        { "a\r\nb\rc", { 1, 2, 2 }, 2 }, // a carriage return alone ends no line
        { "a \n\n \t\n\r\n b", { 1, 5 }, 5 }, // blank lines in one run of whitespace
        { "'x\ny' \"\n\n\" b", { 2, 4, 4 }, 4 }, // a string counts its own lines
        { "a /* \n\n */ b // c\nd", { 1, 3, 4 }, 4 },
        { "a\n/* open\n\n", { 1 }, 4 }, // a comment running to the end of the text
        { "\n\n\n", {}, 4 },
        { "a\n\xC3 b\n", { 1 }, 2 },
        { "a\nb\n", { 1, 2 }, 3 },
    };
    for (const row& r : rows) {
        int last = 0;
        std::vector<int> lines;
        for (const token& t : scan(r.text, &last))
            lines.push_back(t.line);
        EXPECT_EQ(lines, r.lines) << r.text;
        EXPECT_EQ(last, r.last) << r.text;
    }
}

} // namespace
