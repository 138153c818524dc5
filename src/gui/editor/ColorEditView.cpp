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

void CColorEditView::LineColors(int line, std::string_view text, std::size_t from, std::size_t to,
                                std::vector<ColoredRun>& runs) {
    highlighter_.SetEncoding(Session().GetEncoding());
    highlighter_.SetLineCount(GetLineCount());
    // The comment state of the following lines changed: they must be painted again.
    if (highlighter_.ColourLine(line, text, from, to)) InvalidateFrom(line + 1);
    if (!highlight_) return;
    for (const ColorSpan& s : highlighter_.Spans()) {
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
    highlighter_.SetLineCount(GetLineCount());
    const TextEdit& edit = LastEdit();
    highlighter_.TextReplaced(Control().Buffer(), edit.pos, edit.removed, edit.inserted,
                              edit.linesChanged);
    CUndoEditView::OnTextChanged();
}

} // namespace mireka
