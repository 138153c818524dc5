// The main view's line-editing commands, the jump to a line, the tab insertion and the line
// indicator of the status bar; every change to the text is recorded for undo.
#pragma once

#include "core/editor/EditSession.h"

#include <string>

namespace mireka {

// The line commands and the jump are enabled only on a text that is not empty.
[[nodiscard]] bool CanEditLines(const TextControl& ctl) noexcept;

// Ctrl+D: a selection is deleted alone; otherwise the caret's line with its line break (the last
// line without the break before it). The caret ends at the start of the deleted range. The
// window may suspend painting around each of these commands.
void DeleteLine(EditSession& session);

// Ctrl+K: a selection is deleted alone; otherwise from the caret to the end of its line's text.
// Lines are never joined.
void DeleteToEndOfLine(EditSession& session);

// Ctrl+U: a selection is deleted alone; otherwise from the start of the caret's line to the caret.
void DeleteFromStartOfLine(EditSession& session);

// The number the jump dialog opens with: the 1-based line of the caret.
[[nodiscard]] int JumpDialogLine(const TextControl& ctl) noexcept;

inline constexpr int kMinJumpLine = 1;
inline constexpr int kMaxJumpLine = 9999;

// Moves the caret to the start of 1-based line `n` and scrolls it into view. False, with the
// caret left alone, when the text has no such line (the window then shows its message).
bool JumpToLine(TextControl& ctl, int n);

// Ctrl+Tab: one tab character at the caret, in place of the selection.
void InsertTab(EditSession& session);

inline constexpr int kDefaultTabWidth = 4;
inline constexpr int kMinTabWidth = 1;
inline constexpr int kMaxTabWidth = 32;

// Tab stops in dialog units for a tab width in characters (a unit is a quarter character).
[[nodiscard]] constexpr int TabStopUnits(int tabWidth) noexcept {
    return tabWidth * 4;
}

// The control reports its selection only as start ≤ end; this remembers which end moves from
// one look to the next. The values live for the process and are shared by all views.
class CaretTracker {
public:
    // The active end of the selection [s, e).
    Offset ActiveEnd(Offset s, Offset e) noexcept;

private:
    Offset prevStart_ = 0;
    Offset prevEnd_ = 0;
    bool prevEndActive_ = false;
};

struct CaretPosition {
    int line = 0;      // 1-based
    Offset column = 0; // 1-based, in bytes
    int lineCount = 0;
    friend bool operator==(const CaretPosition&, const CaretPosition&) = default;
};

[[nodiscard]] CaretPosition ComputeCaretPosition(const TextControl& ctl, CaretTracker& tracker);

// The status pane's text, " 行: %4d", in UTF-8.
[[nodiscard]] std::string LineIndicatorText(int line);

// What one idle update of the status pane asks of the window.
struct LineIndicatorUpdate {
    // The selection changed since the last update: repaint the lines of both.
    bool selectionChanged = false;
    ByteRange previousSelection;
    ByteRange selection;
    // Set when the pane's text changes.
    bool textChanged = false;
    std::string text;
    // Move the gutter's mark from one 0-based line to another.
    bool moveGutterMark = false;
    int oldMarkedLine = 0;
    int newMarkedLine = 0;
};

// The status pane's line indicator: the caret-position rule, the shown position and the line
// the gutter marks.
class LineIndicator {
public:
    LineIndicatorUpdate Update(const TextControl& ctl, bool hasGutter);
    [[nodiscard]] const CaretPosition& Shown() const noexcept { return shown_; }

private:
    CaretTracker tracker_;
    ByteRange seenSelection_;
    CaretPosition shown_;
    int markedLine_ = 0;
};

} // namespace mireka
