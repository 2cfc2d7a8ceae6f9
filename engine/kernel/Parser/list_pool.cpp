// The list node pools behind node_list.h: one for statement lists, one for the
// argument lists of function statements. A pool lives while at least one list of
// its kind is attached, in 256-slot blocks under its allocator record's lock.
#include <atomic>
#include <cstdlib>
#include <new>

#include "engine/kernel/Parser/node_list.h"
#include "engine/kernel/Parser/node_pool.h"
#include "engine/kernel/Parser/slot_blocks.h"
#include "platform/critical_section.h"

namespace parser {

namespace {

// 256 slots a block: one heap call per 256 list elements, 8 KiB a block.
constexpr size_t slots_per_block = 256;
// The allocation tag word of the container library the pools come from.
constexpr uint32_t list_pool_tag = 57;

struct list_pool;

struct list_slot {
    list_pool* owner; // while the element is in use
    union {
        list_slot* next_free; // while the slot is free: the element's next word
        list_element element;
    };
};
// 32 bytes: the 8-byte header and the 24-byte element.
static_assert(sizeof(list_slot) == 32);

using list_blocks = slot_blocks<list_slot, slots_per_block>;
static_assert(sizeof(list_blocks::block) == 8208);

struct list_pool {
    list_blocks blocks;
    uint32_t tag = list_pool_tag;
    std::atomic<uint32_t> users { 0 };
};

list_slot* slot_of(list_element* element)
{
    return reinterpret_cast<list_slot*>(reinterpret_cast<unsigned char*>(element) - offsetof(list_slot, element));
}

} // namespace

// The static allocator record of one list element kind. Its lock is held for a
// few pointer moves per element, like the node pool's, so it is the same spin
// lock: constant-initialised, ready before any static initialiser and after
// every static destructor.
struct list_allocator {
    platform::spin_lock lock;
    list_pool* pool = nullptr; // null while no list of the kind exists
};

namespace {

constinit list_allocator statement_record;
constinit list_allocator argument_record;

} // namespace

list_allocator& statement_list_allocator() { return statement_record; }
list_allocator& argument_list_allocator() { return argument_record; }

void list_attach(list_allocator& allocator)
{
    platform::spin_guard guard(allocator.lock);
    if (!allocator.pool) {
        allocator.pool = new (std::nothrow) list_pool;
        if (!allocator.pool)
            pool_out_of_memory("list pool");
    }
    allocator.pool->users.fetch_add(1);
}

void list_detach(list_allocator& allocator)
{
    platform::spin_guard guard(allocator.lock);
    list_pool* pool = allocator.pool;
    if (!pool || pool->users.fetch_sub(1) != 1)
        return;
    pool->blocks.free_all();
    delete pool;
    allocator.pool = nullptr;
}

list_element* list_element_allocate(list_allocator& allocator)
{
    platform::spin_guard guard(allocator.lock);
    list_pool& pool = *allocator.pool;
    list_slot* s = pool.blocks.take("list pool block");
    s->owner = &pool;
    return &s->element;
}

void list_element_release(list_allocator& allocator, list_element* element)
{
    platform::spin_guard guard(allocator.lock);
    list_slot* s = slot_of(element);
    s->owner->blocks.give_back(s);
}

bool list_pool_exists(list_allocator& allocator)
{
    platform::spin_guard guard(allocator.lock);
    return allocator.pool != nullptr;
}

uint32_t list_pool_live_count(list_allocator& allocator)
{
    platform::spin_guard guard(allocator.lock);
    return allocator.pool ? allocator.pool->blocks.live_count : 0;
}

uint32_t list_pool_block_count(list_allocator& allocator)
{
    platform::spin_guard guard(allocator.lock);
    return allocator.pool ? allocator.pool->blocks.block_count() : 0;
}

} // namespace parser
