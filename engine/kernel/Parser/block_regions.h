// Where the slot pools' blocks come from: 32 MB regions mapped from the system
// and carved into blocks, so that no block is a mapping of its own and a large
// parse is backed by huge pages. The node pool and both list pools carve from
// one set of regions: a parse then ends in one partly used huge page, not one
// per pool. A region goes back to the system when its last block does.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/critical_section.h"

namespace parser {

class block_regions {
public:
    // 32 MB: 255 node blocks or 4088 list blocks; small enough that the last,
    // partly used region of a large parse costs only address space until its
    // pages are touched.
    static constexpr size_t region_size = size_t(32) << 20;
    // The region header takes a cache line, so the first block starts 64-byte aligned.
    static constexpr size_t header_size = 64;
    // Block sizes one set of regions serves (node blocks, list blocks, and room
    // for a test's own).
    static constexpr uint32_t max_block_sizes = 4;

    constexpr block_regions() = default;
    block_regions(const block_regions&) = delete;
    block_regions& operator=(const block_regions&) = delete;

    static constexpr uint32_t blocks_per_region(size_t block_size)
    {
        return uint32_t((region_size - header_size) / block_size);
    }

    // A block of `size` bytes (a multiple of 16, at most a region less its
    // header); null when the system has no memory left.
    void* take(size_t size);
    // Takes a block from take() back; a region left without blocks in use is unmapped.
    void give_back(void* block, size_t size);
    uint32_t region_count();

private:
    struct free_block {
        free_block* next;
    };
    struct region {
        region* next; // the older region
        free_block* free[max_block_sizes]; // blocks given back, by size, the most recent first
        uint32_t carved; // bytes handed out from the untouched end so far, the header included
        uint32_t live; // blocks in use
    };
    static_assert(sizeof(region) <= header_size);

    uint32_t size_class(size_t size);
    region* region_for(uint32_t size_class, size_t size);
    region* region_of(const void* block) const;
    region* add_region();
    void drop(region* r);

    platform::spin_lock lock;
    region* newest = nullptr;
    uint32_t sizes[max_block_sizes] = {}; // the block size of each free list, 0 while unused
};

// The regions every slot pool carves its blocks from. Constant-initialised, so
// pools may take blocks before any static initialiser has run.
extern block_regions pool_regions;

} // namespace parser
