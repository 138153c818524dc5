// The colouring of a text as it is shown.
#include "core/editor/Highlighter.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace mireka {

void Highlighter::SetLineCount(int count) {
    lineCount_ = count;
    if (states_.Size() != count + 1) states_.Resize(count + 1);
}

void Highlighter::SetEncoding(Encoding enc) {
    if (enc == enc_) return;
    enc_ = enc;
    longLine_ = LongLineMemo{};
    states_ = LineStates{};
    states_.Resize(lineCount_ + 1);
}

namespace {
// For upper_bound over resume points by offset.
constexpr auto kBeforePoint = [](std::int32_t offset, const LexPoint& p) {
    return offset < p.offset;
};
} // namespace

void Highlighter::CheckMovedPoints(std::string_view text, std::int32_t upTo) {
    LongLineMemo& m = longLine_;
    std::vector<ColorSpan> unused;
    while (m.unchecked < m.points.size() && m.points[m.unchecked].offset <= upTo) {
        const LexPoint from = m.points[m.unchecked - 1];
        const LexPoint moved = m.points[m.unchecked];
        std::vector<LexPoint> found;
        const LexStop stop = ColorizeRange(text, from, moved.offset, unused, &found, 4096, enc_);
        if (!stop.atEnd && stop.at.offset == moved.offset && stop.at.state == moved.state) {
            // Lexing meets the old lexing again after every edit: the rest is as it was.
            m.unchecked = m.points.size();
            return;
        }
        // The moved points up to where lexing stopped are gone; what was found replaces them.
        auto past = std::upper_bound(m.points.begin() + static_cast<std::ptrdiff_t>(m.unchecked),
                                     m.points.end(), stop.at.offset, kBeforePoint);
        if (!stop.atEnd) found.push_back(stop.at);
        const auto at =
            m.points.erase(m.points.begin() + static_cast<std::ptrdiff_t>(m.unchecked), past);
        m.points.insert(at, found.begin(), found.end());
        m.unchecked += found.size();
        if (stop.atEnd) {
            m.points.resize(m.unchecked);
            m.endKnown = true;
            m.next = stop.at.state;
        }
    }
}

std::optional<std::uint32_t> Highlighter::LongLineColors(int line, std::string_view text,
                                                         std::size_t from, std::size_t to) {
    const std::uint32_t state = states_.Get(line);
    LongLineMemo& m = longLine_;
    if (m.line != line || m.state != state) m = LongLineMemo{line, state, {LexPoint{0, state}}};
    const auto first = static_cast<std::int32_t>(std::min<std::size_t>(from, INT32_MAX));
    CheckMovedPoints(text, first);
    const auto checked = m.points.begin() + static_cast<std::ptrdiff_t>(m.unchecked);
    const auto resume = std::upper_bound(m.points.begin(), checked, first, kBeforePoint);
    std::vector<LexPoint> found;
    const LexStop stop = ColorizeRange(
        text, *(resume - 1), static_cast<std::int32_t>(std::min<std::size_t>(to, INT32_MAX)),
        spans_, &found, 4096, enc_);
    const bool allChecked = m.unchecked == m.points.size();
    auto keep = [&m](const std::vector<LexPoint>& more) {
        for (const LexPoint& p : more)
            if (p.offset > m.points.back().offset) m.points.push_back(p);
        m.unchecked = m.points.size();
    };
    if (allChecked) keep(found);
    if (stop.atEnd && allChecked) {
        m.endKnown = true;
        m.next = stop.at.state;
    }
    // The next line's state needs the whole line, but only when there is a next line. After an
    // edit, lexing usually meets the old lexing again within a few kilobytes.
    if (line + 1 < lineCount_) {
        CheckMovedPoints(text, INT32_MAX);
        if (!m.endKnown) {
            std::vector<ColorSpan> unused;
            found.clear();
            const LexStop end =
                ColorizeRange(text, m.points.back(), INT32_MAX, unused, &found, 4096, enc_);
            keep(found);
            m.endKnown = true;
            m.next = end.at.state;
        }
    }
    if (!m.endKnown || m.unchecked < m.points.size()) return std::nullopt;
    return m.next;
}

bool Highlighter::ColourLine(int line, std::string_view text, std::size_t from, std::size_t to) {
    std::optional<std::uint32_t> next = states_.Get(line);
    if (text.size() >= kLongLineBytes) {
        next = LongLineColors(line, text, from, to);
    } else if (!text.empty()) {
        next = ColorizeLine(text, states_.Get(line), spans_, enc_);
    } else {
        spans_.clear();
    }
    if (!next || states_.Get(line + 1) == *next) return false;
    states_.Set(line + 1, *next);
    return true;
}

void Highlighter::TextReplaced(const TextBuffer& b, Offset pos, Offset removed, Offset inserted,
                               bool linesChanged) {
    LongLineMemo& m = longLine_;
    if (m.line < 0) return;
    const Offset start = m.line < b.LineCount() ? b.LineStart(Line(m.line)) : -1;
    const Offset at = pos - start;
    if (start < 0 || at < 0) {
        m.line = -1;
    } else if (at <= b.LineLength(Line(m.line))) {
        // Points still unchecked from an earlier edit lie after it; those before this one could
        // no longer prove anything and go.
        std::vector<LexPoint> kept;
        std::size_t unchecked = SIZE_MAX;
        const Offset shift = inserted - removed;
        for (std::size_t i = 0; i < m.points.size(); ++i) {
            const LexPoint p = m.points[i];
            if (p.offset <= at) {
                if (i < m.unchecked) kept.push_back(p);
            } else if (!linesChanged && p.offset > at + removed) {
                unchecked = std::min(unchecked, kept.size());
                kept.push_back({static_cast<std::int32_t>(p.offset + shift), p.state});
            }
        }
        m.points = std::move(kept);
        m.unchecked = std::min(unchecked, m.points.size());
        if (m.unchecked == m.points.size()) m.endKnown = false;
    }
}

} // namespace mireka
