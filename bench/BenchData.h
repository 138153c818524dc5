// Generated test texts for the benchmarks: C-like lines, the same bytes on every run.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace mireka::bench {

// About `bytes` of C source in lines of ~50 bytes ending in `eol`, with some Japanese text.
inline std::string MakeCSource(std::size_t bytes, const char* eol = "\n") {
    static const char* const lines[] = {
        "int main(int argc, char *argv[])",
        "{",
        "\t/* \x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x52\x83\x81\x83\x93\x83\x67 */",
        "\tprintf(\"value = %d\\n\", compute(argc, 42));",
        "\tfor (i = 0; i < count; i++) total += data[i];",
        "\treturn 0; // done",
        "}",
        "static const char *names[] = { \"alpha\", \"beta\" };",
    };
    std::string out;
    out.reserve(bytes + 128);
    std::uint32_t seed = 12345;
    while (out.size() < bytes) {
        seed = seed * 1103515245u + 12345u;
        out += lines[(seed >> 16) % 8];
        out += eol;
    }
    return out;
}

// Writes `bytes` to a file in the temporary folder once per process and returns its path.
inline std::string TempFile(const std::string& name, const std::string& bytes) {
    const std::string path = "/tmp/mireka-bench-" + name;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path;
}

} // namespace mireka::bench
