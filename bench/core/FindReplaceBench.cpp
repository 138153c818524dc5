// Find next across 100 MB for a text that does not occur, and replace all of 100,000 occurrences
// with every replacement recorded, timed beside sed on the same file in the same run.
#include "../BenchData.h"
#include "core/editor/FindReplace.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

using namespace mireka;

constexpr std::size_t kTextBytes = 100u * 1000 * 1000;
constexpr int kOccurrences = 100000;

// C source lines, none of which contains "old" or the missing search text.
const char* const kLines[] = {
    "#include <stdio.h>",
    "",
    "int main(int argc, char *argv[])",
    "{",
    "\tint i, sum = 0;",
    "\tfor (i = 0; i < argc; i++) {",
    "\t\tsum += atoi(argv[i]); /* \x89\xC1\x8E\x5A */",
    "\t}",
    "\tprintf(\"%d\\n\", sum);",
    "\tif (sum > 100)",
    "\t\treturn 1;",
    "\treturn 0;",
    "}",
    "/* \x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x52\x83\x81\x83\x93\x83\x67 */",
    "static const char *name = \"Mireka\";",
    "typedef struct { double x, y; } point;",
};

// About 100 MB of C text; with `occurrences` > 0, "old" is placed that many times, evenly.
std::string MakeText(int occurrences) {
    std::string text;
    text.reserve(kTextBytes + 64);
    std::mt19937 rng(1);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kLines) - 1);
    const std::size_t gap =
        occurrences > 0 ? kTextBytes / static_cast<std::size_t>(occurrences) : 0;
    std::size_t next = gap / 2;
    int placed = 0;
    while (text.size() < kTextBytes) {
        text += kLines[pick(rng)];
        if (occurrences > 0 && placed < occurrences && text.size() >= next) {
            text += " old";
            ++placed;
            next += gap;
        }
        text += "\r\n";
    }
    return text;
}

const std::string& PlainText() {
    static const std::string text = MakeText(0);
    return text;
}

const std::string& ReplaceText() {
    static const std::string text = MakeText(kOccurrences);
    return text;
}

void BM_FindNextNotFound(benchmark::State& state) {
    const bool matchCase = state.range(0) != 0;
    static TextControl* ctl = nullptr;
    if (!ctl) {
        ctl = new TextControl;
        ctl->SetText(PlainText());
    }
    for (auto _ : state) {
        ctl->SetCaret(0);
        benchmark::DoNotOptimize(FindText(*ctl, "NotInThisText", true, matchCase));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * ctl->Length());
    state.SetLabel(matchCase ? "match case" : "any case");
}
BENCHMARK(BM_FindNextNotFound)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_FindUpNotFound(benchmark::State& state) {
    static TextControl* ctl = nullptr;
    if (!ctl) {
        ctl = new TextControl;
        ctl->SetText(PlainText());
    }
    for (auto _ : state) {
        ctl->SetCaret(ctl->Length());
        benchmark::DoNotOptimize(FindText(*ctl, "NotInThisText", false, true));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * ctl->Length());
}
BENCHMARK(BM_FindUpNotFound)->Unit(benchmark::kMillisecond);

// sed on the same text written to a file of a fresh temporary directory.
double TimeSed() {
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() / ("mireka-bench-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    const fs::path file = dir / "text.c";
    {
        std::ofstream out(file, std::ios::binary);
        out.write(ReplaceText().data(), static_cast<std::streamsize>(ReplaceText().size()));
    }
    const std::string command = "sed 's/old/new/g' '" + file.string() + "' > /dev/null";
    std::system(command.c_str()); // warm the page cache
    const auto t0 = std::chrono::steady_clock::now();
    const int rc = std::system(command.c_str());
    const auto t1 = std::chrono::steady_clock::now();
    std::error_code ec;
    fs::remove_all(dir, ec);
    if (rc != 0) return -1;
    return std::chrono::duration<double>(t1 - t0).count();
}

void BM_ReplaceAll100k(benchmark::State& state) {
    const double sed = TimeSed();
    EditSession session;
    const UndoHistory& history = session.History();
    FindReplaceState st;
    std::size_t replaced = 0;
    double ours = 0;
    for (auto _ : state) {
        state.PauseTiming();
        session.Control().SetText(ReplaceText());
        session.ClearUndoHistory();
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        replaced = OnReplaceAll(session, st, "old", "new", true, {});
        ours = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    if (replaced != static_cast<std::size_t>(kOccurrences) ||
        history.UndoList().size() != 2 * replaced)
        state.SkipWithError("wrong number of replacements or undo records");
    state.counters["replaced"] = static_cast<double>(replaced);
    state.counters["undo_records"] = static_cast<double>(history.UndoList().size());
    state.counters["ours_s"] = ours;
    state.counters["sed_s"] = sed;
    state.counters["ours_per_sed"] = sed > 0 ? ours / sed : 0;
}
BENCHMARK(BM_ReplaceAll100k)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

// Replace-all of a Japanese word in C source in either encoding (Arg 0 Shift_JIS, 1 UTF-8): every
// candidate is checked against the character boundaries of its encoding.
void BM_ReplaceAllByEncoding(benchmark::State& state) {
    const bool utf8 = state.range(0) == 1;
    const std::string text = bench::MakeCSource(3u << 20, "\r\n", utf8);
    // 日本語 → 漢字語
    const std::string find =
        utf8 ? "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E" : "\x93\xfa\x96\x7b\x8c\xea";
    const std::string replace =
        utf8 ? "\xE6\xBC\xA2\xE5\xAD\x97\xE8\xAA\x9E" : "\x8a\xbf\x8e\x9a\x8c\xea";
    EditSession session;
    session.SetEncoding(utf8 ? Encoding::Utf8 : Encoding::Cp932);
    FindReplaceState st;
    std::size_t replaced = 0;
    for (auto _ : state) {
        state.PauseTiming();
        session.Control().SetText(text);
        session.ClearUndoHistory();
        state.ResumeTiming();
        replaced = OnReplaceAll(session, st, find, replace, true, {});
    }
    state.counters["replaced"] = static_cast<double>(replaced);
}
BENCHMARK(BM_ReplaceAllByEncoding)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
