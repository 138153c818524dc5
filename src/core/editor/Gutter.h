// The line-number gutter's arithmetic: rows and the lines they show, whole-line selection by
// pressing and dragging, and which rows to repaint when the caret's line changes.
#pragma once

#include "core/editor/TextControl.h"

#include <optional>
#include <string>

namespace mireka {

// Row under `y` for rows of `rowHeight` pixels. The division truncates toward zero, so a point
// a little above the gutter still gives row 0.
[[nodiscard]] int GutterRowAt(int y, int rowHeight) noexcept;

// Rows a paint draws for a client area `clientHeight` pixels high: one more than fit whole.
[[nodiscard]] int GutterRowCount(int clientHeight, int rowHeight) noexcept;

// The number shown for a 0-based line, formatted as "%4ld"; rows below the last line are
// numbered the same way.
[[nodiscard]] std::string GutterNumberText(long line);

// Vertical pixel range [top, bottom) of a row.
struct RowSpan {
    int top = 0;
    int bottom = 0;
    friend bool operator==(const RowSpan&, const RowSpan&) = default;
};

// What to repaint after the caret's line changed: two rows, or (when none) the whole gutter.
struct GutterRepaint {
    std::optional<RowSpan> oldRow;
    std::optional<RowSpan> newRow;
    [[nodiscard]] bool Whole() const noexcept { return !oldRow; }
};

// One gutter's state between paints and mouse messages. The window paints from CurrentLine()
// and FirstLineAtPaint(); every selection it makes goes into the text control.
class Gutter {
public:
    [[nodiscard]] int CurrentLine() const noexcept { return currentLine_; }
    [[nodiscard]] int FirstLineAtPaint() const noexcept { return firstAtPaint_; }
    [[nodiscard]] int RowHeight() const noexcept { return rowHeight_; }
    [[nodiscard]] int AnchorLine() const noexcept { return anchorLine_; }
    [[nodiscard]] int LastDragLine() const noexcept { return lastDragLine_; }

    // A paint showed `firstVisibleLine` at its top with rows of `rowHeight` pixels.
    void NotePainted(int firstVisibleLine, int rowHeight) noexcept;

    // True when row `row` of a paint starting at `firstVisibleLine` shows the caret's line.
    [[nodiscard]] bool IsCurrentRow(int firstVisibleLine, int row) const noexcept {
        return firstVisibleLine + row == currentLine_;
    }

    // Marks `newLine` as the caret's line. Only the two rows change when the text has not
    // scrolled since the last paint; otherwise the whole gutter is repainted.
    GutterRepaint UpdateCurrentLine(int oldLine, int newLine, int firstVisibleLine) noexcept;

    // Button down at `y`: selects the whole line there (with its line break, or up to the end of
    // the text on the last line) and scrolls the caret into view.
    void ButtonDown(TextControl& ctl, int y);

    // Mouse move at `y` while the gutter holds the capture. Returns true when the selection
    // changed; the window then repaints the whole gutter.
    bool DragTo(TextControl& ctl, int y);

private:
    [[nodiscard]] int LineAt(const TextControl& ctl, int y) const noexcept;

    int currentLine_ = 0;
    int firstAtPaint_ = 0;
    int rowHeight_ = 1; // from the editor font at the last paint; never below 1
    int anchorLine_ = 0;
    int lastDragLine_ = 0;
};

// First offset after `line` with its line break: the next line's start, or the end of the text.
[[nodiscard]] Offset EndOfLineWithBreak(const TextControl& ctl, Line line) noexcept;

} // namespace mireka
