// Where a token or a grammar symbol lies in the text being parsed, as byte
// offsets: the lexer scans the buffer in place, so an offset costs nothing,
// and lines and columns are worked out only when a diagnostic is made.
#pragma once

#include <cstdint>

namespace parser {

struct span {
    uint32_t begin;
    uint32_t end; // one past the last byte
};

} // namespace parser
