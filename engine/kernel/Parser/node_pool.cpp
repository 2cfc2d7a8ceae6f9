// The node pool: every tree node lives in a 128-byte slot of a 1024-slot block,
// taken and returned under one process-wide lock. Objects above 120 bytes come
// from the general heap instead.
#include "engine/kernel/Parser/node_pool.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

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

struct node_block {
    node_slot slots[slots_per_block];
    node_block* next; // the older block
    node_block* previous; // the newer block
};
static_assert(sizeof(node_block) == 131088);

// The free chain runs through the free slots' first words, most recently
// freed first. Its tail is the part of the newest block that has not been
// handed out since the block was made or the pool reset: those slots follow in
// address order and are taken from the fresh cursor instead of being chained
// one by one, so a reset costs no walk over the block.
struct node_pool {
    node_block* first_block = nullptr; // the newest block
    node_slot* free_slot = nullptr;
    node_slot* fresh = nullptr;
    node_slot* fresh_end = nullptr;
    uint32_t live_count = 0;
};

constinit node_pool pool;
// Written into the header of an object served by the heap: any address but the pool's.
const char heap_mark = 0;

// Node creation and release are the hottest calls of a parse, so the pool is
// guarded by a spin lock (one atomic exchange a call) rather than a critical
// section (two). It needs no creation: it is ready before any static initialiser.
constinit platform::spin_lock pool_lock;

// Holds the node pool lock for the lifetime of a scope.
class locked_pool {
public:
    locked_pool() { pool_lock.enter(); }
    ~locked_pool() { pool_lock.leave(); }
    locked_pool(const locked_pool&) = delete;
    locked_pool& operator=(const locked_pool&) = delete;
};

[[noreturn]] void out_of_memory(const char* what)
{
    std::fprintf(stderr, "out of memory: %s\n", what);
    std::abort();
}

void start_fresh(node_block* b)
{
    pool.fresh = b->slots;
    pool.fresh_end = b->slots + slots_per_block;
}

void add_block()
{
    node_block* b = static_cast<node_block*>(std::malloc(sizeof(node_block)));
    if (!b)
        out_of_memory("node pool block");
    b->previous = nullptr;
    b->next = pool.first_block;
    if (pool.first_block)
        pool.first_block->previous = b;
    pool.first_block = b;
    start_fresh(b);
}

node_slot* take_slot()
{
    if (node_slot* s = pool.free_slot) {
        pool.free_slot = s->next_free;
        return s;
    }
    if (pool.fresh == pool.fresh_end)
        add_block();
    return pool.fresh++;
}

// The last node went back: keep the newest block with every slot free.
void reset_pool()
{
    node_block* keep = pool.first_block;
    for (node_block* b = keep->next; b;) {
        node_block* older = b->next;
        std::free(b);
        b = older;
    }
    keep->next = keep->previous = nullptr;
    pool.free_slot = nullptr;
    start_fresh(keep);
}

node_slot* slot_of(void* object)
{
    return reinterpret_cast<node_slot*>(static_cast<unsigned char*>(object) - offsetof(node_slot, object));
}

void* heap_allocate(size_t size)
{
    if (size > SIZE_MAX - offsetof(node_slot, object))
        out_of_memory("node larger than the address space");
    node_slot* s = static_cast<node_slot*>(std::malloc(offsetof(node_slot, object) + size));
    if (!s)
        out_of_memory("node from the heap");
    s->owner = &heap_mark;
    return s->object;
}

} // namespace

void* node_allocate(size_t size)
{
    if (size > node_slot_payload)
        return heap_allocate(size);
    locked_pool guard;
    node_slot* s = take_slot();
    ++pool.live_count;
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
    locked_pool guard;
    s->next_free = pool.free_slot;
    pool.free_slot = s;
    if (--pool.live_count == 0)
        reset_pool();
}

uint32_t node_pool_live_count()
{
    locked_pool guard;
    return pool.live_count;
}

uint32_t node_pool_block_count()
{
    locked_pool guard;
    uint32_t n = 0;
    for (node_block* b = pool.first_block; b; b = b->next)
        ++n;
    return n;
}

} // namespace parser
