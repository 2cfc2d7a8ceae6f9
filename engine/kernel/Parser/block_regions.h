// Where the slot pools' blocks come from: 32 MB regions mapped from the system
// and carved into blocks of one size, so that no block is a mapping of its own
// and a large parse is backed by huge pages. A region goes back to the system
// when its last block does. Guarded by the lock of the pool that owns it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/block_memory.h"

namespace parser {

template <size_t BlockSize> class block_regions {
public:
    // 32 MB: 255 node blocks or 4088 list blocks, with less than 0.4 % left over
    // at the end; small enough that the last, partly used region of a large
    // parse wastes little, and only address space until its pages are touched.
    static constexpr size_t region_size = size_t(32) << 20;

    // A block of BlockSize bytes; null when the system has no memory left.
    void* take()
    {
        if (!current || !has_room(current))
            current = region_with_room();
        if (!current)
            return nullptr;
        region* r = current;
        ++r->live;
        if (free_block* b = r->free) {
            r->free = b->next;
            return b;
        }
        return block_at(r, r->carved++);
    }

    // Takes a block from take() back; a region left without blocks in use is unmapped.
    void give_back(void* block)
    {
        region* r = region_of(block);
        auto* b = static_cast<free_block*>(block);
        b->next = r->free;
        r->free = b;
        if (--r->live == 0)
            drop(r);
    }

    uint32_t region_count() const
    {
        uint32_t n = 0;
        for (const region* r = newest; r; r = r->next)
            ++n;
        return n;
    }

private:
    struct free_block {
        free_block* next;
    };
    struct region {
        region* next; // the older region
        free_block* free; // blocks given back, the most recent first
        uint32_t carved; // blocks handed out from the untouched end so far
        uint32_t live; // blocks in use
    };
    // The header takes a cache line, so blocks start 64-byte aligned.
    static constexpr size_t header_size = 64;
    static_assert(sizeof(region) <= header_size);

public:
    static constexpr uint32_t blocks_per_region = uint32_t((region_size - header_size) / BlockSize);
    static_assert(blocks_per_region > 0);

private:
    static void* block_at(region* r, uint32_t i)
    {
        return reinterpret_cast<unsigned char*>(r) + header_size + size_t(i) * BlockSize;
    }

    static bool has_room(const region* r) { return r->free || r->carved < blocks_per_region; }

    static bool holds(const region* r, const void* block)
    {
        auto* start = reinterpret_cast<const unsigned char*>(r);
        auto* at = static_cast<const unsigned char*>(block);
        return at >= start && at < start + region_size;
    }

    // Few regions exist (one per 32 MB in use), and this runs once per block.
    region* region_of(const void* block) const
    {
        region* r = newest;
        while (!holds(r, block))
            r = r->next;
        return r;
    }

    region* region_with_room()
    {
        for (region* r = newest; r; r = r->next)
            if (has_room(r))
                return r;
        return add_region();
    }

    // The first region of an empty pool keeps its first 2 MB in small pages: a
    // small parse (the game's settings) then touches only the pages it uses.
    region* add_region()
    {
        size_t huge_from = newest ? 0 : platform::region_alignment;
        auto* r = static_cast<region*>(platform::map_region(region_size, huge_from));
        if (!r)
            return nullptr;
        *r = region { newest, nullptr, 0, 0 };
        newest = r;
        return r;
    }

    void drop(region* r)
    {
        region** link = &newest;
        while (*link != r)
            link = &(*link)->next;
        *link = r->next;
        if (current == r)
            current = nullptr;
        platform::unmap_region(r, region_size);
    }

    region* newest = nullptr;
    region* current = nullptr; // the region the last block came from
};

} // namespace parser
