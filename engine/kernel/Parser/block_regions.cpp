// Block regions: a bump cursor over each region, free lists of given-back
// blocks per block size, and the choice of region for the next block.
#include "engine/kernel/Parser/block_regions.h"

#include <cstdio>
#include <cstdlib>

#include "platform/block_memory.h"

namespace parser {

constinit block_regions pool_regions;

namespace {

unsigned char* bytes(void* p) { return static_cast<unsigned char*>(p); }

} // namespace

void* block_regions::take(size_t size)
{
    platform::spin_guard guard(lock);
    uint32_t k = size_class(size);
    region* r = region_for(k, size);
    if (!r)
        return nullptr;
    ++r->live;
    if (free_block* b = r->free[k]) {
        r->free[k] = b->next;
        return b;
    }
    void* b = bytes(r) + r->carved;
    r->carved += uint32_t(size);
    return b;
}

void block_regions::give_back(void* block, size_t size)
{
    platform::spin_guard guard(lock);
    region* r = region_of(block);
    uint32_t k = size_class(size);
    auto* b = static_cast<free_block*>(block);
    b->next = r->free[k];
    r->free[k] = b;
    if (--r->live == 0)
        drop(r);
}

uint32_t block_regions::region_count()
{
    platform::spin_guard guard(lock);
    uint32_t n = 0;
    for (const region* r = newest; r; r = r->next)
        ++n;
    return n;
}

// The free list a block size uses; sizes are few (one per pool kind) and fixed
// for the program's life, so the table only grows.
uint32_t block_regions::size_class(size_t size)
{
    for (uint32_t k = 0; k < max_block_sizes; ++k) {
        if (sizes[k] == size)
            return k;
        if (sizes[k] == 0) {
            sizes[k] = uint32_t(size);
            return k;
        }
    }
    std::fprintf(stderr, "block regions: more than %u block sizes\n", max_block_sizes);
    std::abort();
}

// A given-back block of the size first (the newest region first); else the
// fullest region that still has room for a fresh one, so that the ends of older
// regions fill with small blocks before a new region is mapped and touched.
block_regions::region* block_regions::region_for(uint32_t k, size_t size)
{
    region* roomy = nullptr;
    for (region* r = newest; r; r = r->next) {
        if (r->free[k])
            return r;
        if (r->carved + size <= region_size && (!roomy || r->carved > roomy->carved))
            roomy = r;
    }
    return roomy ? roomy : add_region();
}

// Few regions exist (one per 32 MB in use), and this runs once per block.
block_regions::region* block_regions::region_of(const void* block) const
{
    auto* at = static_cast<const unsigned char*>(block);
    region* r = newest;
    while (at < bytes(r) || at >= bytes(r) + region_size)
        r = r->next;
    return r;
}

// The first region of an empty set keeps its first 2 MB in small pages: a small
// parse (the game's settings) then touches only the pages it uses.
block_regions::region* block_regions::add_region()
{
    size_t huge_from = newest ? 0 : platform::region_alignment;
    auto* r = static_cast<region*>(platform::map_region(region_size, huge_from));
    if (!r)
        return nullptr;
    *r = region { newest, {}, uint32_t(header_size), 0 };
    newest = r;
    return r;
}

void block_regions::drop(region* r)
{
    region** link = &newest;
    while (*link != r)
        link = &(*link)->next;
    *link = r->next;
    platform::unmap_region(r, region_size);
}

} // namespace parser
