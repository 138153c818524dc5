// The manual viewer's pieces, index lines, search and copied text.
#include "core/app/Manual.h"

#include "core/base/Dbcs.h"
#include "core/base/Text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace mireka {

namespace {

bool IsIdentifierByte(unsigned char b) noexcept {
    return b == '_' || (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

// CR LF becomes LF in place, as a text-mode read gives it; a lone CR stays.
void ToTextMode(std::string& bytes) {
    const std::size_t first = bytes.find("\r\n");
    if (first == std::string::npos) return;
    std::size_t out = first;
    for (std::size_t in = first; in < bytes.size(); ++in) {
        if (bytes[in] == '\r' && in + 1 < bytes.size() && bytes[in + 1] == '\n') continue;
        bytes[out++] = bytes[in];
    }
    bytes.resize(out);
}

// Calls `piece(start, length)` for each piece of `bytes`, which is in text-mode form.
template <typename F>
void ForEachPiece(std::string_view bytes, F&& piece) {
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t room = std::min(kManualPieceBytes, bytes.size() - start);
        const void* lf = std::memchr(bytes.data() + start, '\n', room);
        if (lf) {
            const auto length =
                static_cast<std::size_t>(static_cast<const char*>(lf) - (bytes.data() + start));
            piece(start, length);
            start += length + 1;
        } else {
            // A full piece without its line feed: the line feed, when it comes next, ends a
            // piece of its own, an empty one.
            piece(start, room);
            start += room;
        }
    }
}

} // namespace

ManualLines::ManualLines(std::string bytes) : bytes_(std::move(bytes)) {
    ToTextMode(bytes_);
    // Most lines are far shorter than a piece; a guess saves regrowing for big manuals.
    pieces_.reserve(bytes_.size() / 48 + 1);
    ForEachPiece(bytes_, [this](std::size_t start, std::size_t length) {
        pieces_.push_back({start, static_cast<std::uint32_t>(length)});
        widest_ = std::max(widest_, length);
    });
}

std::size_t CountManualPieces(std::string_view bytes) noexcept {
    std::size_t n = 0;
    ForEachPiece(bytes, [&n](std::size_t, std::size_t) { ++n; });
    return n;
}

std::string FormatManualItem(long number, std::string_view text) {
    char digits[32];
    const int n = std::snprintf(digits, sizeof digits, "%05ld| ", number);
    std::string out(digits, static_cast<std::size_t>(n));
    out += text;
    return out;
}

std::optional<std::size_t> FindManualNumber(std::size_t count, std::size_t from,
                                            std::string_view digits, bool whole,
                                            bool wrap) noexcept {
    // Every number below 10^19 fits; no list comes near.
    constexpr std::size_t kWidest = 19;
    if (digits.empty() || digits.size() > kWidest || from >= count) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    const auto power = [](std::size_t n) {
        std::uint64_t p = 1;
        for (std::size_t i = 0; i < n; ++i)
            p *= 10;
        return p;
    };
    const std::uint64_t last = count - 1;
    std::optional<std::size_t> first, next;
    // The ranges rise with the width: "%05ld" pads below 100000 only.
    for (std::size_t width = 5; width <= kWidest; ++width) {
        const std::uint64_t narrowest = width == 5 ? 0 : power(width - 1);
        if (narrowest > last) break;
        if (digits.size() > width || (whole && digits.size() != width)) continue;
        const std::uint64_t scale = power(width - digits.size());
        const std::uint64_t low = std::max(value * scale, narrowest);
        const std::uint64_t high = std::min({(value + 1) * scale - 1, power(width) - 1, last});
        if (low > high) continue;
        if (!first) first = static_cast<std::size_t>(low);
        if (!next && high >= from)
            next = static_cast<std::size_t>(std::max<std::uint64_t>(low, from));
    }
    if (next) return next;
    return wrap ? first : std::nullopt;
}

std::string ManualCopyText(std::string_view line) {
    std::size_t first = 0;
    std::size_t last = line.size();
    while (first < last && IsWhiteSpace(line[first]))
        ++first;
    while (last > first && IsWhiteSpace(line[last - 1]))
        --last;
    return std::string(line.substr(first, last - first));
}

std::optional<ManualIndexEntry> ParseManualIndexLine(std::string_view piece) {
    std::size_t i = 0;
    while (i < piece.size() && IsWhiteSpace(piece[i]))
        ++i;
    const std::size_t numberStart = i;
    if (i < piece.size() && (piece[i] == '+' || piece[i] == '-')) ++i;
    const std::size_t digitsStart = i;
    while (i < piece.size() && piece[i] >= '0' && piece[i] <= '9')
        ++i;
    if (i == digitsStart || i >= piece.size() || piece[i] != ',') return std::nullopt;
    const std::string number(piece.substr(numberStart, i - numberStart));
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(number.c_str(), &end, 10);
    if (errno == ERANGE || end != number.c_str() + number.size()) return std::nullopt;
    ++i; // the comma
    while (i < piece.size() && IsWhiteSpace(piece[i]))
        ++i;
    const std::size_t textStart = i;
    while (i < piece.size() && !IsWhiteSpace(piece[i]) && piece[i] != '\0')
        ++i;
    if (i == textStart) return std::nullopt;
    return ManualIndexEntry{value, std::string(piece.substr(textStart, i - textStart))};
}

ManualIndex ParseManualIndex(std::string bytes) {
    ManualIndex index;
    const ManualLines pieces(std::move(bytes));
    index.entries.reserve(pieces.size());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (auto entry = ParseManualIndexLine(pieces.Line(i)))
            index.entries.push_back(std::move(*entry));
        else
            ++index.skipped;
    }
    return index;
}

std::string FoldManualText(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size();) {
        const std::size_t len = dbcs::CharLength(out, i);
        if (len == 1 && out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] + 32);
        i += len;
    }
    return out;
}

ManualIndexSearch::ManualIndexSearch(const std::vector<ManualIndexEntry>& entries) {
    folded_.reserve(entries.size());
    for (const ManualIndexEntry& e : entries)
        folded_.push_back(FoldManualText(e.text));
}

std::optional<std::size_t> ManualIndexSearch::FindPrefix(std::string_view typed) const {
    if (typed.empty()) return std::nullopt;
    const std::string key = FoldManualText(typed);
    for (std::size_t i = 0; i < folded_.size(); ++i) {
        const std::string& text = folded_[i];
        // The typed text ends at a character boundary; so must the match in the entry.
        if (text.size() >= key.size() && text.compare(0, key.size(), key) == 0 &&
            dbcs::IsCharBoundary(text, key.size()))
            return i;
    }
    return std::nullopt;
}

std::string IdentifierAt(std::string_view line, std::size_t column) {
    column = std::min(column, line.size());
    // Forward from the line start, the one place known to be a character boundary: a trail
    // byte may look like a letter.
    std::size_t runStart = 0;
    bool inRun = false;
    for (std::size_t i = 0; i <= line.size();) {
        const std::size_t len = i < line.size() ? dbcs::CharLength(line, i) : 1;
        const bool ident =
            i < line.size() && len == 1 && IsIdentifierByte(static_cast<unsigned char>(line[i]));
        if (ident && !inRun) {
            runStart = i;
            inRun = true;
        } else if (!ident && inRun) {
            // The run [runStart, i) touches the caret when the caret is inside it or at its end.
            if (column >= runStart && column <= i)
                return std::string(line.substr(runStart, i - runStart));
            inRun = false;
        }
        if (i > column && !inRun) break;
        i += len;
    }
    return {};
}

} // namespace mireka
