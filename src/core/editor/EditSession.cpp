// Editing commands over the text control: moves, selections, typing and the recorded edits.
#include "core/editor/EditSession.h"

#include "core/editor/Layout.h"
#include "core/editor/TextNav.h"

#include <algorithm>
#include <string>

namespace mireka {

EditSession::EditSession(std::size_t chunkCapacity, std::size_t undoCeiling)
    : control_(chunkCapacity), history_(undoCeiling) {}

void EditSession::SetText(TextBuffer::Builder&& built) {
    control_.SetText(std::move(built));
    goalCell_ = -1;
}

// ---- the cell grid -------------------------------------------------------------------------

double EditSession::CellOf(Offset pos) const {
    const TextBuffer& b = control_.Buffer();
    if (cellMemo_.pos == pos && cellMemo_.revision == b.Revision() &&
        cellMemo_.tabCells == tabCells_)
        return cellMemo_.cells;
    const Line line = b.LineFromOffset(pos);
    const Offset start = b.LineStart(line);
    const std::string prefix = b.Text(start, pos);
    const Cells measured =
        GetEncoding() == Encoding::Utf8
            ? cellCache_.CellOf(b, line, prefix, prefix.size(), tabCells_, GetEncoding())
            : layout::CellOfColumn(prefix, prefix.size(), tabCells_, GetEncoding());
    const auto cells = static_cast<double>(measured.Count());
    cellMemo_ = CellMemo{b.Revision(), pos, tabCells_, cells};
    return cells;
}

Offset EditSession::OffsetAtCell(Line line, double cell) const {
    const TextBuffer& b = control_.Buffer();
    line = std::clamp(line, Line(0), Line(b.LineCount() - 1));
    const std::string text = b.LineText(line);
    const std::size_t column =
        GetEncoding() == Encoding::Utf8
            ? cellCache_.ColumnAtCell(b, line, text, cell, tabCells_, GetEncoding())
            : layout::ColumnAtCell(text, cell, tabCells_, GetEncoding());
    return b.LineStart(line) + static_cast<Offset>(column);
}

layout::CellPlace EditSession::CharAtCell(Line line, std::string_view text, Cells cell) const {
    if (GetEncoding() == Encoding::Utf8)
        return cellCache_.CharAtCell(control_.Buffer(), line, text, cell, tabCells_, GetEncoding());
    return layout::CharAtCell(text, cell, tabCells_, GetEncoding());
}

Cells EditSession::LineCells(Line line, std::string_view text) const {
    if (GetEncoding() == Encoding::Utf8)
        return cellCache_.CellOf(control_.Buffer(), line, text, text.size(), tabCells_,
                                 GetEncoding());
    return layout::LineCells(text, tabCells_, GetEncoding());
}

// ---- moves and selections ------------------------------------------------------------------

Offset EditSession::WordLeft(Offset pos) const {
    const TextBuffer& b = control_.Buffer();
    const Offset start = b.LineStart(b.LineFromOffset(pos));
    if (pos == start) return PrevCharOffset(b, pos, GetEncoding());
    const std::string text = b.Text(start, pos);
    return start + static_cast<Offset>(layout::PrevWordStart(text, text.size(), GetEncoding()));
}

Offset EditSession::WordRight(Offset pos) const {
    const TextBuffer& b = control_.Buffer();
    const Line line = b.LineFromOffset(pos);
    if (pos >= b.LineEnd(line)) return NextCharOffset(b, pos, GetEncoding());
    const Offset start = b.LineStart(line);
    const std::string text = b.LineText(line);
    return start + static_cast<Offset>(layout::NextWordStart(
                       text, static_cast<std::size_t>(pos - start), GetEncoding()));
}

ByteRange EditSession::WordAround(Offset pos) const {
    const TextBuffer& b = control_.Buffer();
    const Offset start = b.LineStart(b.LineFromOffset(pos));
    const auto word = layout::WordAt(b.LineText(b.LineFromOffset(pos)),
                                     static_cast<std::size_t>(pos - start), GetEncoding());
    return {start + static_cast<Offset>(word.first), start + static_cast<Offset>(word.second)};
}

void EditSession::MoveCaret(Offset pos, bool extend, bool keepGoal) {
    const Offset anchor = extend ? control_.Anchor() : pos;
    if (!keepGoal) goalCell_ = -1;
    control_.SetSel(anchor, pos);
    control_.ScrollCaret();
}

void EditSession::MoveToLine(Line line, bool extend) {
    if (goalCell_ < 0) goalCell_ = CellOf(control_.Caret());
    MoveCaret(OffsetAtCell(line, goalCell_), extend, true);
}

void EditSession::Move(CaretMove move, bool extend) {
    const TextBuffer& b = control_.Buffer();
    const Offset caret = control_.Caret();
    const Line line = b.LineFromOffset(caret);
    switch (move) {
    case CaretMove::CharLeft:
        if (!extend && control_.HasSelection()) return MoveCaret(control_.SelStart(), false);
        return MoveCaret(PrevCharOffset(b, caret, GetEncoding()), extend);
    case CaretMove::CharRight:
        if (!extend && control_.HasSelection()) return MoveCaret(control_.SelEnd(), false);
        return MoveCaret(NextCharOffset(b, caret, GetEncoding()), extend);
    case CaretMove::WordLeft:
        return MoveCaret(WordLeft(caret), extend);
    case CaretMove::WordRight:
        return MoveCaret(WordRight(caret), extend);
    case CaretMove::LineUp:
        // On the first line the caret stays, but a selection collapses.
        if (line > Line(0)) return MoveToLine(line - 1, extend);
        return MoveCaret(caret, extend, true);
    case CaretMove::LineDown:
        if (line + 1 < Line(b.LineCount())) return MoveToLine(line + 1, extend);
        return MoveCaret(caret, extend, true);
    case CaretMove::LineStart:
        return MoveCaret(b.LineStart(line), extend);
    case CaretMove::LineEnd:
        return MoveCaret(b.LineEnd(line), extend);
    case CaretMove::TextStart:
        return MoveCaret(0, extend);
    case CaretMove::TextEnd:
        return MoveCaret(b.Length(), extend);
    }
}

void EditSession::MovePage(int rows, bool extend) {
    const TextBuffer& b = control_.Buffer();
    const Line line = b.LineFromOffset(control_.Caret());
    MoveToLine(std::clamp(line + rows, Line(0), Line(b.LineCount() - 1)), extend);
}

void EditSession::MoveTo(Offset pos, bool extend) {
    MoveCaret(pos, extend);
}

void EditSession::Select(Offset anchor, Offset caret) {
    control_.SetSel(anchor, caret);
    control_.ScrollCaret();
}

void EditSession::SelectAll() {
    control_.SelectAll();
}

void EditSession::SelectWordAt(Offset pos) {
    const ByteRange word = WordAround(pos);
    wordAnchorStart_ = word.start;
    wordAnchorEnd_ = word.end;
    Select(word.start, word.end);
}

void EditSession::DragTo(Offset pos, bool byWords) {
    if (!byWords) return Select(control_.Anchor(), pos);
    // The double-clicked word stays selected whichever way the drag goes.
    const ByteRange word = WordAround(pos);
    if (pos < wordAnchorStart_)
        Select(wordAnchorEnd_, word.start);
    else
        Select(wordAnchorStart_, std::max(wordAnchorEnd_, word.end));
}

// ---- typing --------------------------------------------------------------------------------

void EditSession::RemoveKeyRange(int key) {
    if (!control_.HasSelection()) {
        // Exactly the range the recorder noted, so that record and text cannot disagree.
        const ByteRange r = KeyDeletionRange(control_, key);
        if (r.Empty()) return;
        control_.SetSel(r.start, r.end);
    }
    control_.Clear();
}

bool EditSession::TypeChar(unsigned char c) {
    if (control_.ReadOnly()) return false;
    if (observer_) observer_->BeforeChar(c);
    const CharAction action = recorder_.OnChar(control_, c);
    if (action != CharAction::Ignore) {
        if (action == CharAction::Backspace)
            RemoveKeyRange(kKeyBackspace);
        else
            control_.ReplaceSel(action == CharAction::InsertLineBreak
                                    ? std::string_view("\r\n")
                                    : std::string_view(reinterpret_cast<const char*>(&c), 1));
        goalCell_ = -1;
        control_.ScrollCaret();
    }
    if (observer_) observer_->AfterChar(c);
    return true;
}

bool EditSession::TypeText(std::string_view bytes) {
    if (control_.ReadOnly()) return false;
    for (char b : bytes)
        TypeChar(static_cast<unsigned char>(b));
    return true;
}

bool EditSession::TypeImeResult(std::string_view bytes) {
    if (control_.ReadOnly()) return false;
    // Recorded whole here; the characters that follow are then inserted without records.
    if (recorder_.OnImeResult(control_, bytes)) TypeText(bytes);
    return true;
}

bool EditSession::DeleteForward() {
    if (control_.ReadOnly()) return false;
    recorder_.OnDeleteKey(control_);
    RemoveKeyRange(kKeyDelete);
    goalCell_ = -1;
    control_.ScrollCaret();
    return true;
}

// ---- the clipboard commands and drag and drop ---------------------------------------------

bool EditSession::Cut() {
    if (control_.ReadOnly()) return false;
    if (!control_.HasSelection()) return true;
    recorder_.OnCut(control_);
    control_.Clear();
    control_.ScrollCaret();
    return true;
}

bool EditSession::Paste(std::string_view bytes) {
    if (control_.ReadOnly()) return false;
    if (recorder_.OnPaste(control_, bytes)) control_.ReplaceSel(bytes);
    control_.ScrollCaret();
    return true;
}

bool EditSession::Clear() {
    if (control_.ReadOnly()) return false;
    recorder_.OnClear(control_);
    control_.ScrollCaret();
    return true;
}

void EditSession::MoveSelectionTo(LineCol drop) {
    const Offset dropOffset = control_.Buffer().LineStart(drop.line) + drop.column;
    if (IsLineColInSelection(control_, drop)) {
        // Onto itself: the text stays and the caret goes where it was let go.
        control_.SetCaret(dropOffset);
        control_.ScrollCaret();
        return;
    }
    const std::string text = GetSelectedLinesText(control_);
    const Offset selStart = control_.SelStart();
    ReplaceSelWithUndo({});
    // Deleting the selection shifted a place after it.
    const Offset at =
        dropOffset > selStart ? dropOffset - static_cast<Offset>(text.size()) : dropOffset;
    control_.SetCaret(at);
    ReplaceSelWithUndo(text);
    Select(at, at + static_cast<Offset>(text.size()));
}

void EditSession::InsertAndSelect(Offset at, std::string_view bytes) {
    Select(at, at);
    const Offset start = control_.Caret();
    ReplaceSelWithUndo(bytes);
    Select(start, start + static_cast<Offset>(bytes.size()));
}

} // namespace mireka
