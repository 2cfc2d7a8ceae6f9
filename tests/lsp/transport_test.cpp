// The framing: header blocks as clients write them, and every way a header
// block or a body can be wrong, each followed by a good message that must
// still be read.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tools/mcscript/lsp_transport.h"

namespace {

using mcscript::lsp::read_result;
using mcscript::lsp::transport;

// The results and bodies of reading input to its end.
std::vector<std::pair<read_result, std::string>> read_all(const std::string& input)
{
    std::FILE* in = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), in);
    std::rewind(in);
    transport t(in, stdout);
    std::vector<std::pair<read_result, std::string>> results;
    std::string body;
    for (read_result r; (r = t.read(body)) != read_result::end;)
        results.emplace_back(r, r == read_result::message ? body : "");
    std::fclose(in);
    return results;
}

const std::string good = "Content-Length: 4\r\n\r\ngood";

struct framing_case {
    const char* what;
    std::string input;
    std::vector<read_result> results; // before the good message that follows
};

TEST(Transport, EachFaultIsOneMalformedMessageAndTheNextIsRead)
{
    using R = read_result;
    const framing_case cases[] = {
        { "a good message", "Content-Length: 2\r\n\r\n{}", { R::message } },
        { "a content type and the name in lower case",
            "content-length: 2\r\nContent-Type: application/vscode-jsonrpc; charset=utf-8\r\n\r\n{}", { R::message } },
        { "bare line feeds", "Content-Length: 2\n\n{}", { R::message } },
        { "no length", "Content-Type: x\r\n\r\n{\"id\":1}", { R::malformed } },
        { "a length that is no number", "Content-Length: 1x\r\n\r\n{}", { R::malformed } },
        { "a negative length", "Content-Length: -2\r\n\r\n{}", { R::malformed } },
        { "two lengths", "Content-Length: 2\r\nContent-Length: 2\r\n\r\n{}", { R::malformed } },
        { "a line without a colon", "Content-Length: 2\r\nnonsense\r\n\r\n{}", { R::malformed } },
        { "a header line too long", "X: " + std::string(5000, 'x') + "\r\nContent-Length: 2\r\n\r\n{}",
            { R::malformed } },
        { "a length that overflows", "Content-Length: 99999999999999999999999\r\n\r\n{}", { R::malformed } },
    };
    for (const framing_case& c : cases) {
        auto results = read_all(c.input + good);
        ASSERT_EQ(results.size(), c.results.size() + 1) << c.what;
        for (size_t i = 0; i < c.results.size(); ++i)
            EXPECT_EQ(results[i].first, c.results[i]) << c.what;
        EXPECT_EQ(results.back().first, read_result::message) << c.what;
        EXPECT_EQ(results.back().second, "good") << c.what;
    }
}

TEST(Transport, TheInputEndingInsideAMessageEndsTheReading)
{
    EXPECT_TRUE(read_all("Content-Length: 10\r\n\r\nshort").empty());
    EXPECT_TRUE(read_all("Content-Length: 10\r\n").empty());
    EXPECT_TRUE(read_all("").empty());
    EXPECT_TRUE(read_all("Content-Length: 67108865\r\n\r\n{}").empty()) << "past the limit: skipped to the end";
}

TEST(Transport, WrittenMessagesCarryTheirLengthInBytes)
{
    std::FILE* out = std::tmpfile();
    transport t(stdin, out);
    t.write("{\"x\":\"\xC3\xA9\"}");
    std::rewind(out);
    char buffer[64] = {};
    size_t n = std::fread(buffer, 1, sizeof buffer, out);
    std::fclose(out);
    EXPECT_EQ(std::string(buffer, n), "Content-Length: 10\r\n\r\n{\"x\":\"\xC3\xA9\"}");
}

} // namespace
