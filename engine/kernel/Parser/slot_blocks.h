// The block chain both slot pools are made of: fixed blocks of slots, a free
// chain through the free slots' first words, and a reset that keeps one block
// when the last slot comes back. The node pool and the list node pools differ
// only in their slot type, block size and lock. Blocks are carved from large
// regions (block_regions.h) that all pools share.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "engine/kernel/Parser/block_regions.h"

namespace parser {

// A block the heap cannot supply: report it and stop, never write through null.
[[noreturn]] inline void pool_out_of_memory(const char* what)
{
    std::fprintf(stderr, "out of memory: %s\n", what);
    std::abort();
}

// Slot must have a `next_free` pointer in the place of the object's first word.
// The free chain runs most recently freed first; its tail is the part of the
// newest block not handed out since the block was made or the pool reset:
// those slots follow in address order and come from the fresh cursor, so a
// reset costs no walk over the block.
//
// The chain runs newest first through next; previous points back at the newer
// block (null in the newest). Nothing here reads previous: it is written
// because it is part of the block's layout, and invariants() keeps it true so
// that whoever reads it finds the chain. Debug builds check invariants() after
// every change to the chain.
template <typename Slot, size_t SlotsPerBlock> struct slot_blocks {
    struct block {
        Slot slots[SlotsPerBlock];
        block* next; // the older block
        block* previous; // the newer block
    };

    block* first_block = nullptr; // the newest block
    Slot* free_slot = nullptr;
    Slot* fresh = nullptr;
    Slot* fresh_end = nullptr;
    uint32_t live_count = 0;

    // A slot to hand out (a new block when none is free); what names the pool
    // in the out-of-memory report.
    Slot* take(const char* what)
    {
        ++live_count;
        if (Slot* s = free_slot) {
            free_slot = s->next_free;
            return s;
        }
        if (fresh == fresh_end)
            add_block(what);
        return fresh++;
    }

    // Takes a slot back; the last one resets the pool to its newest block.
    void give_back(Slot* s)
    {
        s->next_free = free_slot;
        free_slot = s;
        if (--live_count == 0)
            reset();
    }

    // Frees every block (the pool itself goes away).
    void free_all()
    {
        free_blocks_from(first_block);
        first_block = nullptr;
        free_slot = fresh = fresh_end = nullptr;
    }

    uint32_t block_count() const
    {
        uint32_t n = 0;
        for (const block* b = first_block; b; b = b->next)
            ++n;
        return n;
    }

    // The chain's shape: without blocks nothing is free or fresh; with blocks
    // the fresh slots are a tail of the newest one (take hands them out from
    // there) and every previous pointer names the block just newer.
    bool invariants() const
    {
        if (!first_block)
            return !free_slot && !fresh && !fresh_end;
        if (first_block->previous || fresh_end != first_block->slots + SlotsPerBlock || fresh < first_block->slots
            || fresh > fresh_end)
            return false;
        for (const block* b = first_block; b->next; b = b->next)
            if (b->next->previous != b)
                return false;
        return true;
    }

private:
    void free_blocks_from(block* b)
    {
        while (b) {
            block* older = b->next;
            pool_regions.give_back(b, sizeof(block));
            b = older;
        }
    }

    void start_fresh(block* b)
    {
        fresh = b->slots;
        fresh_end = b->slots + SlotsPerBlock;
    }

    void add_block(const char* what)
    {
        block* b = static_cast<block*>(pool_regions.take(sizeof(block)));
        if (!b)
            pool_out_of_memory(what);
        b->previous = nullptr;
        b->next = first_block;
        if (first_block)
            first_block->previous = b;
        first_block = b;
        start_fresh(b);
        assert(invariants());
    }

    void reset()
    {
        block* keep = first_block;
        assert(keep); // a slot was live, so a block holds it
        free_blocks_from(keep->next);
        keep->next = keep->previous = nullptr;
        free_slot = nullptr;
        start_fresh(keep);
        assert(invariants());
    }
};

} // namespace parser
