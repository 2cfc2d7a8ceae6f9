// text_archive: an archive that writes a serialized tree as readable text, one
// line per operation, indented two spaces per open class block. Objects are
// numbered #1, #2, ... in the order their pointers first appear.
#pragma once

#include <cstdint>
#include <cstdio>
#include <unordered_map>

#include "engine/kernel/Parser/archive.h"

namespace parser {

class text_archive : public archive {
public:
    explicit text_archive(string_base& out)
        : text_(&out)
    {
    }
    explicit text_archive(std::FILE* out)
        : file_(out)
    {
    }

    // "block 0xtttttttt root=0|1"; the layout is not printed. The handle closes
    // the block (and any left open inside it) with an "end" line at its indentation.
    SClassBlockResult begin_class_block(uint32_t tag, const uint64_t* layout, bool root_flag, int version) override;
    void end_class_block(SClassBlockResult block) override;
    // "ref null" or "ref #N".
    void write_ref(const void* object) override;
    void write_int(int32_t value) override;
    void write_uint(uint32_t value) override;
    void write_byte(uint8_t value) override;
    void write_bool(bool value) override;
    // Floats as %.9g of the value widened to double; components joined by ", ".
    void write_float(float value) override;
    void write_vec3(const vec3& value) override;
    void write_vec4(const vec4& value) override;
    void write_mtx44(const mtx44& value) override;
    // Quoted, with \" \\ \n \r \t and \xHH for other control bytes, so that a
    // value always stays on its line.
    void write_string(const string_base& value) override;
    void write_text(const char* text) override; // "text null" for a null text
    // "object #N" the first time (the object is to be written), "object #N seen"
    // afterwards; "object null" for null, which is never to be written.
    SObjectBlock begin_object(const void* object) override;
    void end_object(const void* object) override;

private:
    struct object_entry {
        uint32_t number;
        bool begun;
    };

    object_entry& entry_of(const void* object);
    void start_line(const char* word);
    void append(const char* text);
    void append_number(const char* format, ...);
    void append_floats(const float* values, int count);
    void append_quoted(const char* text, uint32_t length);
    void append_object(const char* word, const void* object, bool seen);
    void end_line();

    string_base* text_ = nullptr;
    std::FILE* file_ = nullptr;
    string_base line_;
    uint32_t depth_ = 0;
    std::unordered_map<const void*, object_entry> objects_;
};

} // namespace parser
