// Generated test texts for the benchmarks: C-like lines, the same bytes on every run.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace mireka::bench {

// About `bytes` of C source in lines of ~50 bytes ending in `eol`, with some Japanese text in
// Shift_JIS, or with `utf8` in UTF-8.
inline std::string MakeCSource(std::size_t bytes, const char* eol = "\n", bool utf8 = false) {
    const char* const lines[] = {
        "int main(int argc, char *argv[])",
        "{",
        utf8 ? "\t/* \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE3\x82\xB3\xE3\x83"
               "\xA1\xE3\x83\xB3\xE3\x83\x88 */"
             : "\t/* \x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x52\x83\x81\x83\x93\x83\x67 */",
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

// The same text in EUC-JP or JIS (ISO-2022-JP), made from Shift_JIS by the standard mapping.
inline std::string ShiftJisToJapanese(const std::string& sjis, bool jis) {
    std::string out;
    out.reserve(sjis.size() + sjis.size() / 8);
    bool kanji = false;
    for (std::size_t i = 0; i < sjis.size(); ++i) {
        const auto b = static_cast<unsigned char>(sjis[i]);
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        if (lead && i + 1 < sjis.size()) {
            const auto trail = static_cast<unsigned char>(sjis[++i]);
            const unsigned k = b <= 0x9F ? b - 0x70u : b - 0xB0u;
            const unsigned j1 = trail >= 0x9F ? 2 * k : 2 * k - 1;
            const unsigned j2 = trail >= 0x9F  ? trail - 0x7Eu
                                : trail < 0x7F ? trail - 0x1Fu
                                               : trail - 0x20u;
            if (jis && !kanji) out += "\x1b$B";
            kanji = true;
            out += static_cast<char>(jis ? j1 : j1 | 0x80);
            out += static_cast<char>(jis ? j2 : j2 | 0x80);
        } else {
            if (jis && kanji) out += "\x1b(B";
            kanji = false;
            out += static_cast<char>(b);
        }
    }
    return out;
}
inline std::string ShiftJisToEuc(const std::string& sjis) {
    return ShiftJisToJapanese(sjis, false);
}
inline std::string ShiftJisToJis(const std::string& sjis) {
    return ShiftJisToJapanese(sjis, true);
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
