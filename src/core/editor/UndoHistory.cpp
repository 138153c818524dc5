// Recording and replay of the undo and redo lists.
#include "core/editor/UndoHistory.h"

#include "core/editor/Dbcs.h"

#include <algorithm>
#include <utility>

namespace mireka {

namespace {

// A character boundary at or before `pos`, found by stepping back over lead-range bytes only:
// the byte before such a run ends a character whatever it is. CR and LF are not lead bytes, so
// the scan never leaves the line of `pos`; a line start is always a boundary.
Offset BoundaryAtOrBefore(const TextBuffer& buf, Offset pos) {
    while (pos > 0 && dbcs::IsLeadByte(buf.At(pos - 1)))
        --pos;
    return pos;
}

ByteRange BackspaceRange(const TextControl& ctl, Offset pos) {
    if (pos < 1) return {pos, pos};
    const TextBuffer& buf = ctl.Buffer();
    if (buf.At(pos - 1) == '\n') {
        if (pos >= 2 && buf.At(pos - 2) == '\r') return {pos - 2, pos};
        return {pos - 1, pos};
    }
    const Offset from = BoundaryAtOrBefore(buf, pos - 1);
    const std::string bytes = ctl.Text(from, pos);
    const bool trail = dbcs::IsTrailAt(bytes, static_cast<std::size_t>(pos - 1 - from));
    return {trail ? pos - 2 : pos - 1, pos};
}

ByteRange DeleteRange(const TextControl& ctl, Offset pos) {
    const TextBuffer& buf = ctl.Buffer();
    if (pos < 0 || pos >= buf.Length()) return {pos, pos};
    if (buf.At(pos) == '\r') {
        if (pos + 1 < buf.Length() && buf.At(pos + 1) == '\n') return {pos, pos + 2};
        return {pos, pos + 1};
    }
    const Offset from = BoundaryAtOrBefore(buf, pos);
    // CharLength looks at the byte after `pos`: a lead byte before CR LF stays alone.
    const std::string bytes = ctl.Text(from, pos + 2);
    const bool lead = dbcs::IsLeadAt(bytes, static_cast<std::size_t>(pos - from));
    return {pos, lead ? pos + 2 : pos + 1};
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

void UndoHistory::Redo(TextControl& ctl) {
    if (redo_.empty()) return;
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
