// Japanese code detection and conversion on bytes. Long runs of ASCII are stepped over eight
// bytes at a time: the texts are mostly program text.
#include "core/document/CodeConvert.h"

#include <algorithm>
#include <cstring>

namespace mireka {

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
constexpr std::uint64_t kOnes = 0x0101010101010101ull;

std::uint64_t Load8(const char* p) noexcept {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// True when any byte of `w` equals `b` (b < 0x80).
constexpr bool HasByte(std::uint64_t w, unsigned char b) noexcept {
    const std::uint64_t x = w ^ (kOnes * b);
    return ((x - kOnes) & ~x & kHighBits) != 0;
}

// True when any byte of `w` is below `n` (n ≤ 0x80); bytes of 0x80 or more never count.
constexpr bool HasLess(std::uint64_t w, unsigned char n) noexcept {
    return ((w - kOnes * n) & ~w & kHighBits) != 0;
}

// The same, stopping also at ESC.
std::size_t SkipAsciiToEsc(std::string_view s, std::size_t i) noexcept {
    const char* p = s.data();
    const std::size_t n = s.size();
    while (i + 8 <= n) {
        const std::uint64_t w = Load8(p + i);
        if ((w & kHighBits) != 0 || HasByte(w, 0x1B)) break;
        i += 8;
    }
    while (i < n && static_cast<unsigned char>(p[i]) < 0x80 && p[i] != 0x1B)
        ++i;
    return i;
}

// The offset of the first ESC, SO or SI at or after `i`, or the size.
std::size_t FindShift(std::string_view s, std::size_t i) noexcept {
    const char* p = s.data();
    const std::size_t n = s.size();
    for (;;) {
        while (i + 8 <= n) {
            const std::uint64_t w = Load8(p + i);
            if (HasLess(w, 0x10) || HasByte(w, 0x1B)) break;
            i += 8;
        }
        if (i >= n) return n;
        const char c = p[i];
        if (c == 0x1B || c == 0x0E || c == 0x0F) return i;
        ++i;
    }
}

bool IsShiftJisPair(unsigned lead, unsigned trail) noexcept {
    return ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) &&
           ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC));
}

// The pair of bytes `b`, `c` as row and cell `j1`, `j2`. The byte arithmetic wraps, so a pair
// outside the table could give a NUL (which ends the text at the next open) or bytes that are
// no character; such a pair keeps its bytes.
void PutPair(char* out, std::size_t& w, unsigned char b, unsigned char c, unsigned j1,
             unsigned j2) noexcept {
    const std::uint16_t pair = JisToShiftJisPair(j1 & 0xFF, j2 & 0xFF);
    const bool valid = IsShiftJisPair(pair >> 8, pair & 0xFF);
    out[w++] = static_cast<char>(valid ? pair >> 8 : b);
    out[w++] = static_cast<char>(valid ? pair & 0xFF : c);
}

void PutPair(char* out, std::size_t& w, unsigned char j1, unsigned char j2) noexcept {
    PutPair(out, w, j1, j2, j1, j2);
}

// A katakana-mode byte moved up to 0xA1 … 0xDF; one that is already 0x80 or more would wrap
// (0x80 to NUL) and stays as it is.
char Katakana(char c) noexcept {
    const auto b = static_cast<unsigned char>(c);
    return static_cast<char>(b < 0x80 ? b + 0x80 : b);
}

bool StartsWith(std::string_view s, std::size_t i, std::string_view what) noexcept {
    return s.substr(i, what.size()) == what;
}

} // namespace

JapaneseEncoding DetectJapaneseEncoding(std::string_view text) noexcept {
    constexpr unsigned char kEsc = 0x1B;
    for (std::size_t i = SkipAsciiToEsc(text, 0); i < text.size(); i = SkipAsciiToEsc(text, i)) {
        const auto b = static_cast<unsigned char>(text[i]);
        // The byte after the last is the terminator, 0.
        const unsigned n = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
        if (b == kEsc) {
            if (n == '$') return JapaneseEncoding::Jis;
        } else if (b >= 0x81 && b <= 0x9F) {
            return JapaneseEncoding::ShiftJis;
        } else if (b >= 0xA1 && b <= 0xDF) {
            return JapaneseEncoding::EucJp;
        } else if (n <= 0xA0) {
            return JapaneseEncoding::ShiftJis;
        } else if (b == 0xFD || b == 0xFE) {
            return JapaneseEncoding::EucJp;
        }
        ++i; // undecided: the next byte is looked at in its own right
    }
    return JapaneseEncoding::None;
}

