// Node slots from the pool against malloc/free of the same size, on one thread
// and on two threads sharing the pool: one allocation and its release per item,
// and the parse-like pattern of many nodes made and then dropped together.
#include <cstdlib>
#include <vector>

#include <benchmark/benchmark.h>

#include "engine/kernel/Parser/node_pool.h"

namespace {

// A typical node: an operator with two children (vtable, link, refs, flags, a, b).
constexpr size_t node_size = 48;
// Nodes made before any is dropped in the batch pattern: a small unit's tree.
constexpr int batch = 1000;

void pool_pair(benchmark::State& state)
{
    for (auto _ : state) {
        void* p = parser::node_allocate(node_size);
        benchmark::DoNotOptimize(p);
        parser::node_release(p);
    }
    state.SetItemsProcessed(state.iterations());
}

void heap_pair(benchmark::State& state)
{
    for (auto _ : state) {
        void* p = std::malloc(node_size);
        benchmark::DoNotOptimize(p);
        std::free(p);
    }
    state.SetItemsProcessed(state.iterations());
}

void pool_batch(benchmark::State& state)
{
    std::vector<void*> nodes(batch);
    for (auto _ : state) {
        for (void*& p : nodes)
            p = parser::node_allocate(node_size);
        benchmark::DoNotOptimize(nodes.data());
        for (void* p : nodes)
            parser::node_release(p);
    }
    state.SetItemsProcessed(state.iterations() * batch);
}

void heap_batch(benchmark::State& state)
{
    std::vector<void*> nodes(batch);
    for (auto _ : state) {
        for (void*& p : nodes)
            p = std::malloc(node_size);
        benchmark::DoNotOptimize(nodes.data());
        for (void* p : nodes)
            std::free(p);
    }
    state.SetItemsProcessed(state.iterations() * batch);
}

BENCHMARK(pool_pair)->Threads(1)->Threads(2);
BENCHMARK(heap_pair)->Threads(1)->Threads(2);
BENCHMARK(pool_batch)->Threads(1)->Threads(2);
BENCHMARK(heap_batch)->Threads(1)->Threads(2);

} // namespace
