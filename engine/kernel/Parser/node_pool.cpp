// The node pool: every tree node lives in a 128-byte slot of a 1024-slot block,
// taken and returned under one process-wide lock. Objects above 120 bytes come
// from the general heap instead.
#include "engine/kernel/Parser/node_pool.h"

#include <cstdint>
#include <cstdlib>

#include "engine/kernel/Parser/slot_blocks.h"
#include "platform/critical_section.h"

namespace parser {

namespace {

// 1024 slots a block: one heap call per 1024 nodes, and a block of 128 KiB.
constexpr size_t slots_per_block = 1024;

struct node_slot {
    const void* owner; // the pool while the slot is in use
    union {
        node_slot* next_free; // while the slot is free: the object's first word
        unsigned char object[node_slot_payload];
    };
};
// 128 bytes: the 8-byte header and the largest node class (120 bytes).
static_assert(sizeof(node_slot) == 128);

using node_blocks = slot_blocks<node_slot, slots_per_block>;
static_assert(sizeof(node_blocks::block) == 131088);

constinit node_blocks pool;
// Written into the header of an object served by the heap: any address but the pool's.
const char heap_mark = 0;

// Node creation and release are the hottest calls of a parse, so the pool is
// guarded by a spin lock (one atomic exchange a call) rather than a critical
// section (two). It needs no creation: it is ready before any static initialiser.
constinit platform::spin_lock pool_lock;

node_slot* slot_of(void* object)
{
    return reinterpret_cast<node_slot*>(static_cast<unsigned char*>(object) - offsetof(node_slot, object));
}

void* heap_allocate(size_t size)
{
    if (size > SIZE_MAX - offsetof(node_slot, object))
        pool_out_of_memory("node larger than the address space");
    node_slot* s = static_cast<node_slot*>(std::malloc(offsetof(node_slot, object) + size));
    if (!s)
        pool_out_of_memory("node from the heap");
    s->owner = &heap_mark;
    return s->object;
}

} // namespace

void* node_allocate(size_t size)
{
    if (size > node_slot_payload)
        return heap_allocate(size);
    platform::spin_guard guard(pool_lock);
    node_slot* s = pool.take("node pool block");
    s->owner = &pool;
    return s->object;
}

void node_release(void* object)
{
    if (!object)
        return;
    node_slot* s = slot_of(object);
    if (s->owner != &pool) {
        std::free(s);
        return;
    }
    platform::spin_guard guard(pool_lock);
    pool.give_back(s);
}

uint32_t node_pool_live_count()
{
    platform::spin_guard guard(pool_lock);
    return pool.live_count;
}

uint32_t node_pool_block_count()
{
    platform::spin_guard guard(pool_lock);
    return pool.block_count();
}

} // namespace parser
