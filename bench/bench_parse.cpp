// Parse and walk speed of the script language on a generated script of
// 100,000 function statements (see script_generator.h).
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/script_generator.h"
#include "engine/kernel/Parser/param_iterator.h"
#include "engine/kernel/Parser/statements.h"
#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/tree_iterator.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/unit_loader.h"

namespace {

const bench::generated_script& script()
{
    static const bench::generated_script s = bench::generate_script(1000, 25);
    return s;
}

parser::unit* parse(std::vector<char>& buffer)
{
    const std::string& text = script().script;
    buffer.assign(text.begin(), text.end());
    buffer.push_back(0);
    buffer.push_back(0);
    return parser::parse_text("big.ini", buffer.data(), buffer.size(), nullptr, nullptr, true, nullptr);
}

void Parse(benchmark::State& state)
{
    std::vector<char> buffer;
    for (auto _ : state) {
        parser::unit* u = parse(buffer);
        if (!u)
            state.SkipWithError("the generated script did not parse");
        else
            u->release();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(script().script.size()));
    state.counters["statements/s"]
        = benchmark::Counter(double(script().statements), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(Parse)->Unit(benchmark::kMillisecond);

// Walks main and evaluates every argument of every statement reached.
void WalkAndEvaluate(benchmark::State& state)
{
    std::vector<char> buffer;
    parser::unit* u = parse(buffer);
    parser::subtree* main = u ? u->find_subtree("main") : nullptr;
    int64_t reached = 0;
    for (auto _ : state) {
        parser::tree_iterator it;
        for (it.start(&main->statements, nullptr, nullptr); it.current; it.advance()) {
            parser::param_iterator p(it);
            for (parser::list_element* e = it.current->arguments.first(); e; e = e->next) {
                parser::node_exp* arg = parser::argument_list::payload(e);
                if (auto* f = dynamic_cast<parser::node_expr<float>*>(arg)) {
                    float v = 0;
                    f->evaluate(nullptr, v, it.frame(), nullptr);
                    benchmark::DoNotOptimize(v);
                } else if (auto* i = dynamic_cast<parser::node_expr<int32_t>*>(arg)) {
                    int32_t v = 0;
                    i->evaluate(nullptr, v, it.frame(), nullptr);
                    benchmark::DoNotOptimize(v);
                } else if (auto* v3 = dynamic_cast<parser::node_expr<vec3>*>(arg)) {
                    vec3 v {};
                    v3->evaluate(nullptr, v, it.frame(), nullptr);
                    benchmark::DoNotOptimize(v);
                } else {
                    benchmark::DoNotOptimize(p.get_string());
                }
            }
            ++reached;
        }
    }
    state.counters["statements/s"] = benchmark::Counter(double(reached), benchmark::Counter::kIsRate);
    if (main)
        main->release();
    if (u)
        u->release();
}
BENCHMARK(WalkAndEvaluate)->Unit(benchmark::kMillisecond);

} // namespace
