// Recovery files of a 100 MB, 2-million-line text: what scheduling one costs the interface
// thread, and writing one end to end with the memory the write takes.
#include "core/editor/TextBuffer.h"
#include "platform/RecoveryStore.h"

#include "../BenchData.h"
#include "BenchTiming.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace mireka {
namespace {

using bench::Clock;
using bench::Ms;

const TextBuffer& Loaded() {
    static const TextBuffer* buffer = [] {
        auto* b = new TextBuffer;
        b->SetText(bench::MakeCSource(100u << 20, "\r\n"));
        return b;
    }();
    return *buffer;
}

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM"); 0 where there is none.
double StatusKiB(const std::string& field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field + ":", 0) == 0) return std::stod(line.substr(field.size() + 1));
    return 0;
}

// Snapshot and hand-over only: the write runs on the store's thread.
void BM_ScheduleRecovery100MB(benchmark::State& state) {
    const TextBuffer& b = Loaded();
    QTemporaryDir dir;
    RecoveryStore store(QFile::encodeName(dir.path()).toStdString());
    std::vector<double> ms;
    for (auto _ : state) {
        const auto start = Clock::now();
        store.Schedule({"/src/big.c", b.Length(), 0}, b.Snapshot());
        ms.push_back(Ms(Clock::now() - start));
        state.PauseTiming();
        store.Flush();
        state.ResumeTiming();
    }
    bench::ReportPercentiles(state, ms);
}
BENCHMARK(BM_ScheduleRecovery100MB)->Unit(benchmark::kMillisecond)->Iterations(10);

// Checksum, header, text, fsync and rename. The resident set should grow by far less than the
// text: the pieces are written from the buffer's own blocks.
void BM_WriteRecovery100MB(benchmark::State& state) {
    const TextBuffer& b = Loaded();
    QTemporaryDir dir;
    RecoveryStore store(QFile::encodeName(dir.path()).toStdString());
    double growth = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream("/proc/self/clear_refs") << "5"; // restarts the peak
        const double before = StatusKiB("VmRSS");
        state.ResumeTiming();
        store.Schedule({"/src/big.c", b.Length(), 0}, b.Snapshot());
        store.Flush();
        growth = std::max(growth, StatusKiB("VmHWM") - before);
    }
    state.counters["rss_growth_KiB"] = growth;
    state.SetBytesProcessed(state.iterations() * b.Length());
}
BENCHMARK(BM_WriteRecovery100MB)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace
} // namespace mireka
