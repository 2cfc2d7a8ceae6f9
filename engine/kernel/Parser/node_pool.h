// The node pool: fixed 128-byte slots in 1024-slot blocks, under one lock.
// Every tree node and variable is allocated here, never from the heap directly.
#pragma once

#include <cstddef>
#include <cstdint>

namespace parser {

// Largest object a slot holds (128 bytes less the 8-byte owner header).
constexpr size_t node_slot_payload = 120;

// Takes a slot (a block from the heap once per 1024 nodes); sizes above 120
// bytes are served from the general heap. Never returns null.
void* node_allocate(size_t size);
// Returns a slot (or a heap block) taken by node_allocate.
void node_release(void* object);

// Inspection, for tests and benchmarks.
uint32_t node_pool_live_count();
uint32_t node_pool_block_count();

} // namespace parser
