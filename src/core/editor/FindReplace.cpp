// Find and replace: a scan for the rarest byte of the search text over windows of the buffer,
// verifying the whole text and the character boundaries only where that byte occurs.
#include "core/editor/FindReplace.h"

#include "core/base/Dbcs.h"
#include "core/editor/TextNav.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace mireka {

namespace {

// Windows start small because replace-all searches again after every replacement and the next
// occurrence is usually near; they grow so that a long search costs one copy of each byte.
constexpr Offset kFirstWindow = 2048;
constexpr Offset kLargestWindow = 256 * 1024;

// How common a byte is in C source and its comments; 0 is the most common. Bytes not listed are
// taken as rare, except the code page's lead and trail range, common in Japanese comments.
constexpr std::string_view kByCommonness =
    " etaonisrlhdcu\t\r\nmpfgy;(),.=_b*/0\"w1v>{}x-k+<2[]&#'!:3jq%zEATSNIORLDCUPMFGYBHWVKXJQZ"
    "456789|\\?~^@$`";

int Rarity(unsigned char b) noexcept {
    const std::size_t at = kByCommonness.find(static_cast<char>(b));
    if (at != std::string_view::npos) return static_cast<int>(at);
    if (b >= 0x80) return 40;
    return 200;
}

bool IsAsciiLetter(unsigned char b) noexcept {
    return (b | 0x20) >= 'a' && (b | 0x20) <= 'z';
}

// The search text prepared for scanning. Folding applies to the single-byte ASCII letters of the
// search text as its own characters divide it; a text that matches at a character boundary has
// the same division (lead bytes compare exactly and are never letters), so a trail byte in the
// text is never folded.
class Pattern {
public:
    Pattern(std::string_view find, bool matchCase, Encoding enc)
        : find_(find), mask_(find.size(), '\0') {
        for (std::size_t i = 0; i < find.size();) {
            const std::size_t n = chars::CharLength(enc, find, i);
            if (n == 1 && !matchCase && IsAsciiLetter(static_cast<unsigned char>(find[i]))) {
                mask_[i] = 0x20;
                fold_ = true;
            }
            if (enc == Encoding::Cp932 && n == 1 && i + 1 == find.size() &&
                dbcs::IsLeadByte(find[i]))
                loneLeadAtEnd_ = true;
            i += n;
        }
        int best = -1;
        for (std::size_t i = 0; i < find.size(); ++i) {
            const auto b = static_cast<unsigned char>(find[i]);
            // A folded letter costs two scans, so it is taken only when nothing else is rarer.
            const int r = mask_[i] ? std::min(Rarity(b | 0x20), Rarity(b & ~0x20)) - 8 : Rarity(b);
            if (r > best) {
                best = r;
                anchor_ = i;
            }
        }
        const auto a = static_cast<unsigned char>(find[anchor_]);
        anchorLo_ = static_cast<char>(mask_[anchor_] ? (a | 0x20) : a);
        anchorHi_ = static_cast<char>(mask_[anchor_] ? (a & ~0x20) : a);
    }

    [[nodiscard]] std::size_t Size() const noexcept { return find_.size(); }
    [[nodiscard]] std::size_t Anchor() const noexcept { return anchor_; }
    [[nodiscard]] bool LoneLeadAtEnd() const noexcept { return loneLeadAtEnd_; }

    [[nodiscard]] bool Matches(const char* text) const noexcept {
        if (!fold_) return std::memcmp(text, find_.data(), find_.size()) == 0;
        for (std::size_t i = 0; i < find_.size(); ++i)
            if ((text[i] | mask_[i]) != (find_[i] | mask_[i])) return false;
        return true;
    }

