// The editor's multi-level undo and redo: every edit is recorded before the text changes, and
// Undo and Redo replay the records directly against the text control.
#pragma once

#include "core/editor/TextControl.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mireka {

inline constexpr int kKeyBackspace = 8; // character code
inline constexpr int kKeyDelete = 46;   // virtual-key code

enum class UndoKind : std::int32_t { Deletion = 0, Insertion = 1 };

struct UndoRecord {
    UndoKind kind = UndoKind::Insertion;
    Offset start = 0;
    // One past the edit; for a deletion the end of the removed range before removal.
    Offset end = 0;
    // In the undo list a deletion carries the removed bytes and an insertion nothing; in the
    // redo list the reverse. Undo and Redo fill and empty it as they move the record across.
    std::string text;
    // Set only on an insertion made by typing one non-blank character: the next typed
    // character right after it extends this record.
    bool canMerge = false;
    // Set only on a deletion made by the Delete key: undoing it leaves the caret at `start`.
    bool caretAtStart = false;
    // Set only on the insertion of a replacement meant as one step (a conversion of the whole
    // text): Undo and Redo take it together with the deletion recorded right before it.
    bool joined = false;

    bool operator==(const UndoRecord&) const = default;
};

struct ByteRange {
    Offset start = 0;
    Offset end = 0;
    [[nodiscard]] bool Empty() const noexcept { return start == end; }
};

// The bytes that Backspace (kKeyBackspace) or Delete (kKeyDelete) removes at the selection start
// when nothing is selected: one character, where a CR LF pair and a double-byte character count
// as one. Empty at the ends of the text. The control performs exactly this range, so that what
// is recorded and what is removed cannot disagree.
[[nodiscard]] ByteRange KeyDeletionRange(const TextControl& ctl, int key);

class UndoHistory {
public:
    // An append that brings the undo list to this size drops its oldest half at once.
    static constexpr std::size_t kDefaultCeiling = 2147483647;

    // `ceiling` is injectable so that tests reach it; values below 2 are taken as 2.
    explicit UndoHistory(std::size_t ceiling = kDefaultCeiling) noexcept;
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;

    // The recorders note an edit about to be made at the control's selection; they never touch
    // the text. Each empties the redo list when it records something.
    void RecordInsertion(const TextControl& ctl, std::string_view text);
    void RecordTypedChar(const TextControl& ctl, unsigned char ch);
    void RecordSelectionDeletion(const TextControl& ctl);
    void RecordKeyDeletion(const TextControl& ctl, int key);

    // The one way programmatic edits change the text: records, then replaces the selection.
    void ReplaceSelWithUndo(TextControl& ctl, std::string_view text);
    // The same, but one Undo takes back both the deletion and the insertion. Every other replace
    // is two steps.
    void ReplaceSelAsOneStep(TextControl& ctl, std::string_view text);
    void ClearSelWithUndo(TextControl& ctl);
    void ClearUndoHistory() noexcept;

    void Undo(TextControl& ctl);
    void Redo(TextControl& ctl);
    [[nodiscard]] bool CanUndo() const noexcept { return !undo_.empty(); }
    [[nodiscard]] bool CanRedo() const noexcept { return !redo_.empty(); }

    // Oldest first; the newest record is the last element.
    [[nodiscard]] const std::vector<UndoRecord>& UndoList() const noexcept { return undo_; }
    [[nodiscard]] const std::vector<UndoRecord>& RedoList() const noexcept { return redo_; }

private:
    void Append(UndoRecord record);
    void UndoOne(TextControl& ctl);
    void RedoOne(TextControl& ctl);

    std::size_t ceiling_;
    std::vector<UndoRecord> undo_; // size stays below ceiling_
    std::vector<UndoRecord> redo_;
};

} // namespace mireka
