// How long the language server takes from a change of a 10,000-line script to
// its published diagnostics: the whole server loop (framing, JSON, the parse,
// the symbol table, the diagnostics and their JSON) fed from a file, and the
// same work without the framing for a script with and without an error.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "bench/script_generator.h"
#include "host/modules/filesystem_module.h"
#include "tools/mcscript/lsp_features.h"
#include "tools/mcscript/lsp_server.h"

namespace {

using nlohmann::json;

constexpr const char* uri = "file:///tmp/mcscript-bench/big.ini";

// 140 subtrees of 10 if/else groups and the main subtree: 10,222 lines.
const std::string& script()
{
    static const std::string text = bench::generate_script(140, 10).script;
    return text;
}

// The same script with its last call broken (a name the script lacks).
std::string broken()
{
    std::string text = script();
    size_t last = text.rfind("call S");
    return text.replace(last, 6, "call X");
}

std::string framed(const json& message)
{
    std::string body = message.dump();
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

json change(const std::string& text, int version)
{
    return { { "jsonrpc", "2.0" }, { "method", "textDocument/didChange" },
        { "params",
            { { "textDocument", { { "uri", uri }, { "version", version } } },
                { "contentChanges", { { { "text", text } } } } } } };
}

// The server from its input to its output: an open and `changes` changes,
// alternating between the script and its broken form.
void ServeChanges(benchmark::State& state)
{
    Log::SetStandardErrorOutput(false);
    const int changes = 10;
    std::string input
        = framed({ { "jsonrpc", "2.0" }, { "id", 1 }, { "method", "initialize" }, { "params", json::object() } });
    input += framed({ { "jsonrpc", "2.0" }, { "method", "textDocument/didOpen" },
        { "params",
            { { "textDocument",
                { { "uri", uri }, { "languageId", "mcscript" }, { "version", 1 }, { "text", script() } } } } } });
    std::string bad = broken();
    for (int i = 0; i < changes; ++i)
        input += framed(change(i % 2 ? script() : bad, i + 2));
    std::FILE* in = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), in);
    std::FILE* out = std::fopen("/dev/null", "wb");
    for (auto _ : state) {
        std::rewind(in);
        mcscript::lsp::serve(in, out, nullptr, "bench");
    }
    std::fclose(in);
    std::fclose(out);
    state.SetItemsProcessed(state.iterations() * (changes + 1)); // each parse publishes once
    state.counters["lines"] = double(std::count(script().begin(), script().end(), '\n'));
}
BENCHMARK(ServeChanges)->Unit(benchmark::kMillisecond);

// One change message handled as the server does, without the framing.
void Change(benchmark::State& state, bool with_error)
{
    Log::SetStandardErrorOutput(false);
    mcscript::lsp::workspace w(nullptr);
    w.open(uri, script());
    std::string message = change(with_error ? broken() : script(), 2).dump();
    size_t published = 0;
    for (auto _ : state) {
        json parsed = json::parse(message);
        std::string text = parsed["params"]["contentChanges"][0]["text"];
        for (mcscript::lsp::document* d : w.change(uri, std::move(text))) {
            json diagnostics = mcscript::lsp::diagnostics_json(w, *d);
            published = diagnostics.size();
            benchmark::DoNotOptimize(json({ { "uri", d->uri }, { "diagnostics", diagnostics } }).dump());
        }
    }
    state.counters["diagnostics"] = double(published);
}
BENCHMARK_CAPTURE(Change, clean, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Change, with_error, true)->Unit(benchmark::kMillisecond);

} // namespace
