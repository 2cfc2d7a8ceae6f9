// The buffer a script's text is read into, with room for the two zero bytes
// the scanner needs after it. A text of a huge page or more is mapped on its
// own, aligned for huge pages: a 6 MB script then faults in three huge pages
// instead of 1,500 small ones, as the node blocks it is parsed into do. The
// game's settings file and other small texts come from the heap.
#pragma once

#include <cstddef>

namespace parser {

class script_text {
public:
    script_text() = default;
    // capacity bytes; bytes() is null when there is no memory for them.
    explicit script_text(size_t capacity);
    ~script_text();
    script_text(script_text&& other) noexcept;
    script_text& operator=(script_text&& other) noexcept;
    script_text(const script_text&) = delete;
    script_text& operator=(const script_text&) = delete;

    char* bytes() const { return bytes_; }
    bool mapped() const { return mapped_size_ != 0; }

private:
    void release();

    char* bytes_ = nullptr;
    size_t mapped_size_ = 0; // 0 for heap memory
};

} // namespace parser
