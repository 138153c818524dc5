// The main view's line-editing commands and the line indicator.
#include "core/document/EditCommands.h"

#include <algorithm>
#include <cstdio>

namespace mireka {

namespace {

// Selects [a, b), deletes it through the history and leaves the caret at a.
void DeleteRange(EditSession& session, Offset a, Offset b) {
    TextControl& ctl = session.Control();
    ctl.SetSel(a, b);
    ctl.ScrollCaret();
    session.ClearSelWithUndo();
    ctl.SetCaret(a);
    ctl.ScrollCaret();
}

} // namespace

bool CanEditLines(const TextControl& ctl) noexcept {
    return ctl.Length() > 0;
}

void DeleteLine(EditSession& session) {
    const TextControl& ctl = session.Control();
    if (ctl.HasSelection()) {
        session.ClearSelWithUndo();
        return;
    }
    const Line line = ctl.LineFromChar(ctl.SelEnd());
    const Offset a = ctl.LineIndex(line);
    // The last line goes without the break before it, so an empty last line remains.
    const Offset b = line + 1 < Line(ctl.LineCount()) ? ctl.LineIndex(line + 1) : ctl.Length();
    DeleteRange(session, a, b);
}

void DeleteToEndOfLine(EditSession& session) {
    const TextControl& ctl = session.Control();
    if (ctl.HasSelection()) {
        session.ClearSelWithUndo();
        return;
    }
    const Offset s = ctl.SelStart();
    const Line line = ctl.LineFromChar(s);
    // The end of the line's text, before its break; a caret inside the break deletes nothing,
    // so lines are never joined.
    const Offset b = std::max(s, ctl.Buffer().LineEnd(line));
    DeleteRange(session, s, b);
}

void DeleteFromStartOfLine(EditSession& session) {
    const TextControl& ctl = session.Control();
    if (ctl.HasSelection()) {
        session.ClearSelWithUndo();
        return;
    }
    const Offset e = ctl.SelEnd();
    DeleteRange(session, ctl.LineIndex(ctl.LineFromChar(e)), e);
}

int JumpDialogLine(const TextControl& ctl) noexcept {
    return ctl.LineFromChar(-1).Index() + 1;
}

bool JumpToLine(TextControl& ctl, int n) {
    if (n < 1 || n > ctl.LineCount()) return false;
    ctl.SetCaret(ctl.LineIndex(Line(n - 1)));
    ctl.ScrollCaret();
    return true;
}

void InsertTab(EditSession& session) {
    session.ReplaceSelWithUndo("\t");
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
    const Line line = ctl.LineFromChar(p);
    return {line.Index() + 1, p - ctl.LineIndex(line) + 1, ctl.LineCount()};
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
