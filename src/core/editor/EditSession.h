// The editing state behind an edit view: the text control, its undo history, the recorder of
// typed input and the column the caret keeps, changed through editing commands.
#pragma once

#include "core/base/Encoding.h"
#include "core/editor/InputRecorder.h"
#include "core/editor/Layout.h"
#include "core/editor/LineCellCache.h"
#include "core/editor/SelectionOps.h"
#include "core/editor/UndoHistory.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mireka {

enum class CaretMove {
    CharLeft,  // with a selection and without extending: to the selection's start
    CharRight, // likewise to its end
    WordLeft,
    WordRight,
    LineUp, // up and down keep the goal column
    LineDown,
    LineStart,
    LineEnd,
    TextStart,
    TextEnd,
};

// Told around every typed character, so that what a view adds to typing (indentation, hints)
// happens alike for keys and input-method text.
class TypingObserver {
public:
    virtual ~TypingObserver() = default;
    virtual void BeforeChar(unsigned c) = 0;
    virtual void AfterChar(unsigned c) = 0;
};

class EditSession {
public:
    explicit EditSession(std::size_t chunkCapacity = TextBuffer::kDefaultChunkCapacity,
                         std::size_t undoCeiling = UndoHistory::kDefaultCeiling);
    EditSession(const EditSession&) = delete;
    EditSession& operator=(const EditSession&) = delete;

    [[nodiscard]] TextControl& Control() noexcept { return control_; }
    [[nodiscard]] const TextControl& Control() const noexcept { return control_; }
    [[nodiscard]] const UndoHistory& History() const noexcept { return history_; }
    [[nodiscard]] const InputRecorder& Recorder() const noexcept { return recorder_; }
    void SetTypingObserver(TypingObserver* observer) noexcept { observer_ = observer; }

    // A new text, as a file is loaded; the history stays.
    void SetText(TextBuffer::Builder&& built);

    // ---- the character rules: the document's encoding --------------------------------------
    [[nodiscard]] Encoding GetEncoding() const noexcept { return control_.GetEncoding(); }
    void SetEncoding(Encoding encoding) noexcept {
        control_.SetEncoding(encoding);
        cellMemo_ = {};
    }

    // ---- the cell grid ---------------------------------------------------------------------
    [[nodiscard]] int TabCells() const noexcept { return tabCells_; }
    void SetTabCells(int cells) noexcept { tabCells_ = cells < 1 ? 1 : cells; }
    // Cells before `pos` on its line.
    [[nodiscard]] double CellOf(Offset pos) const;
    // The character boundary of `line` (clamped to the text) nearest to `cell`.
    [[nodiscard]] Offset OffsetAtCell(Line line, double cell) const;
    // The grid of `line`, whose whole text is `text`, as layout:: gives it; long UTF-8 lines
    // are measured from places kept across edits after them.
    [[nodiscard]] layout::CellPlace CharAtCell(Line line, std::string_view text, Cells cell) const;
    [[nodiscard]] Cells LineCells(Line line, std::string_view text) const;

    // ---- moves and selections; each scrolls the caret into view ----------------------------
    void Move(CaretMove move, bool extend);
    // `rows` lines down (up when negative), keeping the goal column.
    void MovePage(int rows, bool extend);
    // The caret to `pos` (a click), or the selection extended to it.
    void MoveTo(Offset pos, bool extend);
    void Select(Offset anchor, Offset caret);
    void SelectAll();
    // The word at `pos` (a double-click); a drag by words then keeps it selected.
    void SelectWordAt(Offset pos);
    // A drag selection to `pos` from the anchor, by characters or by the words met.
    void DragTo(Offset pos, bool byWords);
    // After an edit made from outside the typing commands: the caret forgets its column.
    void ForgetGoalColumn() noexcept { goalCell_ = -1; }

    // ---- typing, recorded for undo; false when the text is read-only ----------------------
    // 8 Backspace, 9 Tab, 10 and 13 a line break, else one byte of text (a double-byte
    // character comes as its lead byte, then its trail byte).
    bool TypeChar(unsigned char c);
    bool TypeText(std::string_view bytes);
    // An input-method result: one insertion, its bytes then typed as characters.
    bool TypeImeResult(std::string_view bytes);
    bool DeleteForward();
    bool DeleteBackward() { return TypeChar(kKeyBackspace); }

    // ---- the clipboard commands, recorded; false when the text is read-only ---------------
    // The bytes a copy or a cut takes: the selection's.
    [[nodiscard]] std::string SelectedText() const { return control_.SelectedText(); }
    bool Cut();
    bool Paste(std::string_view bytes);
    bool Clear();

    // ---- programmatic edits, recorded ------------------------------------------------------
    void ReplaceSelWithUndo(std::string_view text) { history_.ReplaceSelWithUndo(control_, text); }
    // One Undo takes back both the deletion and the insertion.
    void ReplaceSelAsOneStep(std::string_view text) {
        history_.ReplaceSelAsOneStep(control_, text);
    }
    void ClearSelWithUndo() { history_.ClearSelWithUndo(control_); }
    // Drag and drop: the selected text moved to `drop` (a drop onto the selection only places
    // the caret there), and `bytes` inserted at `at` and selected.
    void MoveSelectionTo(LineCol drop);
    void InsertAndSelect(Offset at, std::string_view bytes);

    void Undo() { history_.Undo(control_); }
    void Redo() { history_.Redo(control_); }
    [[nodiscard]] bool CanUndo() const noexcept { return history_.CanUndo(); }
    [[nodiscard]] bool CanRedo() const noexcept { return history_.CanRedo(); }
    void ClearUndoHistory() noexcept { history_.ClearUndoHistory(); }

private:
    void MoveCaret(Offset pos, bool extend, bool keepGoal = false);
    void MoveToLine(Line line, bool extend);
    [[nodiscard]] Offset WordLeft(Offset pos) const;
    [[nodiscard]] Offset WordRight(Offset pos) const;
    [[nodiscard]] ByteRange WordAround(Offset pos) const;
    // Removes the selection, else the character the key takes.
    void RemoveKeyRange(int key);

    TextControl control_;
    UndoHistory history_;
    InputRecorder recorder_{history_};
    TypingObserver* observer_ = nullptr;
    int tabCells_ = 8;
    double goalCell_ = -1;       // the column the caret keeps while moving up and down; -1 none
    Offset wordAnchorStart_ = 0; // the word a double-click selected
    Offset wordAnchorEnd_ = 0;
    // The last measured cell: asked for several times per key, and on a very long line each
    // measure scans it from its start.
    struct CellMemo {
        std::uint64_t revision = 0;
        Offset pos = -1;
        int tabCells = 0;
        double cells = 0;
    };
    mutable CellMemo cellMemo_;
    mutable LineCellCache cellCache_;
};

} // namespace mireka
