// The text buffer on a 100 MB, 2-million-line text: load, edits anywhere, snapshots, line queries.
#include "core/document/LoadText.h"
#include "core/editor/TextBuffer.h"

#include "../BenchData.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>

namespace mireka {
namespace {

constexpr std::size_t kFileBytes = 100u << 20;

const std::string& LfFile() {
    static const std::string path =
        bench::TempFile("100mb-lf.c", bench::MakeCSource(kFileBytes, "\n"));
    return path;
}

TextBuffer& Loaded() {
    static TextBuffer* buffer = [] {
        auto* b = new TextBuffer;
        b->SetText(bench::MakeCSource(kFileBytes, "\r\n"));
        return b;
    }();
    return *buffer;
}

// Read, cut at NUL, normalise LF to CR LF and index: everything a load does before painting.
void BM_LoadNormaliseIndex100MB(benchmark::State& state) {
    const std::string& path = LfFile();
    std::size_t fileSize = 0;
    std::size_t memory = 0;
    std::vector<char> piece(std::size_t{1} << 18);
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        TextBuffer::Builder built(100u << 20);
        EditorTextLoader loader(built);
        fileSize = 0;
        while (in.read(piece.data(), static_cast<std::streamsize>(piece.size())) || in.gcount()) {
            const auto n = static_cast<std::size_t>(in.gcount());
            fileSize += n;
            if (!loader.Feed(std::string_view(piece.data(), n))) break;
        }
        loader.Finish();
        TextBuffer b;
        b.SetText(std::move(built));
        memory = b.MemoryUsed();
        benchmark::DoNotOptimize(b.LineCount());
    }
    state.counters["memory_per_file_byte"] =
        static_cast<double>(memory) / static_cast<double>(fileSize);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fileSize));
}
BENCHMARK(BM_LoadNormaliseIndex100MB)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_InsertAndEraseOneByteAnywhere(benchmark::State& state) {
    TextBuffer& b = Loaded();
    std::mt19937_64 rng(1);
    for (auto _ : state) {
        const Offset pos = static_cast<Offset>(rng() % static_cast<std::uint64_t>(b.Length()));
        if (rng() & 1) {
            b.Insert(pos, "x");
        } else {
            b.Erase(pos, pos + 1);
        }
    }
}
BENCHMARK(BM_InsertAndEraseOneByteAnywhere)->Unit(benchmark::kMicrosecond);

// What saving a recovery copy costs the interface thread: sharing every chunk.
void BM_Snapshot100MB(benchmark::State& state) {
    const TextBuffer& b = Loaded();
    std::size_t pieces = 0;
    for (auto _ : state) {
        TextSnapshot s = b.Snapshot();
        pieces = s.PieceCount();
        benchmark::DoNotOptimize(s.Length());
        state.PauseTiming(); // dropping it is the writer's cost
        s = TextSnapshot();
        state.ResumeTiming();
    }
    state.counters["pieces"] = static_cast<double>(pieces);
}
BENCHMARK(BM_Snapshot100MB)->Unit(benchmark::kMillisecond);

// A keystroke anywhere, without and with a snapshot holding the text (whose first edit of a
// chunk copies that chunk). Only the insert is timed.
void BM_InsertWithSnapshotHeld(benchmark::State& state) {
    TextBuffer& b = Loaded();
    std::mt19937_64 rng(5);
    for (auto _ : state) {
        TextSnapshot s = state.range(0) ? b.Snapshot() : TextSnapshot();
        const Offset pos = static_cast<Offset>(rng() % static_cast<std::uint64_t>(b.Length()));
        const auto start = std::chrono::steady_clock::now();
        b.Insert(pos, "x");
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        s = TextSnapshot();
        b.Erase(pos, pos + 1);
    }
}
BENCHMARK(BM_InsertWithSnapshotHeld)
    ->ArgName("snapshot")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

void BM_LineFromOffset(benchmark::State& state) {
    const TextBuffer& b = Loaded();
    std::mt19937_64 rng(2);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            b.LineFromOffset(static_cast<Offset>(rng() % static_cast<std::uint64_t>(b.Length()))));
}
BENCHMARK(BM_LineFromOffset);

void BM_LineStart(benchmark::State& state) {
    const TextBuffer& b = Loaded();
    std::mt19937_64 rng(3);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            b.LineStart(Line(static_cast<int>(rng() % static_cast<std::uint64_t>(b.LineCount())))));
}
BENCHMARK(BM_LineStart);

void BM_LineLength(benchmark::State& state) {
    const TextBuffer& b = Loaded();
    std::mt19937_64 rng(4);
    for (auto _ : state)
        benchmark::DoNotOptimize(b.LineLength(
            Line(static_cast<int>(rng() % static_cast<std::uint64_t>(b.LineCount())))));
}
BENCHMARK(BM_LineLength);

} // namespace
} // namespace mireka
