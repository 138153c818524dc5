// The line-number gutter's arithmetic.
#include "core/editor/Gutter.h"

#include <algorithm>
#include <cstdio>

namespace mireka {

int GutterRowAt(int y, int rowHeight) noexcept {
    return y / std::max(rowHeight, 1);
}

int GutterRowCount(int clientHeight, int rowHeight) noexcept {
    return std::max(clientHeight, 0) / std::max(rowHeight, 1) + 1;
}

std::string GutterNumberText(long line) {
    char text[32];
    std::snprintf(text, sizeof text, "%4ld", line + 1);
    return text;
}

Offset EndOfLineWithBreak(const TextControl& ctl, Line line) noexcept {
    return line + 1 < Line(ctl.LineCount()) ? ctl.LineIndex(line + 1) : ctl.Length();
}

void Gutter::NotePainted(int firstVisibleLine, int rowHeight) noexcept {
    firstAtPaint_ = firstVisibleLine;
    rowHeight_ = std::max(rowHeight, 1);
}

GutterRepaint Gutter::UpdateCurrentLine(int oldLine, int newLine, int firstVisibleLine) noexcept {
    currentLine_ = newLine;
    if (firstVisibleLine != firstAtPaint_) return {};
    auto row = [&](int line) {
        const int r = line - firstAtPaint_;
        return RowSpan{r * rowHeight_, (r + 1) * rowHeight_};
    };
    return {row(oldLine), row(newLine)};
}

int Gutter::LineAt(const TextControl& ctl, int y) const noexcept {
    // Rows below the last line and points above the gutter fall on the nearest line.
    return std::clamp(GutterRowAt(y, rowHeight_) + firstAtPaint_, 0, ctl.LineCount() - 1);
}

void Gutter::ButtonDown(TextControl& ctl, int y) {
    anchorLine_ = LineAt(ctl, y);
    // A new drag starts from its own line; a value kept from the last drag would swallow the
    // first move when the pointer comes back to the line where that drag ended.
    lastDragLine_ = anchorLine_;
    ctl.SetSel(ctl.LineIndex(Line(anchorLine_)), EndOfLineWithBreak(ctl, Line(anchorLine_)));
    ctl.ScrollCaret();
}

bool Gutter::DragTo(TextControl& ctl, int y) {
    const int line = LineAt(ctl, y);
    if (line == lastDragLine_) return false;
    anchorLine_ = std::min(anchorLine_, ctl.LineCount() - 1);
    if (line < anchorLine_)
        ctl.SetSel(EndOfLineWithBreak(ctl, Line(anchorLine_)), ctl.LineIndex(Line(line)));
    else
        ctl.SetSel(ctl.LineIndex(Line(anchorLine_)), EndOfLineWithBreak(ctl, Line(line)));
    ctl.ScrollCaret();
    lastDragLine_ = line;
    return true;
}

} // namespace mireka
