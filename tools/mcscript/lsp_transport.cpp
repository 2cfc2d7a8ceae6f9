// Reading and writing framed messages: the header block is read line by line,
// the body by its length.
#include "tools/mcscript/lsp_transport.h"

#include <cctype>
#include <cstring>

#include "engine/kernel/ascii_case.h"

namespace mcscript::lsp {
namespace {

// The value of "Content-Length: N" in decimal digits only; false otherwise.
bool parse_length(const std::string& value, uint64_t& length)
{
    size_t i = value.find_first_not_of(" \t");
    if (i == std::string::npos || !std::isdigit(uint8_t(value[i])))
        return false;
    length = 0;
    for (; i < value.size() && std::isdigit(uint8_t(value[i])); ++i) {
        if (length > (UINT64_MAX - 9) / 10)
            return false;
        length = length * 10 + uint64_t(value[i] - '0');
    }
    return value.find_first_not_of(" \t", i) == std::string::npos;
}

} // namespace

transport::transport(std::FILE* in, std::FILE* out)
    : in_(in)
    , out_(out)
{
}

// One header line without its CR LF (a bare LF is taken too); false at the end.
bool transport::read_line(std::string& line, bool& too_long)
{
    line.clear();
    int c;
    while ((c = std::fgetc(in_)) != EOF) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return true;
        }
        if (line.size() < max_header_line)
            line += char(c);
        else
            too_long = true;
    }
    return false;
}

bool transport::skip(uint64_t bytes)
{
    char buffer[4096];
    while (bytes > 0) {
        size_t n = std::fread(buffer, 1, bytes < sizeof buffer ? size_t(bytes) : sizeof buffer, in_);
        if (n == 0)
            return false;
        bytes -= n;
    }
    return true;
}

// Skips to the next "Content-Length:" and leaves it unread but for its name.
bool transport::find_header()
{
    static const char name[] = "Content-Length:";
    size_t matched = 0;
    int c;
    while (matched < sizeof name - 1 && (c = std::fgetc(in_)) != EOF)
        matched = c == name[matched] ? matched + 1 : c == name[0] ? 1 : 0;
    return matched == sizeof name - 1;
}

read_result transport::read(std::string& body)
{
    std::string line;
    bool too_long = false, has_length = false, valid = true, any = false;
    uint64_t length = 0;
    bool resumed = lost_;
    if (lost_ && !find_header())
        return read_result::end;
    lost_ = false;
    for (;;) {
        if (!read_line(line, too_long))
            return read_result::end;
        if (resumed) {
            line = "Content-Length:" + line;
            resumed = false;
        }
        if (line.empty() && !any)
            continue; // blank lines between messages
        if (line.empty())
            break;
        any = true;
        size_t colon = line.find(':');
        if (colon == std::string::npos) {
            valid = false;
            continue;
        }
        if (ascii::equal_ignoring_case(line.substr(0, colon), "Content-Length"))
            has_length = parse_length(line.substr(colon + 1), length) && !has_length;
    }
    if (!has_length || too_long) {
        lost_ = true;
        return read_result::malformed;
    }
    if (length > max_body)
        return skip(length) ? read_result::malformed : read_result::end;
    body.resize(size_t(length));
    if (length > 0 && std::fread(body.data(), 1, body.size(), in_) != body.size())
        return read_result::end;
    return valid ? read_result::message : read_result::malformed;
}

void transport::write(const std::string& body)
{
    std::fprintf(out_, "Content-Length: %zu\r\n\r\n", body.size());
    std::fwrite(body.data(), 1, body.size(), out_);
    std::fflush(out_);
}

} // namespace mcscript::lsp
