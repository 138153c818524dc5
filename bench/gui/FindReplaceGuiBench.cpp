// Replace all through the main view, with its gutter, line indicator and repaint, on 100 MB with
// 100,000 occurrences, timed beside sed on the same file in the same run. Runs offscreen.
#include "gui/base/CommandTable.h"
#include "gui/document/MyView.h"

#include "../BenchData.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>

namespace mireka {
namespace {

constexpr int kOccurrences = 100000;

std::string MakeText() {
    std::string text = bench::MakeCSource(100u << 20, "\r\n");
    // " old" at the end of evenly spaced lines.
    const std::size_t gap = text.size() / kOccurrences;
    std::string out;
    out.reserve(text.size() + 4 * kOccurrences);
    std::size_t from = 0;
    for (int i = 0; i < kOccurrences; ++i) {
        const std::size_t eol = text.find("\r\n", gap * i + gap / 2);
        out.append(text, from, eol - from);
        out += " old";
        from = eol;
    }
    out.append(text, from, std::string::npos);
    return out;
}

double TimeSed(const std::string& path) {
    const std::string command = "sed 's/old/new/g' '" + path + "' > /dev/null";
    if (std::system(command.c_str()) != 0) return -1; // also warms the page cache
    const auto t0 = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) return -1;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_ViewReplaceAll100k(benchmark::State& state) {
    const std::string text = MakeText();
    const double sed = TimeSed(bench::TempFile("replace-all.c", text));
    CommandTable table;
    CMyView view;
    view.RegisterCommands(table);
    view.resize(1024, 768);
    view.show();
    double ours = 0;
    std::size_t records = 0;
    for (auto _ : state) {
        state.PauseTiming();
        view.DeleteContents();
        view.SetWindowText(text);
        view.SetSel(0, 0);
        QApplication::processEvents();
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        view.OnReplaceAll("old", "new", true);
        QApplication::processEvents(); // the repaint, the line indicator
        ours = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        records = view.History().UndoList().size();
    }
    if (records != 2u * kOccurrences) state.SkipWithError("wrong number of undo records");
    state.counters["undo_records"] = static_cast<double>(records);
    state.counters["ours_s"] = ours;
    state.counters["sed_s"] = sed;
    state.counters["ours_per_sed"] = sed > 0 ? ours / sed : 0;
}
BENCHMARK(BM_ViewReplaceAll100k)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace mireka