    // First byte in [p, end) that the anchor matches, or null.
    [[nodiscard]] const char* NextAnchor(const char* p, const char* end, const char*& nextLo,
                                         const char*& nextHi) const noexcept {
        if (p >= end) return nullptr;
        if (anchorLo_ == anchorHi_)
            return static_cast<const char*>(
                std::memchr(p, anchorLo_, static_cast<std::size_t>(end - p)));
        // Each case's next hit is remembered, so a frequent case never makes a rare one rescan.
        if (nextLo != end && (nextLo == nullptr || nextLo < p)) {
            const void* h = std::memchr(p, anchorLo_, static_cast<std::size_t>(end - p));
            nextLo = h ? static_cast<const char*>(h) : end;
        }
        if (nextHi != end && (nextHi == nullptr || nextHi < p)) {
            const void* h = std::memchr(p, anchorHi_, static_cast<std::size_t>(end - p));
            nextHi = h ? static_cast<const char*>(h) : end;
        }
        const char* hit = std::min(nextLo, nextHi);
        return hit == end ? nullptr : hit;
    }

    // Last byte in [begin, p) that the anchor matches, or null.
    [[nodiscard]] const char* PrevAnchor(const char* begin, const char* p) const noexcept {
        while (p > begin) {
            --p;
            if (*p == anchorLo_ || *p == anchorHi_) return p;
        }
        return nullptr;
    }

private:
    std::string_view find_;
    std::string mask_; // 0x20 where the byte is a folded letter, else 0
    bool fold_ = false;
    bool loneLeadAtEnd_ = false;
    std::size_t anchor_ = 0;
    char anchorLo_ = 0;
    char anchorHi_ = 0;
};

// Bytes [start, start + size) of the buffer, copied; positions outside are read from the buffer.
struct Window {
    Window(const TextBuffer& b, Encoding e) : buffer(b), enc(e) {}

    const TextBuffer& buffer;
    Encoding enc;
    Offset start = 0;
    std::string bytes;

    void Load(Offset from, Offset to) {
        start = from;
        bytes.clear();
        buffer.AppendTo(bytes, from, to);
    }
    [[nodiscard]] char At(Offset pos) const noexcept {
        const Offset i = pos - start;
        return i >= 0 && i < static_cast<Offset>(bytes.size()) ? bytes[static_cast<std::size_t>(i)]
                                                               : buffer.At(pos);
    }

