// Script text buffers: heap memory for small texts, a region of their own on
// huge pages for large ones.
#include "engine/kernel/Parser/script_text.h"

#include <cstdlib>
#include <utility>

#include "platform/block_memory.h"

namespace parser {

namespace {

// Below one huge page a mapping gains nothing and costs a system call.
constexpr size_t mapped_from = platform::region_alignment;
// Mappings are made in whole 4 KiB pages. Only the text's whole huge pages
// become huge pages: the partly used last one stays in small pages, so the
// text costs no more memory than on the heap.
constexpr size_t page = 4096;

} // namespace

script_text::script_text(size_t capacity)
{
    if (capacity >= mapped_from) {
        size_t size = (capacity + page - 1) & ~(page - 1);
        bytes_ = static_cast<char*>(platform::map_region(size, 0));
        mapped_size_ = bytes_ ? size : 0;
        return;
    }
    bytes_ = static_cast<char*>(std::malloc(capacity));
}

script_text::~script_text() { release(); }

script_text::script_text(script_text&& other) noexcept
    : bytes_(std::exchange(other.bytes_, nullptr))
    , mapped_size_(std::exchange(other.mapped_size_, 0))
{
}

script_text& script_text::operator=(script_text&& other) noexcept
{
    if (this != &other) {
        release();
        bytes_ = std::exchange(other.bytes_, nullptr);
        mapped_size_ = std::exchange(other.mapped_size_, 0);
    }
    return *this;
}

void script_text::release()
{
    if (mapped_size_)
        platform::unmap_region(bytes_, mapped_size_);
    else
        std::free(bytes_);
    bytes_ = nullptr;
    mapped_size_ = 0;
}

} // namespace parser
