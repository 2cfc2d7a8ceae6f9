// The archive a tree writes itself to. The code that persists trees supplies
// it; nodes only call these operations, in the order their serialize defines.
#pragma once

#include <cstdint>

#include "engine/kernel/math/mtx44.h"
#include "engine/kernel/math/vec3.h"
#include "engine/kernel/math/vec4.h"
#include "engine/kernel/string_base.h"

namespace parser {

// Field layout descriptors: zero-terminated lists of 64-bit field codes. A base
// class or string entry is followed by the address of its layout.
namespace field {
constexpr uint64_t vtable = 0x01400000;
constexpr uint64_t object_ref = 0x01300000;
constexpr uint64_t int32 = 0x00600000;
constexpr uint64_t uint32 = 0x00700000;
constexpr uint64_t byte = 0x00300000;
constexpr uint64_t boolean = 0x00100000;
constexpr uint64_t float32 = 0x00a00000;
constexpr uint64_t vec3 = 0x00d00000;
constexpr uint64_t vec4 = 0x00e00000;
constexpr uint64_t mtx44 = 0x01000000;
constexpr uint64_t string = 0x30000000; // followed by the string layout's address
constexpr uint64_t base = 0x50000000; // followed by the base layout's address
constexpr uint64_t ref_array3 = 0x11300003;
constexpr uint64_t ref_array4 = 0x11300004;
constexpr uint64_t text_tag = 0xa0000000; // tag of write_text
} // namespace field

// Handle of an open class block; end it with end_class_block.
struct SClassBlockResult {
    uint32_t id = 0;
};

// Whether begin_object's object still has to be written (false when seen).
struct SObjectBlock {
    bool write = false;
};

class archive {
public:
    virtual ~archive() = default;
    virtual SClassBlockResult begin_class_block(uint32_t tag, const uint64_t* layout, bool root_flag, int version) = 0;
    virtual void end_class_block(SClassBlockResult block) = 0;
    virtual void write_ref(const void* object) = 0;
    virtual void write_int(int32_t value) = 0;
    virtual void write_uint(uint32_t value) = 0;
    virtual void write_byte(uint8_t value) = 0;
    virtual void write_bool(bool value) = 0;
    virtual void write_float(float value) = 0;
    virtual void write_vec3(const vec3& value) = 0;
    virtual void write_vec4(const vec4& value) = 0;
    virtual void write_mtx44(const mtx44& value) = 0;
    virtual void write_string(const string_base& value) = 0;
    virtual void write_text(const char* text) = 0;
    virtual SObjectBlock begin_object(const void* object) = 0;
    virtual void end_object(const void* object) = 0;
};

} // namespace parser
