// The editor's base view.
#include "gui/editor/UndoEditView.h"

#include <QCursor>

namespace mireka {

CUndoEditView::CUndoEditView(QWidget* parent) : CEditView(parent) {}

QPoint CUndoEditView::CursorPoint() const {
    return viewport()->mapFromGlobal(QCursor::pos());
}

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

void CUndoEditView::ShowCaretAtCursor() {
    const QPoint p = CursorPoint();
    if (!GetRect().contains(p)) return;
    ShowDropCaret(CharFromPos(p));
}

bool CUndoEditView::IsCursorInSelection() const {
    const CursorLineCol at = GetCursorLineCol();
    return at.inLine && IsLineColInSelection(Control(), {at.line, at.column});
}

void CUndoEditView::ReplaceSelWithUndo(std::string_view text) {
    history_.ReplaceSelWithUndo(Control(), text);
}

void CUndoEditView::ClearSelWithUndo() {
    history_.ClearSelWithUndo(Control());
}

void CUndoEditView::Undo() {
    history_.Undo(Control());
}

void CUndoEditView::Redo() {
    history_.Redo(Control());
}

void CUndoEditView::DeleteContents() {
    SetWindowText({});
    history_.ClearUndoHistory();
}

void CUndoEditView::OnChar(unsigned int c) {
    if (IsReadOnly()) return Beep();
    const CharAction action = recorder_.OnChar(Control(), static_cast<unsigned char>(c));
    if (action == CharAction::Ignore) return;
    PerformChar(Control(), action, static_cast<unsigned char>(c));
    AfterTyping();
}

void CUndoEditView::OnKeyDown(int vk) {
    if (vk != kVkDelete) return;
    if (IsReadOnly()) return Beep();
    recorder_.OnDeleteKey(Control());
    PerformDeleteKey(Control());
    AfterTyping();
}

void CUndoEditView::OnImeComposition(const std::string& result) {
    if (IsReadOnly()) return Beep();
    if (!recorder_.OnImeResult(Control(), result)) return;
    CEditView::OnImeComposition(result); // the bytes arrive as character messages
}

void CUndoEditView::Cut() {
    if (IsReadOnly()) return Beep();
    if (!Control().HasSelection()) return;
    recorder_.OnCut(Control());
    CEditView::Cut();
}

void CUndoEditView::Paste() {
    if (IsReadOnly()) return Beep();
    std::string bytes;
    bool present = false;
    if (!ClipboardBytes(bytes, &present)) return;
    if (!recorder_.OnPaste(Control(), std::string_view(bytes))) return;
    Control().ReplaceSel(bytes);
    ScrollCaret();
}

void CUndoEditView::Clear() {
    if (IsReadOnly()) return Beep();
    recorder_.OnClear(Control());
    ScrollCaret();
}

void CUndoEditView::SetHighlight(bool on) {
    highlight_ = on;
    viewport()->update();
}

} // namespace mireka
