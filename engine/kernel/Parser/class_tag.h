// The 32-bit class tag that serialize writes for every concrete expression
// class: bits 31-28 kind, 27-24 result type, 23-16 operator number, 15-12,
// 11-8 and 7-4 the operand types, 3-0 the source type of selection/extraction.
#pragma once

#include <cstdint>

namespace parser {

namespace node_kind {
constexpr uint8_t value = 0;
constexpr uint8_t variable = 1;
constexpr uint8_t op1 = 2;
constexpr uint8_t op2 = 3;
constexpr uint8_t op3 = 4;
constexpr uint8_t vec3 = 6;
constexpr uint8_t vec4 = 7;
constexpr uint8_t extract = 8;
constexpr uint8_t select = 9;
} // namespace node_kind

constexpr uint32_t make_class_tag(uint8_t kind, uint8_t result, uint8_t op = 0, uint8_t first = 0, uint8_t second = 0,
    uint8_t third = 0, uint8_t low = 0)
{
    return uint32_t(kind & 0xf) << 28 | uint32_t(result & 0xf) << 24 | uint32_t(op) << 16 | uint32_t(first & 0xf) << 12
        | uint32_t(second & 0xf) << 8 | uint32_t(third & 0xf) << 4 | uint32_t(low & 0xf);
}

// The fields of a tag, for tests and readers of archives.
constexpr uint8_t tag_kind(uint32_t tag) { return uint8_t(tag >> 28); }
constexpr uint8_t tag_result(uint32_t tag) { return uint8_t(tag >> 24 & 0xf); }
constexpr uint8_t tag_operator(uint32_t tag) { return uint8_t(tag >> 16 & 0xff); }
constexpr uint8_t tag_operand(uint32_t tag, int i) { return uint8_t(tag >> (12 - 4 * i) & 0xf); }

} // namespace parser
