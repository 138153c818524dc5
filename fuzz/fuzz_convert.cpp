// Japanese code detection and conversion, and the UTF-8 check, on arbitrary bytes: detection and
// both conversions agree with a plain byte-by-byte reading of their rules (the real ones step
// over ASCII a word at a time), output never grows, text judged neither EUC-JP nor JIS is left
// alone, and the UTF-8 check gives the same result over pieces cut anywhere as over the whole.
#include "core/document/CodeConvert.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using mireka::JapaneseEncoding;

JapaneseEncoding Detect(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        const unsigned n = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0u;
        if (b == 0x1B && n == '$') return JapaneseEncoding::Jis;
        if (b < 0x80) continue;
        if (b <= 0x9F && b >= 0x81) return JapaneseEncoding::ShiftJis;
        if (b >= 0xA1 && b <= 0xDF) return JapaneseEncoding::EucJp;
        if (n <= 0xA0) return JapaneseEncoding::ShiftJis;
        if (b == 0xFD || b == 0xFE) return JapaneseEncoding::EucJp;
    }
    return JapaneseEncoding::None;
}

// A pair outside the table keeps its bytes `b`, `c`.
void Pair(std::string& out, char b, char c, unsigned j1, unsigned j2) {
    const std::uint16_t p = mireka::JisToShiftJisPair(j1 & 0xFF, j2 & 0xFF);
    const unsigned lead = p >> 8, trail = p & 0xFF;
    if (((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) &&
        ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC))) {
        out += static_cast<char>(lead);
        out += static_cast<char>(trail);
    } else {
        out += b;
        out += c;
    }
}

std::string Euc(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80 || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const auto c = static_cast<unsigned char>(s[++i]);
        if (b == 0x8E)
            out += static_cast<char>(c >= 0x21 && c <= 0x5F ? c + 0x80 : c);
        else
            Pair(out, s[i - 1], s[i], b - 0x80, c - 0x80);
    }
    return out;
}

std::string Jis(std::string_view s) {
    enum { kAscii, kKana, kKanji } mode = kAscii;
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const std::string_view at = s.substr(i, 3);
        if (at == "\x1b$B" || at == "\x1b$@")
            mode = kKanji, i += 2;
        else if (at == "\x1b(B" || at == "\x1b(J")
            mode = kAscii, i += 2;
        else if (at == "\x1b(I")
            mode = kKana, i += 2;
        else if (s[i] == 0x0F)
            mode = kAscii;
        else if (s[i] == 0x0E)
            mode = kKana;
        else if (mode == kAscii || (mode == kKanji && i + 1 == s.size()))
            out += s[i];
        else if (mode == kKana)
            out += static_cast<unsigned char>(s[i]) < 0x80 ? static_cast<char>(s[i] + 0x80) : s[i];
        else
            Pair(out, s[i], s[i + 1], static_cast<unsigned char>(s[i]),
                 static_cast<unsigned char>(s[i + 1])),
                ++i;
    }
    return out;
}

std::size_t SkipAscii(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80)
        ++i;
    return i;
}

bool ValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t n = b < 0x80   ? 1
                              : b < 0xC0 ? 0
                              : b < 0xE0 ? 2
                              : b < 0xF0 ? 3
                              : b < 0xF8 ? 4
                                         : 0;
        if (n == 0 || i + n > s.size()) return false;
        std::uint32_t cp = n == 1 ? b : b & (0x7F >> n);
        for (std::size_t k = 1; k < n; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = cp << 6 | (c & 0x3F);
        }
        const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < least[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += n;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const JapaneseEncoding found = mireka::DetectJapaneseEncoding(text);
    if (found != Detect(text)) std::abort();
    std::string euc(text), jis(text), converted(text);
    mireka::EucToShiftJis(euc);
    mireka::JisToShiftJis(jis);
    if (euc.size() > size || jis.size() > size || euc != Euc(text) || jis != Jis(text))
        std::abort();
    // A NUL would end the text at the next open: none may appear that was not there.
    if (text.find('\0') == std::string_view::npos &&
        (euc.find('\0') != std::string::npos || jis.find('\0') != std::string::npos))
        std::abort();
    const bool changed = mireka::ConvertJapaneseText(converted);
    if (changed != (found == JapaneseEncoding::EucJp || found == JapaneseEncoding::Jis))
        std::abort();
    if (converted != (found == JapaneseEncoding::EucJp ? euc
                      : found == JapaneseEncoding::Jis ? jis
                                                       : text))
        std::abort();

    const mireka::Utf8Check whole = mireka::CheckUtf8(text);
    mireka::Utf8Checker checker;
    for (std::size_t at = 0, i = 0; at < size; ++i) {
        const std::size_t n = data[i % size] % 7 + i % 2; // every other piece may be empty
        checker.Feed(text.substr(at, n));
        at += n;
    }
    const mireka::Utf8Check pieces = checker.Result();
    if (pieces.valid != whole.valid || pieces.bom != whole.bom) std::abort();
    if (whole.valid != ValidUtf8(text)) std::abort();
    if (whole.valid &&
        (pieces.multibyte != whole.multibyte || whole.multibyte != (SkipAscii(text) < size)))
        std::abort();
    if (whole.bom != text.starts_with("\xEF\xBB\xBF")) std::abort();
    return 0;
}
