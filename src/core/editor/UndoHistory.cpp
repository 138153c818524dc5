// Recording and replay of the undo and redo lists.
#include "core/editor/UndoHistory.h"

#include "core/editor/TextNav.h"

#include <algorithm>
#include <utility>

namespace mireka {

namespace {

// One character, as the caret steps: a CR LF pair and a multibyte character are one unit, and
// a lone lead byte before a line break stands alone, so a deletion never splits either.
ByteRange BackspaceRange(const TextControl& ctl, Offset pos) {
    if (pos < 1) return {pos, pos};
    return {PrevCharOffset(ctl.Buffer(), pos, ctl.GetEncoding()), pos};
}

ByteRange DeleteRange(const TextControl& ctl, Offset pos) {
    if (pos < 0 || pos >= ctl.Length()) return {pos, pos};
    return {pos, NextCharOffset(ctl.Buffer(), pos, ctl.GetEncoding())};
}

} // namespace

ByteRange KeyDeletionRange(const TextControl& ctl, int key) {
    const Offset pos = ctl.SelStart();
    if (key == kKeyBackspace) return BackspaceRange(ctl, pos);
    if (key == kKeyDelete) return DeleteRange(ctl, pos);
    return {pos, pos};
}

UndoHistory::UndoHistory(std::size_t ceiling) noexcept
    : ceiling_(std::max<std::size_t>(ceiling, 2)) {}

void UndoHistory::Append(UndoRecord record) {
    redo_.clear();
    undo_.push_back(std::move(record));
    if (undo_.size() >= ceiling_)
        undo_.erase(undo_.begin(), undo_.begin() + static_cast<std::ptrdiff_t>(ceiling_ / 2));
}

void UndoHistory::RecordInsertion(const TextControl& ctl, std::string_view text) {
    if (text.empty()) return;
    const Offset start = ctl.SelStart();
    Append(
        {UndoKind::Insertion, start, start + static_cast<Offset>(text.size()), {}, false, false});
}

void UndoHistory::RecordTypedChar(const TextControl& ctl, unsigned char ch) {
    const Offset pos = ctl.SelStart();
    const bool blank = ch == ' ' || ch == '\t';
    if (!blank && !undo_.empty() && undo_.back().canMerge && undo_.back().end == pos) {
        ++undo_.back().end;
        redo_.clear();
        return;
    }
    Append({UndoKind::Insertion, pos, pos + 1, {}, !blank, false});
}

void UndoHistory::RecordSelectionDeletion(const TextControl& ctl) {
    const Offset start = ctl.SelStart();
    const Offset end = ctl.SelEnd();
    // An empty deletion would cost the user an Undo step that does nothing.
    if (start == end) return;
    Append({UndoKind::Deletion, start, end, ctl.Text(start, end), false, false});
}

void UndoHistory::RecordKeyDeletion(const TextControl& ctl, int key) {
    const ByteRange r = KeyDeletionRange(ctl, key);
    if (r.Empty()) return;
    Append(
        {UndoKind::Deletion, r.start, r.end, ctl.Text(r.start, r.end), false, key == kKeyDelete});
}

void UndoHistory::ReplaceSelWithUndo(TextControl& ctl, std::string_view text) {
    if (ctl.HasSelection()) RecordSelectionDeletion(ctl);
    RecordInsertion(ctl, text);
    ctl.ReplaceSel(text);
}

void UndoHistory::ReplaceSelAsOneStep(TextControl& ctl, std::string_view text) {
    const bool replacing = ctl.HasSelection();
    if (replacing) RecordSelectionDeletion(ctl);
    const std::size_t before = undo_.size();
    RecordInsertion(ctl, text);
    if (replacing && undo_.size() > before) undo_.back().joined = true;
    ctl.ReplaceSel(text);
}

void UndoHistory::ClearSelWithUndo(TextControl& ctl) {
    if (ctl.HasSelection()) RecordSelectionDeletion(ctl);
    ctl.Clear();
}

void UndoHistory::ClearUndoHistory() noexcept {
    undo_.clear();
    redo_.clear();
}

void UndoHistory::Undo(TextControl& ctl) {
    if (undo_.empty()) return;
    const bool joined = undo_.back().joined;
    UndoOne(ctl);
    if (joined && !undo_.empty()) UndoOne(ctl);
}

void UndoHistory::Redo(TextControl& ctl) {
    if (redo_.empty()) return;
    RedoOne(ctl);
    if (!redo_.empty() && redo_.back().joined) RedoOne(ctl);
}

void UndoHistory::UndoOne(TextControl& ctl) {
    UndoRecord r = std::move(undo_.back());
    undo_.pop_back();
    if (r.kind == UndoKind::Insertion) {
        r.text = ctl.Text(r.start, r.end);
        ctl.SetSel(r.start, r.end);
        ctl.ScrollCaret();
        ctl.Clear();
    } else {
        ctl.SetCaret(r.start);
        ctl.ScrollCaret();
        ctl.ReplaceSel(r.text);
        r.text.clear();
        if (r.caretAtStart) {
            ctl.SetCaret(r.start);
            ctl.ScrollCaret();
        }
    }
    redo_.push_back(std::move(r));
}

void UndoHistory::RedoOne(TextControl& ctl) {
    UndoRecord r = std::move(redo_.back());
    redo_.pop_back();
    if (r.kind == UndoKind::Insertion) {
        ctl.SetCaret(r.start);
        ctl.ScrollCaret();
        ctl.ReplaceSel(r.text);
        r.text.clear();
    } else {
        r.text = ctl.Text(r.start, r.end);
        ctl.SetSel(r.start, r.end);
        ctl.ScrollCaret();
        ctl.Clear();
    }
    // A replayed record never grows by typing, and Redo never empties the redo list or trims.
    r.canMerge = false;
    undo_.push_back(std::move(r));
}

} // namespace mireka
