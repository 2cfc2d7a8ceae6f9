// Evaluation speed of a large float expression tree (balanced, arithmetic
// operators over constants), reported as nanoseconds per node visited.
#include <benchmark/benchmark.h>

#include "engine/kernel/Parser/node_op.h"

namespace {

using namespace parser;

// A balanced tree of the given depth cycling through add, mul, sub and max;
// counts the nodes it makes.
node_expr<float>* float_tree(int depth, int& nodes)
{
    ++nodes;
    if (depth == 0)
        return new node_val<float>(float(nodes % 7) * 0.25f + 1.0f);
    node_expr<float>* a = float_tree(depth - 1, nodes);
    node_expr<float>* b = float_tree(depth - 1, nodes);
    switch (depth % 4) {
    case 0:
        return new node_op2<OP_add, float, float, float>(a, b);
    case 1:
        return new node_op2<OP_mul, float, float, float>(a, b);
    case 2:
        return new node_op2<OP_sub, float, float, float>(a, b);
    default:
        return new node_op2<OP_max, float, float, float>(a, b);
    }
}

void evaluate_float_tree(benchmark::State& state)
{
    int nodes = 0;
    node_expr<float>* root = float_tree(int(state.range(0)), nodes);
    for (auto _ : state) {
        float out = 0;
        root->evaluate(nullptr, out, nullptr, nullptr);
        benchmark::DoNotOptimize(out);
    }
    root->release();
    state.counters["nodes"] = nodes;
    // Inverted rate: seconds per node, printed with its unit (e.g. "1.8ns").
    state.counters["per_node"] = benchmark::Counter(
        double(nodes), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Depth 10 is 2047 nodes (256 KB of pool slots, cache resident); depth 16 is
// 131071 nodes (16 MB), which the caches cannot hold.
BENCHMARK(evaluate_float_tree)->Arg(10)->Arg(16);

} // namespace
