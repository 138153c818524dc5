// The main view's line-editing commands and the line indicator.
#include "core/document/EditCommands.h"

#include <algorithm>
#include <cstdio>

namespace mireka {

namespace {

// Selects [a, b), deletes it through the history and leaves the caret at a.
void DeleteRange(TextControl& ctl, UndoHistory& history, Offset a, Offset b) {
    ctl.SetSel(a, b);
    ctl.ScrollCaret();
    history.ClearSelWithUndo(ctl);
    ctl.SetCaret(a);
    ctl.ScrollCaret();
}

} // namespace

bool CanEditLines(const TextControl& ctl) noexcept {
    return ctl.Length() > 0;
}

void DeleteLine(TextControl& ctl, UndoHistory& history) {
    if (ctl.HasSelection()) {
        history.ClearSelWithUndo(ctl);
        return;
    }
    const int line = ctl.LineFromChar(ctl.SelEnd());
    const Offset a = ctl.LineIndex(line);
    // The last line goes without the break before it, so an empty last line remains.
    const Offset b = line + 1 < ctl.LineCount() ? ctl.LineIndex(line + 1) : ctl.Length();
    DeleteRange(ctl, history, a, b);
}

void DeleteToEndOfLine(TextControl& ctl, UndoHistory& history) {
    if (ctl.HasSelection()) {
        history.ClearSelWithUndo(ctl);
        return;
    }
    const Offset s = ctl.SelStart();
    const int line = ctl.LineFromChar(s);
    // The end of the line's text, before its break; a caret inside the break deletes nothing,
    // so lines are never joined.
    const Offset b = std::max(s, ctl.Buffer().LineEnd(line));
    DeleteRange(ctl, history, s, b);
}

void DeleteFromStartOfLine(TextControl& ctl, UndoHistory& history) {
    if (ctl.HasSelection()) {
        history.ClearSelWithUndo(ctl);
        return;
    }
    const Offset e = ctl.SelEnd();
    DeleteRange(ctl, history, ctl.LineIndex(ctl.LineFromChar(e)), e);
}

int JumpDialogLine(const TextControl& ctl) noexcept {
    return ctl.LineFromChar(-1) + 1;
}

bool JumpToLine(TextControl& ctl, int n) {
    if (n < 1 || n > ctl.LineCount()) return false;
    ctl.SetCaret(ctl.LineIndex(n - 1));
    ctl.ScrollCaret();
    return true;
}

void InsertTab(TextControl& ctl, UndoHistory& history) {
    history.ReplaceSelWithUndo(ctl, "\t");
}

Offset CaretTracker::ActiveEnd(Offset s, Offset e) noexcept {
    bool endActive;
    if (s == prevStart_ && e != prevEnd_)
        endActive = true;
    else if (s == prevStart_)
        endActive = prevEndActive_;
    else
        endActive = !(e == prevEnd_ || e == prevStart_);
    prevStart_ = s;
    prevEnd_ = e;
    prevEndActive_ = endActive;
    return endActive ? e : s;
}

CaretPosition ComputeCaretPosition(const TextControl& ctl, CaretTracker& tracker) {
    const Offset p = tracker.ActiveEnd(ctl.SelStart(), ctl.SelEnd());
    const int line = ctl.LineFromChar(p);
    return {line + 1, p - ctl.LineIndex(line) + 1, ctl.LineCount()};
}

std::string LineIndicatorText(int line) {
    char text[48];
    std::snprintf(text, sizeof text, " \xE8\xA1\x8C: %4d", line); // " 行: %4d"
    return text;
}

LineIndicatorUpdate LineIndicator::Update(const TextControl& ctl, bool hasGutter) {
    LineIndicatorUpdate u;
    const ByteRange sel{ctl.SelStart(), ctl.SelEnd()};
    if (sel.start != seenSelection_.start || sel.end != seenSelection_.end) {
        u.selectionChanged = true;
        u.previousSelection = seenSelection_;
        u.selection = sel;
        seenSelection_ = sel;
    }
    const CaretPosition pos = ComputeCaretPosition(ctl, tracker_);
    if (pos == shown_) return u;
    shown_ = pos;
    u.textChanged = true;
    u.text = LineIndicatorText(pos.line);
    if (hasGutter && markedLine_ != pos.line - 1) {
        u.moveGutterMark = true;
        u.oldMarkedLine = markedLine_;
        u.newMarkedLine = pos.line - 1;
        markedLine_ = pos.line - 1;
    }
    return u;
}

} // namespace mireka
