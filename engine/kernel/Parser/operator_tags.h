// The operator tag classes: empty types that select the operation of an
// operator node and carry its operator number (bits 23-16 of the class tag).
#pragma once

#include <cstdint>

namespace parser {

template <uint8_t Number> struct operator_tag {
    static constexpr uint8_t number = Number;
};

// clang-format off
struct OP_neg : operator_tag<0x00> {};
struct OP_not : operator_tag<0x01> {};
struct OP_ceil : operator_tag<0x02> {};
struct OP_floor : operator_tag<0x03> {};
struct OP_float : operator_tag<0x04> {};
struct OP_clamp : operator_tag<0x05> {};
struct OP_abs : operator_tag<0x06> {};
struct OP_sin : operator_tag<0x07> {};
struct OP_cos : operator_tag<0x08> {};
struct OP_tan : operator_tag<0x09> {};
struct OP_log : operator_tag<0x0a> {};
struct OP_ln : operator_tag<0x0b> {};
struct OP_exp : operator_tag<0x0c> {};
struct OP_scaling : operator_tag<0x0d> {};
struct OP_translation : operator_tag<0x0e> {};
struct OP_rotation : operator_tag<0x0f> {};
struct OP_transpose : operator_tag<0x10> {};
struct OP_invert : operator_tag<0x11> {};
struct OP_length : operator_tag<0x12> {};
struct OP_normalize : operator_tag<0x13> {};
struct OP_add : operator_tag<0x14> {};
struct OP_sub : operator_tag<0x15> {};
struct OP_mul : operator_tag<0x16> {};
struct OP_div : operator_tag<0x17> {};
struct OP_mod : operator_tag<0x18> {};
struct OP_or : operator_tag<0x19> {};
struct OP_and : operator_tag<0x1a> {};
struct OP_xor : operator_tag<0x1b> {};
struct OP_pow : operator_tag<0x1c> {};
struct OP_min : operator_tag<0x1d> {};
struct OP_max : operator_tag<0x1e> {};
struct OP_dot : operator_tag<0x1f> {};
struct OP_cross : operator_tag<0x20> {};
struct OP_orientation : operator_tag<0x21> {};
struct OP_mulp : operator_tag<0x22> {};
struct OP_mulv : operator_tag<0x23> {};
struct OP_substr : operator_tag<0x23> {}; // shares the number; the operand types tell them apart
struct OP_equal : operator_tag<0x24> {};
struct OP_notequal : operator_tag<0x25> {};
struct OP_less : operator_tag<0x26> {};
struct OP_greater : operator_tag<0x27> {};
struct OP_lequal : operator_tag<0x28> {};
struct OP_gequal : operator_tag<0x29> {};
struct OP_dist : operator_tag<0x2a> {};
struct OP_dist2 : operator_tag<0x2b> {};
struct OP_lowercase : operator_tag<0x2d> {};
struct OP_uppercase : operator_tag<0x2e> {};
struct OP_int : operator_tag<0x2f> {};
struct OP_replaceX : operator_tag<0x30> {};
struct OP_replaceY : operator_tag<0x31> {};
struct OP_replaceZ : operator_tag<0x32> {};
struct OP_replaceW : operator_tag<0x33> {};
struct OP_empty : operator_tag<0x34> {};
// clang-format on

} // namespace parser
