// The list node pools behind node_list.h: one for statement lists, one for the
// argument lists of function statements. A pool lives while at least one list of
// its kind is attached, in 256-slot blocks under its allocator record's lock.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "engine/kernel/Parser/node_list.h"
#include "engine/kernel/Parser/node_pool.h"
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

struct list_block {
    list_slot slots[slots_per_block];
    list_block* next; // the older block
    list_block* previous; // the newer block
};
static_assert(sizeof(list_block) == 8208);

// As in the node pool, the never-used tail of the newest block is the end of
// the free chain in address order, taken from the fresh cursor.
struct list_pool {
    list_block* first_block = nullptr;
    list_slot* free_slot = nullptr;
    list_slot* fresh = nullptr;
    list_slot* fresh_end = nullptr;
    uint32_t live_count = 0;
    uint32_t tag = list_pool_tag;
    std::atomic<uint32_t> users { 0 };
};

[[noreturn]] void out_of_memory(const char* what)
{
    std::fprintf(stderr, "out of memory: %s\n", what);
    std::abort();
}

void start_fresh(list_pool& pool, list_block* b)
{
    pool.fresh = b->slots;
    pool.fresh_end = b->slots + slots_per_block;
}

void add_block(list_pool& pool)
{
    list_block* b = static_cast<list_block*>(std::malloc(sizeof(list_block)));
    if (!b)
        out_of_memory("list pool block");
    b->previous = nullptr;
    b->next = pool.first_block;
    if (pool.first_block)
        pool.first_block->previous = b;
    pool.first_block = b;
    start_fresh(pool, b);
}

list_slot* take_slot(list_pool& pool)
{
    if (list_slot* s = pool.free_slot) {
        pool.free_slot = s->next_free;
        return s;
    }
    if (pool.fresh == pool.fresh_end)
        add_block(pool);
    return pool.fresh++;
}

void free_blocks_after(list_block* b)
{
    while (b) {
        list_block* older = b->next;
        std::free(b);
        b = older;
    }
}

// The last element went back: keep the newest block with every slot free.
void reset_pool(list_pool& pool)
{
    list_block* keep = pool.first_block;
    free_blocks_after(keep->next);
    keep->next = keep->previous = nullptr;
    pool.free_slot = nullptr;
    start_fresh(pool, keep);
}

list_slot* slot_of(list_element* element)
{
    return reinterpret_cast<list_slot*>(reinterpret_cast<unsigned char*>(element) - offsetof(list_slot, element));
}

} // namespace

// The static allocator record of one list element kind.
struct list_allocator {
    std::atomic<bool> initialised { false };
    platform::critical_section lock {};
    list_pool* pool = nullptr; // null while no list of the kind exists
};

namespace {

constinit list_allocator statement_record;
constinit list_allocator argument_record;

void create_record_lock(list_allocator& a)
{
    if (a.initialised.load(std::memory_order_acquire))
        return;
    platform::initialize_critical_section(&a.lock);
    a.initialised.store(true, std::memory_order_release);
}

void delete_record_lock(list_allocator& a)
{
    if (!a.initialised.load(std::memory_order_acquire))
        return;
    a.initialised.store(false, std::memory_order_release);
    platform::delete_critical_section(&a.lock);
}

// Holds a record's lock, creating it first if start-up has not.
class locked_record {
public:
    explicit locked_record(list_allocator& a)
        : a_(a)
    {
        if (!a.initialised.load(std::memory_order_acquire))
            create_record_lock(a);
        platform::enter_critical_section(&a.lock);
    }
    ~locked_record() { platform::leave_critical_section(&a_.lock); }
    locked_record(const locked_record&) = delete;
    locked_record& operator=(const locked_record&) = delete;

private:
    list_allocator& a_;
};

// Creates the pool locks before main and deletes them after it.
struct pool_lock_lifetime {
    pool_lock_lifetime() { create_pool_locks(); }
    ~pool_lock_lifetime() { delete_pool_locks(); }
} lock_lifetime;

} // namespace

// The node pool's spin lock needs no creation: only the list pools' critical
// sections are made and removed here. The unit cache keeps its own lock.
void create_pool_locks()
{
    create_record_lock(statement_record);
    create_record_lock(argument_record);
}

void delete_pool_locks()
{
    delete_record_lock(statement_record);
    delete_record_lock(argument_record);
}

list_allocator& statement_list_allocator() { return statement_record; }
list_allocator& argument_list_allocator() { return argument_record; }

void list_attach(list_allocator& allocator)
{
    locked_record guard(allocator);
    if (!allocator.pool) {
        allocator.pool = new (std::nothrow) list_pool;
        if (!allocator.pool)
            out_of_memory("list pool");
    }
    allocator.pool->users.fetch_add(1);
}

void list_detach(list_allocator& allocator)
{
    locked_record guard(allocator);
    list_pool* pool = allocator.pool;
    if (!pool || pool->users.fetch_sub(1) != 1)
        return;
    free_blocks_after(pool->first_block);
    delete pool;
    allocator.pool = nullptr;
}

list_element* list_element_allocate(list_allocator& allocator)
{
    locked_record guard(allocator);
    list_pool& pool = *allocator.pool;
    list_slot* s = take_slot(pool);
    ++pool.live_count;
    s->owner = &pool;
    return &s->element;
}

void list_element_release(list_allocator& allocator, list_element* element)
{
    locked_record guard(allocator);
    list_slot* s = slot_of(element);
    list_pool& pool = *s->owner;
    s->next_free = pool.free_slot;
    pool.free_slot = s;
    if (--pool.live_count == 0)
        reset_pool(pool);
}

bool list_pool_exists(list_allocator& allocator)
{
    locked_record guard(allocator);
    return allocator.pool != nullptr;
}

uint32_t list_pool_live_count(list_allocator& allocator)
{
    locked_record guard(allocator);
    return allocator.pool ? allocator.pool->live_count : 0;
}

uint32_t list_pool_block_count(list_allocator& allocator)
{
    locked_record guard(allocator);
    uint32_t n = 0;
    for (list_block* b = allocator.pool ? allocator.pool->first_block : nullptr; b; b = b->next)
        ++n;
    return n;
}

} // namespace parser
