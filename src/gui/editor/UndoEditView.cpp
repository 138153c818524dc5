// The editor's base view.
#include "gui/editor/UndoEditView.h"

#include <QCursor>

namespace mireka {

CUndoEditView::CUndoEditView(QWidget* parent) : CEditView(parent) {}

QPoint CUndoEditView::CursorPoint() const { return viewport()->mapFromGlobal(QCursor::pos()); }

CUndoEditView::CursorLineCol CUndoEditView::GetCursorLineCol() const {
    const QPoint p = CursorPoint();
    int line = 0;
    const Offset offset = CharFromPos(p, &line);
    const TextBuffer& b = Control().Buffer();
    line = b.LineFromOffset(offset);
    const Offset start = b.LineStart(line);
    const int endX = PosFromChar(b.LineEnd(line)).x();
    return {line, offset - start, p.x() >= 0 && p.x() <= endX};
}

void CUndoEditView::SetCaretToCursor() {
    Control().SetCaret(CharFromPos(CursorPoint()));
    ScrollCaret();
}

bool CUndoEditView::IsCursorInSelection() const {
    const CursorLineCol at = GetCursorLineCol();
    return at.inLine && IsLineColInSelection(Control(), {at.line, at.column});
}

void CUndoEditView::SetHighlight(bool on) {
    highlight_ = on;
    viewport()->update();
}

} // namespace mireka
