// EUC-JP and JIS to Shift_JIS on 84 MB of C source with Japanese comments and strings, beside
// the system's iconv on the same bytes in the same run; detection over 100 MB of ASCII.
#include "core/base/Encoding.h"
#include "core/document/CodeConvert.h"

#include "../BenchData.h"

#include <benchmark/benchmark.h>

#include <iconv.h>

#include <string>

namespace {

using namespace mireka;

constexpr std::size_t kConvertBytes = 84u * 1000 * 1000;

// Shift_JIS, with more Japanese than the usual sample: every line has a comment.
const std::string& ShiftJisSource() {
    static const std::string text = [] {
        std::string s = bench::MakeCSource(kConvertBytes / 2, "\r\n");
        std::string out;
        out.reserve(kConvertBytes + 256);
        std::size_t start = 0;
        while (out.size() < kConvertBytes && start < s.size()) {
            const std::size_t end = s.find('\n', start) + 1;
            out.append(s, start, end - start - 2);
            out += " /* \x95\xb6\x8e\x9a\x97\xf1\x82\xf0\x95\x5c\x8e\xa6 */\r\n"; // 文字列を表示
            start = end;
        }
        return out;
    }();
    return text;
}

const std::string& EucSource() {
    static const std::string text = bench::ShiftJisToEuc(ShiftJisSource());
    return text;
}

const std::string& JisSource() {
    static const std::string text = bench::ShiftJisToJis(ShiftJisSource());
    return text;
}

// Each iteration converts a fresh copy of `source` in place; the copying is not timed.
void Convert(benchmark::State& state, const std::string& source, void (*convert)(std::string&)) {
    std::string text;
    for (auto _ : state) {
        state.PauseTiming();
        text = source;
        state.ResumeTiming();
        convert(text);
        benchmark::DoNotOptimize(text.data());
    }
    if (text != ShiftJisSource()) state.SkipWithError("wrong result");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(source.size()));
}

void BM_EucToShiftJis(benchmark::State& state) {
    Convert(state, EucSource(), EucToShiftJis);
}
BENCHMARK(BM_EucToShiftJis)->Unit(benchmark::kMillisecond);

void BM_JisToShiftJis(benchmark::State& state) {
    Convert(state, JisSource(), JisToShiftJis);
}
BENCHMARK(BM_JisToShiftJis)->Unit(benchmark::kMillisecond);

// The system's converter into a buffer made once, as fast as iconv can be driven.
void Iconv(benchmark::State& state, const char* from, const std::string& source) {
    iconv_t cd = iconv_open("SHIFT_JIS", from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        state.SkipWithError("iconv cannot convert");
        return;
    }
    std::string out(source.size() + 16, '\0');
    for (auto _ : state) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(source.data());
        std::size_t inLeft = source.size();
        char* op = out.data();
        std::size_t outLeft = out.size();
        if (iconv(cd, &in, &inLeft, &op, &outLeft) == static_cast<std::size_t>(-1))
            state.SkipWithError("iconv failed");
        benchmark::DoNotOptimize(op);
    }
    iconv_close(cd);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(source.size()));
}

void BM_IconvEucToShiftJis(benchmark::State& state) {
    Iconv(state, "EUC-JP", EucSource());
}
BENCHMARK(BM_IconvEucToShiftJis)->Unit(benchmark::kMillisecond);

void BM_IconvJisToShiftJis(benchmark::State& state) {
    Iconv(state, "ISO-2022-JP", JisSource());
}
BENCHMARK(BM_IconvJisToShiftJis)->Unit(benchmark::kMillisecond);

void BM_DetectAscii(benchmark::State& state) {
    static const std::string ascii = [] {
        std::string s = bench::MakeCSource(100u * 1000 * 1000, "\r\n");
        for (char& c : s)
            if (static_cast<unsigned char>(c) >= 0x80) c = 'x';
        return s;
    }();
    for (auto _ : state)
        benchmark::DoNotOptimize(DetectJapaneseEncoding(ascii));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(ascii.size()));
}
BENCHMARK(BM_DetectAscii)->Unit(benchmark::kMillisecond);

// Opening a file reads all of it once to tell UTF-8 from Shift_JIS: this must go at memory
// speed (2 GB/s or more).
void BM_DetectUtf8Source100MB(benchmark::State& state) {
    static const std::string utf8 = bench::MakeCSource(100u * 1000 * 1000, "\n", true);
    for (auto _ : state)
        benchmark::DoNotOptimize(DetectEncoding(utf8, Encoding::Utf8));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(utf8.size()));
}
BENCHMARK(BM_DetectUtf8Source100MB)->Unit(benchmark::kMillisecond);

} // namespace
