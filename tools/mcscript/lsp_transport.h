// The language server's framing: each message is a block of header lines
// ("Content-Length: N", CR LF after each, an empty line last) and N bytes of
// JSON. Reads and writes go straight to the streams, in binary.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace mcscript::lsp {

// A message body larger than this (64 MiB, far beyond any script an editor
// sends) is skipped unread and answered as malformed, so that a wrong length
// cannot make the server hold gigabytes.
constexpr uint64_t max_body = 64u << 20;
// Header lines longer than this are malformed: real ones are a few dozen bytes.
constexpr size_t max_header_line = 4096;

enum class read_result { message, malformed, end };

class transport {
public:
    transport(std::FILE* in, std::FILE* out);

    // The next message's body; malformed when the header block has no valid
    // length (the next read then looks for the next "Content-Length:" in the
    // bytes that follow) or the body is too large; end at the end of the
    // input, also inside a message.
    read_result read(std::string& body);
    void write(const std::string& body);

private:
    bool read_line(std::string& line, bool& too_long);
    bool skip(uint64_t bytes);
    bool find_header();

    std::FILE* in_;
    std::FILE* out_;
    bool lost_ = false; // a block without a length: where its body ends is unknown
};

} // namespace mcscript::lsp