void EucToShiftJis(std::string& text) {
    char* out = text.data();
    const std::string_view in(text);
    std::size_t r = 0, w = 0;
    while (r < in.size()) {
        const std::size_t ascii = SkipAscii(in, r);
        if (ascii > r) {
            if (w != r) std::memmove(out + w, out + r, ascii - r);
            w += ascii - r;
            r = ascii;
            if (r >= in.size()) break;
        }
        const auto b = static_cast<unsigned char>(in[r]);
        if (r + 1 >= in.size()) { // a lone last byte
            out[w++] = static_cast<char>(b);
            break;
        }
        const auto c = static_cast<unsigned char>(in[r + 1]);
        if (b == 0x8E) {
            out[w++] = static_cast<char>(c >= 0x21 && c <= 0x5F ? c + 0x80 : c);
        } else {
            PutPair(out, w, b, c, b - 0x80u, c - 0x80u);
        }
        r += 2;
    }
    text.resize(w);
}

void JisToShiftJis(std::string& text) {
    enum class Mode { Ascii, Katakana, Kanji };
    Mode mode = Mode::Ascii;
    char* out = text.data();
    const std::string_view in(text);
    const std::size_t size = in.size();
    std::size_t r = 0, w = 0;
    // Only ESC, SO and SI can change the mode, and only where a character would start.
    const auto isShift = [](char c) { return c == 0x1B || c == 0x0E || c == 0x0F; };
    while (r < size) {
        switch (mode) {
        case Mode::Ascii: {
            const std::size_t stop = FindShift(in, r);
            if (w != r) std::memmove(out + w, out + r, stop - r);
            w += stop - r;
            r = stop;
            break;
        }
        case Mode::Katakana:
            while (r < size && !isShift(in[r]))
                out[w++] = Katakana(in[r++]);
            break;
        case Mode::Kanji:
            while (r + 1 < size && !isShift(in[r])) {
                PutPair(out, w, static_cast<unsigned char>(in[r]),
                        static_cast<unsigned char>(in[r + 1]));
                r += 2;
            }
            if (r + 1 == size && !isShift(in[r])) out[w++] = in[r++]; // a lone last byte
            break;
        }
        if (r >= size) break;
        // At ESC, SO or SI.
        if (in[r] == 0x0F) {
            mode = Mode::Ascii;
            r += 1;
        } else if (in[r] == 0x0E) {
            mode = Mode::Katakana;
            r += 1;
        } else if (StartsWith(in, r, "\x1b$B") || StartsWith(in, r, "\x1b$@")) {
            mode = Mode::Kanji;
            r += 3;
        } else if (StartsWith(in, r, "\x1b(B") || StartsWith(in, r, "\x1b(J")) {
            mode = Mode::Ascii;
            r += 3;
        } else if (StartsWith(in, r, "\x1b(I")) {
            mode = Mode::Katakana;
            r += 3;
        } else if (mode == Mode::Ascii) {
            out[w++] = in[r++]; // an escape not known here is text
        } else if (mode == Mode::Katakana) {
            out[w++] = Katakana(in[r++]);
        } else if (r + 1 >= size) {
            out[w++] = in[r++];
        } else {
            PutPair(out, w, static_cast<unsigned char>(in[r]),
                    static_cast<unsigned char>(in[r + 1]));
            r += 2;
        }
    }
    text.resize(w);
}

bool ConvertJapaneseText(std::string& text) {
    switch (DetectJapaneseEncoding(text)) {
    case JapaneseEncoding::EucJp:
        EucToShiftJis(text);
        return true;
    case JapaneseEncoding::Jis:
        JisToShiftJis(text);
        return true;
    default:
        return false;
    }
}

} // namespace mireka
