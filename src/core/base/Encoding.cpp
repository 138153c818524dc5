// Character rules of code page 932 and UTF-8, and what a file's bytes say about their encoding.
#include "core/base/Encoding.h"

#include "core/base/Dbcs.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace mireka {

namespace {

struct CodeRange {
    char32_t first;
    char32_t last;
};

constexpr CodeRange kWide[] = {
#include "core/base/WideChars.inc"
};

bool IsWide(char32_t c) noexcept {
    const auto* it = std::upper_bound(std::begin(kWide), std::end(kWide), c,
                                      [](char32_t v, const CodeRange& r) { return v < r.first; });
    return it != std::begin(kWide) && c <= (it - 1)->last;
}

constexpr bool IsContinuation(unsigned char b) noexcept {
    return (b & 0xC0) == 0x80;
}

// The valid UTF-8 sequence at `pos`: its length and code point; length 0 when there is none.
struct Sequence {
    std::size_t length = 0;
    char32_t code = 0;
};

Sequence Utf8At(std::string_view s, std::size_t pos) noexcept {
    const auto b = static_cast<unsigned char>(s[pos]);
    if (b < 0x80) return {1, b};
    std::size_t n;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    char32_t code;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2;
        code = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        code = b & 0x0F;
        if (b == 0xE0) lo = 0xA0; // no overlong forms
        if (b == 0xED) hi = 0x9F; // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        code = b & 0x07;
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F; // nothing beyond U+10FFFF
    } else {
        return {};
    }
    if (pos + n > s.size()) return {};
    for (std::size_t k = 1; k < n; ++k) {
        const auto c = static_cast<unsigned char>(s[pos + k]);
        if (c < (k == 1 ? lo : 0x80) || c > (k == 1 ? hi : 0xBF)) return {};
        code = (code << 6) | (c & 0x3F);
    }
    return {n, code};
}

std::size_t Utf8Length(std::string_view s, std::size_t pos) noexcept {
    const std::size_t n = Utf8At(s, pos).length;
    return n == 0 ? 1 : n;
}

// The start of the character holding `pos`: a continuation byte belongs to the valid sequence
// that begins at most three bytes before it and reaches it, else stands alone.
std::size_t Utf8Start(std::string_view s, std::size_t pos) noexcept {
    if (pos == 0 || pos >= s.size() || !IsContinuation(static_cast<unsigned char>(s[pos])))
        return pos;
    for (std::size_t k = 1; k <= 3 && k <= pos; ++k) {
        const std::size_t q = pos - k;
        if (IsContinuation(static_cast<unsigned char>(s[q]))) continue;
        return Utf8At(s, q).length > k ? q : pos;
    }
    return pos;
}

} // namespace

namespace chars {

std::size_t CharLength(Encoding e, std::string_view s, std::size_t pos) noexcept {
    if (pos >= s.size()) return 0;
    return e == Encoding::Utf8 ? Utf8Length(s, pos) : dbcs::CharLength(s, pos);
}

bool IsCharBoundary(Encoding e, std::string_view s, std::size_t pos) noexcept {
    if (e == Encoding::Cp932) return dbcs::IsCharBoundary(s, pos);
    return pos >= s.size() || Utf8Start(s, pos) == pos;
}

std::size_t CharStart(Encoding e, std::string_view s, std::size_t pos) noexcept {
    return e == Encoding::Utf8 ? Utf8Start(s, pos) : dbcs::CharStart(s, pos);
}

std::size_t PrevCharPos(Encoding e, std::string_view s, std::size_t pos) noexcept {
    if (e == Encoding::Cp932) return dbcs::PrevCharPos(s, pos);
    if (pos == 0) return 0;
    return Utf8Start(s, std::min(pos, s.size()) - 1);
}

std::size_t NextCharPos(Encoding e, std::string_view s, std::size_t pos) noexcept {
    if (pos >= s.size()) return s.size();
    return pos + CharLength(e, s, pos);
}

int CharCells(Encoding e, std::string_view s, std::size_t pos) noexcept {
    if (pos >= s.size()) return 0;
    if (e == Encoding::Cp932) return static_cast<int>(dbcs::CharLength(s, pos));
    const Sequence seq = Utf8At(s, pos);
    return seq.length > 1 && IsWide(seq.code) ? 2 : 1;
}

} // namespace chars

namespace {

// The first byte of 0x80 or more, or size; ASCII runs, the bulk of source text, go eight bytes
// at a time.
std::size_t FirstNonAscii(std::string_view bytes, std::size_t from) noexcept {
    std::size_t i = from;
    const std::size_t n = bytes.size();
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        if (word & 0x8080808080808080ULL) break;
    }
    while (i < n && static_cast<unsigned char>(bytes[i]) < 0x80)
        ++i;
    return i;
}

} // namespace

bool IsValidUtf8(std::string_view bytes) noexcept {
    for (std::size_t i = FirstNonAscii(bytes, 0); i < bytes.size(); i = FirstNonAscii(bytes, i)) {
        const std::size_t len = Utf8At(bytes, i).length;
        if (len == 0) return false;
        i += len;
    }
    return true;
}

DetectedEncoding DetectEncoding(std::string_view bytes, Encoding forAscii) noexcept {
    if (bytes.starts_with(kUtf8Bom)) {
        // A mark before bytes that are not UTF-8 is no mark: the file opens as today.
        if (IsValidUtf8(bytes.substr(kUtf8Bom.size()))) return {Encoding::Utf8, true};
        return {Encoding::Cp932, false};
    }
    const std::size_t first = FirstNonAscii(bytes, 0);
    if (first == bytes.size()) return {forAscii, false};
    return {IsValidUtf8(bytes.substr(first)) ? Encoding::Utf8 : Encoding::Cp932, false};
}

std::optional<LineEnds> DetectLineEnds(std::string_view bytes) noexcept {
    bool anyLf = false;
    for (std::size_t i = bytes.find('\n'); i != std::string_view::npos;
         i = bytes.find('\n', i + 1)) {
        if (i > 0 && bytes[i - 1] == '\r') return LineEnds::CrLf;
        anyLf = true;
    }
    if (!anyLf) return std::nullopt;
    return LineEnds::Lf;
}

} // namespace mireka
