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

// The length of the UTF-8 character that lead byte `b` starts and the allowed range of its
// second byte; 0 when `b` starts none.
std::size_t Utf8Length(unsigned char b, unsigned& lo, unsigned& hi) noexcept {
    lo = 0x80;
    hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) return 2;
    if (b >= 0xE0 && b <= 0xEF) {
        if (b == 0xE0)
            lo = 0xA0; // no overlong form
        else if (b == 0xED)
            hi = 0x9F; // no surrogate
        return 3;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        if (b == 0xF0)
            lo = 0x90; // no overlong form
        else if (b == 0xF4)
            hi = 0x8F; // nothing above U+10FFFF
        return 4;
    }
    return 0;
}

enum class Utf8Stop { End, Cut, Invalid };

// Steps over well-formed characters from the start of `s`; `at` is where it stopped: the end, a
// character cut by the end, or an invalid sequence.
Utf8Stop ScanUtf8(std::string_view s, std::size_t& at, bool& multibyte) noexcept {
    std::size_t i = 0;
    for (;;) {
        i = SkipAscii(s, i);
        at = i;
        if (i >= s.size()) return Utf8Stop::End;
        unsigned lo = 0, hi = 0;
        const std::size_t len = Utf8Length(static_cast<unsigned char>(s[i]), lo, hi);
        if (len == 0) return Utf8Stop::Invalid;
        const std::size_t present = std::min(len, s.size() - i);
        if (present >= 2) {
            const auto second = static_cast<unsigned char>(s[i + 1]);
            if (second < lo || second > hi) return Utf8Stop::Invalid;
        }
        for (std::size_t k = 2; k < present; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return Utf8Stop::Invalid;
        if (present < len) return Utf8Stop::Cut;
        multibyte = true;
        i += len;
    }
}

Sequence Utf8At(std::string_view s, std::size_t pos) noexcept {
    const auto b = static_cast<unsigned char>(s[pos]);
    if (b < 0x80) return {1, b};
    unsigned lo = 0;
    unsigned hi = 0;
    const std::size_t n = Utf8Length(b, lo, hi);
    if (n == 0 || pos + n > s.size()) return {};
    // The lead byte's own bits: 5, 4 or 3 of them.
    char32_t code = b & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        const auto c = static_cast<unsigned char>(s[pos + k]);
        if (c < (k == 1 ? lo : 0x80) || c > (k == 1 ? hi : 0xBF)) return {};
        code = (code << 6) | (c & 0x3F);
    }
    return {n, code};
}

std::size_t Utf8CharLength(std::string_view s, std::size_t pos) noexcept {
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
    return e == Encoding::Utf8 ? Utf8CharLength(s, pos) : dbcs::CharLength(s, pos);
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

std::size_t SkipAscii(std::string_view s, std::size_t from) noexcept {
    std::size_t i = from;
    const std::size_t n = s.size();
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        if (word & 0x8080808080808080ULL) break;
    }
    while (i < n && static_cast<unsigned char>(s[i]) < 0x80)
        ++i;
    return i;
}

void Utf8Checker::Feed(std::string_view piece) noexcept {
    if (headSize_ < sizeof head_) {
        const std::size_t take = std::min(sizeof head_ - headSize_, piece.size());
        std::memcpy(head_ + headSize_, piece.data(), take);
        headSize_ += take;
    }
    if (failed_) return;
    if (carried_ > 0) {
        unsigned lo = 0, hi = 0;
        const std::size_t len = Utf8Length(static_cast<unsigned char>(carry_[0]), lo, hi);
        const std::size_t take = std::min(len - carried_, piece.size());
        std::memcpy(carry_ + carried_, piece.data(), take);
        carried_ += take;
        piece.remove_prefix(take);
        std::size_t at = 0;
        const Utf8Stop stop = ScanUtf8(std::string_view(carry_, carried_), at, multibyte_);
        if (stop == Utf8Stop::Invalid) {
            failed_ = true;
            return;
        }
        if (stop == Utf8Stop::Cut) return; // the piece ended inside the character again
        carried_ = 0;
    }
    std::size_t at = 0;
    const Utf8Stop stop = ScanUtf8(piece, at, multibyte_);
    if (stop == Utf8Stop::Invalid) {
        failed_ = true;
    } else if (stop == Utf8Stop::Cut) {
        carried_ = piece.size() - at;
        std::memcpy(carry_, piece.data() + at, carried_);
    }
}

Utf8Check Utf8Checker::Result() const noexcept {
    Utf8Check result;
    result.bom =
        headSize_ == sizeof head_ && std::memcmp(head_, kUtf8Bom.data(), sizeof head_) == 0;
    result.valid = !failed_ && carried_ == 0;
    result.multibyte = multibyte_;
    return result;
}

Utf8Check CheckUtf8(std::string_view s) noexcept {
    Utf8Checker checker;
    checker.Feed(s);
    return checker.Result();
}

DetectedEncoding DetectEncoding(const Utf8Check& check, Encoding forAscii) noexcept {
    // A mark before bytes that are not UTF-8 is no mark: the file opens as it always did.
    if (!check.valid) return {Encoding::Cp932, false};
    if (check.bom) return {Encoding::Utf8, true};
    return {check.multibyte ? Encoding::Utf8 : forAscii, false};
}

DetectedEncoding DetectEncoding(std::string_view bytes, Encoding forAscii) noexcept {
    return DetectEncoding(CheckUtf8(bytes), forAscii);
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
