// The colouring view.
#include "gui/editor/ColorEditView.h"

#include <algorithm>
#include <climits>

namespace mireka {

CColorEditView::CColorEditView(QWidget* parent) : CUndoEditView(parent) {
    highlight_ = true;
}

void CColorEditView::SetColors(Colour keyword, Colour string, Colour comment, Colour text,
                               Colour background) {
    keyword_ = ToQColor(keyword).rgb();
    string_ = ToQColor(string).rgb();
    comment_ = ToQColor(comment).rgb();
    SetTextColors(ToQColor(text), ToQColor(background));
}

namespace {
// Lines at least this long keep their spans until the text changes.
constexpr std::size_t kLongLineBytes = 64 * 1024;
} // namespace

std::optional<std::uint32_t> CColorEditView::LongLineColors(int line, std::string_view text,
                                                            std::size_t from, std::size_t to) {
    const std::uint32_t state = states_.Get(line);
    LongLineMemo& m = longLine_;
    if (m.line != line || m.state != state) {
        m = LongLineMemo{line, state, {LexPoint{0, state}}, false, 0};
    }
    const auto at = static_cast<std::int32_t>(std::min<std::size_t>(from, INT32_MAX));
    auto resume = std::upper_bound(m.points.begin(), m.points.end(), at,
                                   [](std::int32_t o, const LexPoint& p) { return o < p.offset; });
    const LexPoint start = *(resume - 1);
    std::vector<LexPoint> found;
    const LexStop stop =
        ColorizeRange(text, start, static_cast<std::int32_t>(std::min<std::size_t>(to, INT32_MAX)),
                      spans_, &found);
    auto keep = [&m](const std::vector<LexPoint>& more) {
        for (const LexPoint& p : more)
            if (p.offset > m.points.back().offset) m.points.push_back(p);
    };
    keep(found);
    if (stop.atEnd) {
        m.endKnown = true;
        m.next = stop.at.state;
    }
    // The next line's state needs the whole line, but only when there is a next line; what is
    // learnt on the way makes later paints cheap.
    if (!m.endKnown && line + 1 < GetLineCount()) {
        std::vector<ColorSpan> unused;
        found.clear();
        const LexStop end = ColorizeRange(text, m.points.back(), INT32_MAX, unused, &found);
        keep(found);
        m.endKnown = true;
        m.next = end.at.state;
    }
    if (!m.endKnown) return std::nullopt;
    return m.next;
}

void CColorEditView::LineColors(int line, std::string_view text, std::size_t from, std::size_t to,
                                std::vector<ColoredRun>& runs) {
    const int count = GetLineCount();
    if (states_.Size() != count + 1) states_.Resize(count + 1);
    std::optional<std::uint32_t> next = states_.Get(line);
    if (text.size() >= kLongLineBytes) {
        next = LongLineColors(line, text, from, to);
    } else if (!text.empty()) {
        next = ColorizeLine(text, states_.Get(line), spans_);
    } else {
        spans_.clear();
    }
    if (next && states_.Get(line + 1) != *next) {
        // The comment state of the following lines changed: they must be painted again.
        states_.Set(line + 1, *next);
        InvalidateFrom(line + 1);
    }
    if (!highlight_) return;
    for (const ColorSpan& s : spans_) {
        QRgb color;
        switch (s.cls) {
        case ColorClass::Keyword:
            color = keyword_;
            break;
        case ColorClass::Comment:
            color = comment_;
            break;
        case ColorClass::String:
            color = string_;
            break;
        default:
            continue;
        }
        runs.push_back({s.start, s.end, color});
    }
}

void CColorEditView::OnTextChanged() {
    const int count = GetLineCount();
    if (states_.Size() != count + 1) states_.Resize(count + 1);
    // Resume points before the edit stay valid; an edit before the line may have moved it.
    LongLineMemo& m = longLine_;
    if (m.line >= 0) {
        const TextBuffer& b = Control().Buffer();
        const Offset start = m.line < b.LineCount() ? b.LineStart(m.line) : -1;
        const Offset edit = LastEditPos() - start;
        if (start < 0 || edit < 0) {
            m.line = -1;
        } else if (edit <= b.LineLength(m.line)) {
            while (m.points.size() > 1 && m.points.back().offset > edit)
                m.points.pop_back();
            m.endKnown = false;
        }
    }
    CUndoEditView::OnTextChanged();
}

} // namespace mireka
