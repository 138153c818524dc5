// The colouring view.
#include "gui/editor/ColorEditView.h"

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

void CColorEditView::LineColors(int line, std::string_view text, std::vector<ColoredRun>& runs) {
    const int count = GetLineCount();
    if (states_.Size() != count + 1) states_.Resize(count + 1);
    const std::uint32_t state = states_.Get(line);
    const std::vector<ColorSpan>* spans = &spans_;
    std::uint32_t next = state;
    if (text.size() >= kLongLineBytes) {
        const std::uint64_t revision = Control().Buffer().Revision();
        LongLineMemo& m = longLine_;
        if (m.line != line || m.revision != revision || m.state != state) {
            m.line = line;
            m.revision = revision;
            m.state = state;
            m.next = ColorizeLine(text, state, m.spans);
        }
        next = m.next;
        spans = &m.spans;
    } else if (!text.empty()) {
        next = ColorizeLine(text, state, spans_);
    } else {
        spans_.clear();
    }
    if (states_.Get(line + 1) != next) {
        // The comment state of the following lines changed: they must be painted again.
        states_.Set(line + 1, next);
        InvalidateFrom(line + 1);
    }
    if (!highlight_) return;
    for (const ColorSpan& s : *spans) {
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
    CUndoEditView::OnTextChanged();
}

} // namespace mireka
