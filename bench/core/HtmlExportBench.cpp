// The HTML listing of a 5 MB C file, beside source-highlight on the same file in the same run
// (when it is installed).
#include "core/document/HtmlExport.h"

#include "../BenchData.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>

namespace {

using namespace mireka;

const std::string& FiveMegabytes() {
    static const std::string text = bench::MakeCSource(5u << 20, "\r\n");
    return text;
}

void BM_HtmlListing5MB(benchmark::State& state) {
    const std::string& text = FiveMegabytes();
    std::size_t size = 0;
    for (auto _ : state) {
        const std::string html = MakeHtmlListing(text, EditorColours{}, 4, "big.c");
        size = html.size();
        benchmark::DoNotOptimize(html.data());
    }
    // The command holds the text's copy and the page: both are counted against the page.
    state.counters["output_MB"] = static_cast<double>(size) / (1 << 20);
    state.counters["held_per_output"] =
        static_cast<double>(size + text.size()) / static_cast<double>(size);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_HtmlListing5MB)->Unit(benchmark::kMillisecond);

void BM_SourceHighlight5MB(benchmark::State& state) {
    if (std::system("command -v source-highlight >/dev/null 2>&1") != 0) {
        state.SkipWithError("source-highlight is not installed");
        return;
    }
    const std::string in = bench::TempFile("5mb.c", FiveMegabytes());
    const std::string command =
        "source-highlight -s c -f html -i " + in + " -o /tmp/mireka-bench-5mb.html";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) state.SkipWithError("source-highlight failed");
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(FiveMegabytes().size()));
}
BENCHMARK(BM_SourceHighlight5MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