    // The run of lead-range bytes before `pos` pairs up from its start; a line start ends it.
    // A UTF-8 character is at most four bytes, so four on either side decide.
    [[nodiscard]] bool IsBoundary(Offset pos) const noexcept {
        if (pos <= 0 || pos >= buffer.Length()) return true;
        if (enc == Encoding::Utf8) {
            const Offset from = std::max<Offset>(0, pos - 4);
            const Offset to = std::min(buffer.Length(), pos + 4);
            char around[8];
            for (Offset q = from; q < to; ++q)
                around[q - from] = At(q);
            return chars::IsCharBoundary(
                enc, std::string_view(around, static_cast<std::size_t>(to - from)),
                static_cast<std::size_t>(pos - from));
        }
        Offset q = pos;
        while (q > 0 && dbcs::IsLeadByte(At(q - 1)))
            --q;
        if ((pos - q) % 2 == 0) return true;
        return !dbcs::IsTrailByte(At(pos));
    }
};

bool IsOccurrence(const Window& w, const Pattern& pat, Offset p) {
    if (!pat.Matches(w.bytes.data() + (p - w.start))) return false;
    const Offset end = p + static_cast<Offset>(pat.Size());
    // A lone lead byte at the end of the search text must not take a trail byte of the text.
    if (pat.LoneLeadAtEnd() && end < w.buffer.Length() && dbcs::IsTrailByte(w.At(end)))
        return false;
    // A UTF-8 search text may start or end with a stray byte that a character of the text holds.
    if (w.enc == Encoding::Utf8 && !w.IsBoundary(end)) return false;
    return w.IsBoundary(p);
}

std::optional<ByteRange> SearchDown(const TextBuffer& buffer, const Pattern& pat, Offset from,
                                    Encoding enc) {
    const auto n = static_cast<Offset>(pat.Size());
    const Offset lastStart = buffer.Length() - n;
    const auto a = static_cast<Offset>(pat.Anchor());
    Window w(buffer, enc);
    Offset size = kFirstWindow;
    for (Offset p0 = std::max<Offset>(from, 0); p0 <= lastStart;) {
        // Candidate starts [p0, p1); the loaded bytes hold each candidate and the byte after it.
        const Offset p1 = std::min(lastStart + 1, p0 + size);
        w.Load(p0, std::min(buffer.Length(), p1 + n));
        const char* base = w.bytes.data();
        const char* end = base + (p1 - p0) + a;
        const char* nextLo = nullptr;
        const char* nextHi = nullptr;
        for (const char* h = pat.NextAnchor(base + a, end, nextLo, nextHi); h;
             h = pat.NextAnchor(h + 1, end, nextLo, nextHi)) {
            const Offset p = p0 + (h - base) - a;
            if (IsOccurrence(w, pat, p)) return ByteRange{p, p + n};
        }
        p0 = p1;
        size = std::min(size * 2, kLargestWindow);
    }
    return std::nullopt;
}

std::optional<ByteRange> SearchUp(const TextBuffer& buffer, const Pattern& pat, Offset from,
                                  Encoding enc) {
    const auto n = static_cast<Offset>(pat.Size());
    const auto a = static_cast<Offset>(pat.Anchor());
    Window w(buffer, enc);
    Offset size = kFirstWindow;
    for (Offset p1 = std::min(from, buffer.Length() - n) + 1; p1 > 0;) {
        const Offset p0 = std::max<Offset>(0, p1 - size);
        w.Load(p0, std::min(buffer.Length(), p1 + n));
        const char* base = w.bytes.data();
        for (const char* h = pat.PrevAnchor(base + a, base + (p1 - p0) + a); h;
             h = pat.PrevAnchor(base + a, h)) {
            const Offset p = p0 + (h - base) - a;
            if (IsOccurrence(w, pat, p)) return ByteRange{p, p + n};
        }
        p1 = p0;
        size = std::min(size * 2, kLargestWindow);
    }
    return std::nullopt;
}

// One character on from `pos`, a multibyte character as one and CR and LF each on their own.
Offset StepAfter(const TextBuffer& buffer, Offset pos, Encoding enc) {
    if (enc == Encoding::Utf8)
        return buffer.At(pos) == '\r' ? pos + 1 : NextCharOffset(buffer, pos, enc);
    if (pos + 1 < buffer.Length() && dbcs::IsLeadByte(buffer.At(pos)) &&
        dbcs::IsTrailByte(buffer.At(pos + 1)) && IsCharBoundaryAt(buffer, pos))
        return pos + 2;
    return pos + 1;
}

Offset StepBefore(const TextBuffer& buffer, Offset pos, Encoding enc) {
    if (enc == Encoding::Utf8)
        return buffer.At(pos - 1) == '\n' ? pos - 1 : PrevCharOffset(buffer, pos, enc);
    return IsCharBoundaryAt(buffer, pos - 1) ? pos - 1 : pos - 2;
}

} // namespace

FindReplaceState& SharedFindReplaceState() {
    static FindReplaceState state;
    return state;
}

std::optional<ByteRange> SearchText(const TextBuffer& buffer, std::string_view find, Offset from,
                                    bool down, bool matchCase, Encoding enc) {
    if (find.empty() || static_cast<Offset>(find.size()) > buffer.Length()) return std::nullopt;
    const Pattern pat(find, matchCase, enc);
    return down ? SearchDown(buffer, pat, from, enc) : SearchUp(buffer, pat, from, enc);
}

