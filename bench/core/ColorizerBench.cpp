// Throughput of the syntax colouring over a large C source, coloured top to bottom.
#include "../BenchData.h"
#include "core/editor/Colorizer.h"
#include "core/editor/LineStates.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Shift_JIS words for comments and strings; several have a backslash or bracket as trail byte.
constexpr std::string_view kJapanese[] = {
    "\x95\x5c\x8e\xa6",                         // 表示
    "\x83\x5c\x81\x5b\x83\x58",                 // ソース
    "\x93\xfa\x96\x7b\x8c\xea",                 // 日本語
    "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd", // こんにちは
    "\x8c\x8b\x89\xca",                         // 結果
    "\x83\x8b\x81\x5b\x83\x76",                 // ループ
};

struct Source {
    std::string text;                // CR LF line ends
    std::vector<std::size_t> starts; // first byte of each line
    std::vector<std::size_t> ends;   // byte after each line's text
};

Source MakeSource(int lineCount) {
    std::mt19937 rng(12345);
    const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const auto jp = [&] { return std::string(kJapanese[pick(std::size(kJapanese))]); };

    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(lineCount) + 32);
    lines.push_back("#include <stdio.h>");
    lines.push_back("#include <string.h>");
    lines.push_back("");
    for (int f = 0; static_cast<int>(lines.size()) < lineCount; ++f) {
        const std::string name = "func_" + std::to_string(f);
        lines.push_back("/*");
        lines.push_back(" * " + name + ": " + jp() + " and " + jp() + " of the input");
        lines.push_back(" * returns the sum, or -1 on error (" + jp() + ")");
        lines.push_back(" */");
        lines.push_back("static int " + name + "(const char *s, int n, double *out)");
        lines.push_back("{");
        lines.push_back("\tint i, sum = 0;\t// " + jp() + jp());
        lines.push_back("\tif (s == NULL || n <= 0) return -1;");
        lines.push_back("\tfor (i = 0; i < n; i++) {");
        lines.push_back("\t\tif (s[i] == '\\\\' || s[i] == '\\'') {");
        lines.push_back("\t\t\tsum += 2; /* escape */");
        lines.push_back("\t\t} else if (s[i] >= 'a' && s[i] <= 'z') {");
        lines.push_back("\t\t\tsum += s[i] * 3 + (sum >> 1);");
        lines.push_back("\t\t} else {");
        lines.push_back("\t\t\tsum -= sizeof(int) * i;");
        lines.push_back("\t\t}");
        lines.push_back("\t}");
        if (pick(3) == 0) {
            lines.push_back("\t/* " + jp() + " spans");
            lines.push_back("\t   two lines */ *out = (double)sum / n;");
        } else {
            lines.push_back("\t*out = (double)sum / n;");
        }
        lines.push_back("\tprintf(\"" + jp() + ": %d, \\\"" + name + "\\\" %s\\n\", sum, \"" +
                        jp() + "\");");
        lines.push_back("\treturn sum;");
        lines.push_back("}");
        lines.push_back("");
    }
    lines.resize(static_cast<std::size_t>(lineCount));

    Source src;
    for (const auto& l : lines) {
        src.starts.push_back(src.text.size());
        src.text += l;
        src.ends.push_back(src.text.size());
        src.text += "\r\n";
    }
    return src;
}

void BM_ColorizeWholeFile(benchmark::State& state) {
    static const Source src = MakeSource(100000);
    const int lineCount = static_cast<int>(src.starts.size());
    std::size_t spanCount = 0;
    std::vector<mireka::ColorSpan> spans;
    // Top-down as the view paints, each line's state taken from the line before.
    for (auto _ : state) {
        mireka::LineStates states;
        states.Resize(lineCount + 1);
        for (int n = 0; n < lineCount; ++n) {
            const auto i = static_cast<std::size_t>(n);
            const std::string_view line =
                std::string_view(src.text).substr(src.starts[i], src.ends[i] - src.starts[i]);
            std::uint32_t next = states.Get(n);
            if (!line.empty()) next = mireka::ColorizeLine(line, next, spans);
            states.Set(n + 1, next);
            spanCount += line.empty() ? 0 : spans.size();
        }
        benchmark::DoNotOptimize(states.Get(lineCount));
    }
    benchmark::DoNotOptimize(spanCount);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(src.text.size()));
    state.counters["lines"] = lineCount;
}
BENCHMARK(BM_ColorizeWholeFile)->Unit(benchmark::kMillisecond);

} // namespace

// The same C source with Japanese comments in either encoding (Arg 0 Shift_JIS, 1 UTF-8), for
// figures side by side.
void BM_ColorizeByEncoding(benchmark::State& state) {
    const bool utf8 = state.range(0) == 1;
    const std::string text = mireka::bench::MakeCSource(8u << 20, "\r\n", utf8);
    const mireka::Encoding enc = utf8 ? mireka::Encoding::Utf8 : mireka::Encoding::Cp932;
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find("\r\n", at), text.size());
        lines.push_back(std::string_view(text).substr(at, end - at));
        at = end + 2;
    }
    std::vector<mireka::ColorSpan> spans;
    for (auto _ : state) {
        std::uint32_t next = 0;
        for (const std::string_view line : lines)
            if (!line.empty()) next = mireka::ColorizeLine(line, next, spans, enc);
        benchmark::DoNotOptimize(next);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ColorizeByEncoding)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
