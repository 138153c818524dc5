// Line and column views of the selection.
#include "core/editor/SelectionOps.h"

#include <algorithm>

namespace mireka {

namespace {

LineCol ToLineCol(const TextBuffer& b, Offset pos) noexcept {
    pos = std::max<Offset>(pos, 0);
    const Line line = b.LineFromOffset(pos);
    return {line, pos - b.LineStart(line)};
}

} // namespace

SelLineCol GetSelLineCol(const TextControl& control) noexcept {
    return {ToLineCol(control.Buffer(), control.SelStart()),
            ToLineCol(control.Buffer(), control.SelEnd())};
}

bool IsLineColInSelection(const TextControl& control, LineCol at) noexcept {
    if (!control.HasSelection()) return false;
    const SelLineCol sel = GetSelLineCol(control);
    if (sel.start.line == sel.end.line)
        return at.line == sel.start.line && sel.start.column <= at.column &&
               at.column <= sel.end.column;
    if (at.line < sel.start.line || at.line > sel.end.line) return false;
    if (at.line == sel.start.line && at.column < sel.start.column) return false;
    if (at.line == sel.end.line && at.column > sel.end.column) return false;
    return true;
}

std::string GetSelectedLinesText(const TextControl& control) {
    // Read line by line as the selection is shown; no line is cut, so a move never loses text.
    const TextBuffer& b = control.Buffer();
    const SelLineCol sel = GetSelLineCol(control);
    std::string out;
    for (Line line = sel.start.line; line <= sel.end.line; ++line) {
        const Offset start = b.LineStart(line);
        const Offset from = line == sel.start.line ? start + sel.start.column : start;
        const Offset to = line == sel.end.line ? start + sel.end.column : b.LineEnd(line);
        b.AppendTo(out, from, to);
        if (line != sel.end.line) out += "\r\n";
    }
    return out;
}

void SetCaretLineCol(TextControl& control, Line line, Offset column) {
    const TextBuffer& b = control.Buffer();
    line = std::clamp(line, Line(0), Line(b.LineCount() - 1));
    control.SetCaret(std::min(b.LineStart(line) + std::max<Offset>(column, 0), b.Length()));
    control.ScrollCaret();
}

} // namespace mireka