bool SameAsSelected(const TextControl& ctl, std::string_view find, bool matchCase) {
    const Offset s = ctl.SelStart();
    if (ctl.SelEnd() - s != static_cast<Offset>(find.size())) return false;
    if (find.empty()) return true;
    const std::string selected = ctl.Text(s, ctl.SelEnd());
    return Pattern(find, matchCase, ctl.GetEncoding()).Matches(selected.data());
}

bool FindText(TextControl& ctl, std::string_view find, bool down, bool matchCase) {
    if (find.empty()) return false;
    const TextBuffer& buffer = ctl.Buffer();
    const Offset s = ctl.SelStart();
    Offset from = s;
    if (down) {
        if (ctl.HasSelection() && SameAsSelected(ctl, find, matchCase))
            from = StepAfter(buffer, s, ctl.GetEncoding());
    } else {
        if (s <= 0) return false;
        from = StepBefore(buffer, s, ctl.GetEncoding());
    }
    const std::optional<ByteRange> hit =
        SearchText(buffer, find, from, down, matchCase, ctl.GetEncoding());
    if (!hit) return false;
    ctl.SetSel(hit->start, hit->end);
    ctl.ScrollCaret();
    return true;
}

void OnFindNext(TextControl& ctl, FindReplaceState& state, std::string_view find, bool down,
                bool matchCase, const TextNotFoundHook& notFound) {
    state.findText = std::string(find);
    state.searchDown = down;
    state.matchCase = matchCase;
    state.encoding = ctl.GetEncoding();
    if (!FindText(ctl, state.findText, state.searchDown, state.matchCase) && notFound)
        notFound(state.findText);
}

bool InitializeReplace(TextControl& ctl, const FindReplaceState& state,
                       const TextNotFoundHook& notFound) {
    if (ctl.HasSelection() && SameAsSelected(ctl, state.findText, state.matchCase)) return true;
    // Having had to search, the press only shows what it found.
    if (!FindText(ctl, state.findText, state.searchDown, state.matchCase) && notFound)
        notFound(state.findText);
    return false;
}

void OnReplaceSel(EditSession& session, FindReplaceState& state, std::string_view find, bool down,
                  bool matchCase, std::string_view replace, const TextNotFoundHook& notFound) {
    TextControl& ctl = session.Control();
    state.findText = std::string(find);
    state.replaceText = std::string(replace);
    state.matchCase = matchCase;
    state.searchDown = down;
    state.encoding = session.GetEncoding();
    if (!InitializeReplace(ctl, state, notFound)) return;
    session.ReplaceSelWithUndo(state.replaceText);
    FindText(ctl, state.findText, state.searchDown, state.matchCase);
}

std::size_t OnReplaceAll(EditSession& session, FindReplaceState& state, std::string_view find,
                         std::string_view replace, bool matchCase,
                         const TextNotFoundHook& notFound) {
    TextControl& ctl = session.Control();
    state.findText = std::string(find);
    state.replaceText = std::string(replace);
    state.matchCase = matchCase;
    state.searchDown = true;
    state.encoding = session.GetEncoding();
    if (!InitializeReplace(ctl, state, notFound) &&
        !(ctl.HasSelection() && SameAsSelected(ctl, state.findText, state.matchCase)))
        return 0;
    std::size_t count = 0;
    do {
        session.ReplaceSelWithUndo(state.replaceText);
        ++count;
    } while (FindText(ctl, state.findText, true, state.matchCase));
    return count;
}

bool CanRepeatFind(const TextControl& ctl, const FindReplaceState& state) noexcept {
    return ctl.Length() > 0 && !state.findText.empty();
}

bool RepeatFind(TextControl& ctl, const FindReplaceState& state, const TextNotFoundHook& notFound) {
    if (!CanRepeatFind(ctl, state)) return false;
    if (FindText(ctl, state.findText, state.searchDown, state.matchCase)) return true;
    if (notFound) notFound(state.findText);
    return false;
}

} // namespace mireka
