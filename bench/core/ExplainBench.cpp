// Explaining a 10,000-line gcc output against the shipped table (target: well under 20 ms).
#include "core/toolchain/Explain.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using namespace mireka;

std::string ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Messages, source echoes and carets as gcc prints them, with a few linker lines.
std::string MakeGccOutput(int lines) {
    static const char* const kLines[] = {
        "prog.c: In function \xE2\x80\x98main\xE2\x80\x99:",
        "prog.c:12:5: warning: implicit declaration of function \xE2\x80\x98printf\xE2\x80\x99 "
        "[-Wimplicit-function-declaration]",
        "   12 |     printf(\"%d\\n\", x);",
        "      |     ^~~~~~",
        "prog.c:14:10: error: expected \xE2\x80\x98;\xE2\x80\x99 before "
        "\xE2\x80\x98return\xE2\x80\x99",
        "   14 |     x = y + 1",
        "      |          ^",
        "      |          ;",
        "prog.c:20:9: warning: unused variable \xE2\x80\x98"
        "count\xE2\x80\x99 [-Wunused-variable]",
        "   20 |     int count;",
        "prog.c:31:12: error: \xE2\x80\x98"
        "total\xE2\x80\x99 undeclared (first use in this "
        "function)",
        "prog.c:40:1: warning: control reaches end of non-void function [-Wreturn-type]",
        "   40 | }",
        "      | ^",
        "prog.c:44:14: warning: format \xE2\x80\x98%d\xE2\x80\x99 expects argument of type "
        "\xE2\x80\x98int *\xE2\x80\x99, but argument 2 has type \xE2\x80\x98int\xE2\x80\x99 "
        "[-Wformat=]",
        "   44 |     scanf(\"%d\", n);",
        "prog.c:50:3: note: each undeclared identifier is reported only once for each function it "
        "appears in",
        "/usr/bin/ld: /tmp/ccLI7mp3.o: in function `main':",
        "prog.c:(.text+0x23): undefined reference to `sqrt'",
        "collect2: error: ld returned 1 exit status",
    };
    std::string out;
    std::uint32_t seed = 7;
    for (int i = 0; i < lines; ++i) {
        seed = seed * 1103515245u + 12345u;
        out += kLines[(seed >> 16) % (sizeof kLines / sizeof kLines[0])];
        out += '\n';
    }
    return out;
}

void BM_ExplainGccOutput10000Lines(benchmark::State& state) {
    const ExplainTable table = ParseExplainTable(ReadFile(MIREKA_DATA_DIR "/EXPLAIN.TXT"));
    if (table.entries.size() < 80) state.SkipWithError("the shipped table did not load");
    const std::string output = MakeGccOutput(10000);
    for (auto _ : state)
        benchmark::DoNotOptimize(ExplainText(table, output));
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_ExplainGccOutput10000Lines)->Unit(benchmark::kMillisecond);

} // namespace
