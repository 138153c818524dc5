// The recording rules of typed input: keyboard, input-method and clipboard input is recorded in
// the undo history before the edit session performs it, and the hooks say what it must do.
#pragma once

#include "core/editor/UndoHistory.h"

#include <optional>
#include <string_view>

namespace mireka {

// What the session does with a character after OnChar has recorded it.
enum class CharAction {
    Ignore,          // nothing: the byte was not recorded, so it must not be inserted
    InsertByte,      // replace the selection with the byte
    InsertLineBreak, // replace the selection with CR LF
    Backspace,       // clear the selection, else remove KeyDeletionRange(ctl, kKeyBackspace)
};

class InputRecorder {
public:
    explicit InputRecorder(UndoHistory& history) noexcept : history_(history) {}
    InputRecorder(const InputRecorder&) = delete;
    InputRecorder& operator=(const InputRecorder&) = delete;

    // A character message carrying one byte; a double-byte character arrives as its lead byte,
    // then its trail byte. Bytes of an input-method result come through here too.
    [[nodiscard]] CharAction OnChar(const TextControl& ctl, unsigned char c);

    // The Delete key went down; the session then clears the selection, else removes
    // KeyDeletionRange(ctl, kKeyDelete).
    void OnDeleteKey(const TextControl& ctl);

    // A composition message without a result string.
    void OnImeComposition() noexcept;

    // A composition message with a result string: `result` holds its bytes, or nothing when
    // reading it failed. Returns false when the message is consumed and the text stays as it
    // is. On true the caller hands each byte of the result to OnChar in order; they are
    // inserted as one recorded edit.
    [[nodiscard]] bool OnImeResult(const TextControl& ctl, std::optional<std::string_view> result);

    // Cut: the session then clears the selection (the window has copied it).
    void OnCut(const TextControl& ctl);

    // Paste of `clipboardText` (nothing when the clipboard could not be opened or holds no
    // text). Returns whether the session pastes: it then replaces the selection with exactly
    // that text.
    [[nodiscard]] bool OnPaste(const TextControl& ctl,
                               std::optional<std::string_view> clipboardText);

    // Clear: records and clears the selection.
    void OnClear(TextControl& ctl) { history_.ClearSelWithUndo(ctl); }

    // Bytes of the last input-method result still to come through OnChar.
    [[nodiscard]] Offset ImeSkipCount() const noexcept { return imeSkip_; }

private:
    UndoHistory& history_;
    // Lowered by 2 for a lead byte (its trail byte then passes without lowering it) and by 1 for
    // any other byte; nothing is recorded while it is 1 or more.
    Offset imeSkip_ = 0;
    bool imeTrailDue_ = false;   // the next byte is the trail of a skipped lead byte
    bool typedTrailDue_ = false; // the last recorded typed byte was a lead byte
};

} // namespace mireka
