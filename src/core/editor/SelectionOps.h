// Line and column views of the selection, shared by the undo view, drag and drop and commands.
#pragma once

#include "core/editor/TextControl.h"

#include <string>

namespace mireka {

struct LineCol {
    Line line;
    Offset column = 0;
    friend bool operator==(const LineCol&, const LineCol&) = default;
};

struct SelLineCol {
    LineCol start;
    LineCol end;
};

// Start and end of the selection as (line, column).
[[nodiscard]] SelLineCol GetSelLineCol(const TextControl& control) noexcept;

// True when the selection is not empty and `at` lies within it, both ends included.
[[nodiscard]] bool IsLineColInSelection(const TextControl& control, LineCol at) noexcept;

// The selected text built line by line and joined with CR LF. Equals the selection's bytes.
[[nodiscard]] std::string GetSelectedLinesText(const TextControl& control);

// Places the caret at `column` of `line` (clamped to the text) and scrolls it into view.
void SetCaretLineCol(TextControl& control, Line line, Offset column);

} // namespace mireka
