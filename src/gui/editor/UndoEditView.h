// The editor's base view: every edit goes through the undo history before the control makes it;
// also the position operations between offsets, lines and columns, and pixels.
#pragma once

#include "core/editor/SelectionOps.h"
#include "gui/editor/EditView.h"

namespace mireka {

class CUndoEditView : public CEditView {
    Q_OBJECT

public:
    explicit CUndoEditView(QWidget* parent = nullptr);

    // Position operations.
    [[nodiscard]] QPoint GetCharPos(Offset offset) const { return PosFromChar(offset); }
    [[nodiscard]] Offset GetCharFromPoint(QPoint point) const { return CharFromPos(point); }
    struct CursorLineCol {
        int line;
        Offset column;
        bool inLine; // the cursor's x lies between 0 and the end of that line
    };
    [[nodiscard]] CursorLineCol GetCursorLineCol() const;
    void SetCaretToCursor();
    [[nodiscard]] bool IsCursorInSelection() const;
    [[nodiscard]] SelLineCol GetSelLineCol() const { return mireka::GetSelLineCol(Control()); }
    void SetCaretLineCol(int line, Offset column) { mireka::SetCaretLineCol(Control(), line, column); }
    [[nodiscard]] std::string GetSelectedLinesText() const { return mireka::GetSelectedLinesText(Control()); }

    // Highlight switch; colouring views set it to 1.
    [[nodiscard]] bool Highlight() const noexcept { return highlight_; }
    void SetHighlight(bool on);

protected:
    [[nodiscard]] QPoint CursorPoint() const;
    bool highlight_ = false;
};

} // namespace mireka
