// The editor's base view: undo and redo of the session's recorded edits, the position operations
// between the mouse and lines and columns, drag and drop of text, and find and replace.
#pragma once

#include "core/editor/SelectionOps.h"
#include "gui/editor/EditView.h"

#include <QBasicTimer>

#include <functional>
#include <optional>

class QDrag;
class QMimeData;

namespace mireka {

class CFindReplaceDlg;

class CUndoEditView : public CEditView {
    Q_OBJECT

public:
    explicit CUndoEditView(QWidget* parent = nullptr);

    struct CursorLineCol {
        int line;
        Offset column;
        bool inLine; // the cursor's x lies between 0 and the end of that line
    };
    [[nodiscard]] CursorLineCol GetCursorLineCol() const;
    void SetCaretToCursor();
    // Moves only the displayed caret to the character under the cursor, when that lies inside
    // the formatting rectangle; the selection stays.
    void ShowCaretAtCursor();
    [[nodiscard]] bool IsCursorInSelection() const;
    [[nodiscard]] SelLineCol GetSelLineCol() const { return mireka::GetSelLineCol(Control()); }
    void SetCaretLineCol(int line, Offset column) {
        mireka::SetCaretLineCol(Control(), Line(line), column);
    }
    [[nodiscard]] std::string GetSelectedLinesText() const {
        return mireka::GetSelectedLinesText(Control());
    }

    // The one way programmatic edits change the text: recorded, then made.
    void ReplaceSelWithUndo(std::string_view text) { Session().ReplaceSelWithUndo(text); }
    void ClearSelWithUndo() { Session().ClearSelWithUndo(); }
    void ClearUndoHistory() noexcept { Session().ClearUndoHistory(); }
    void Undo() { Session().Undo(); }
    void Redo() { Session().Redo(); }
    [[nodiscard]] bool CanUndo() const { return Session().CanUndo(); }
    [[nodiscard]] bool CanRedo() const { return Session().CanRedo(); }
    [[nodiscard]] const UndoHistory& History() const noexcept { return Session().History(); }
    // Empties the text and the history.
    void DeleteContents();

    // Highlight switch; colouring views set it to 1.
    [[nodiscard]] bool Highlight() const noexcept { return highlight_; }
    void SetHighlight(bool on);

protected:
    // The pointer in viewport coordinates: the position of the mouse or drag event being
    // handled, else the cursor's.
    [[nodiscard]] QPoint CursorPoint() const;
    bool highlight_ = false;

private:
    std::optional<QPoint> eventPoint_;

    // ---- drag and drop of text (UndoEditViewDrag.cpp) ----------------------------------
public:
    enum DragDropOptions { kDragOut = 1, kDropIn = 2 };
    // Once per view: dragging the selection out (bit 0) and dropping text in (bit 1). False
    // when it was already done.
    bool EnableDragDrop(int options);
    // Runs a drag to its end and returns the action the target took; tests put in their own
    // (which may drop on the view itself). An empty runner restores the platform's drag loop.
    using DragRunner = std::function<Qt::DropAction(QDrag& drag)>;
    static void SetDragRunner(DragRunner runner);
    [[nodiscard]] bool IsDragging() const noexcept { return dragging_; }

protected:
    bool OnLeftButtonDown(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void StartDrag();
    // Text of the drop as editor bytes; false (after the paste rule's message) when the code
    // page cannot hold it or there is none.
    bool DropBytes(const QMimeData* data, std::string& bytes);
    // Scrolls one line towards a drag near the edge; true when it scrolled.
    bool DragScroll(QPoint point);

    int dragDropOptions_ = 0;
    bool dragDropEnabled_ = false;
    bool dragging_ = false;
    bool droppedIntoSelf_ = false;
    bool dragOver_ = false;
    std::optional<QPoint> pressPoint_; // a press inside the selection, not yet a drag
    std::optional<QPoint> refusedAt_;  // where a drop onto the dragged text was refused
    int dropLine_ = 0;
    Offset dropColumn_ = 0;
    QPoint dragScrollPoint_;
    QBasicTimer dragScrollTimer_;

    // ---- find and replace --------------------------------------------------------------
    // The settings live in the process's FindReplaceState, shared with every edit view, and so
    // does the one open dialog. Search and replacement texts are code page 932 bytes.
public:
    // Find (57636), Replace (57641): opens the dialog of that kind, or brings it forward.
    void OnEditFind() { OpenFindReplace(true); }
    void OnEditReplace() { OpenFindReplace(false); }
    // Find next (57640) and its rule: the text and the search text are not empty.
    void OnEditRepeat();
    [[nodiscard]] bool CanEditRepeat() const noexcept;
    // The dialog's notifications.
    void OnFindNext(const std::string& find, bool next, bool matchCase);
    void OnReplaceSel(const std::string& find, bool next, bool matchCase,
                      const std::string& replace);
    void OnReplaceAll(const std::string& find, const std::string& replace, bool matchCase);
    // The open find or replace dialog of the process, or none.
    [[nodiscard]] static CFindReplaceDlg* FindReplaceDialog();

protected:
    // A search the user asked for found nothing; the plain view only beeps.
    virtual void OnTextNotFound(const std::string& find);

private:
    void OpenFindReplace(bool findOnly);
    void ConnectFindReplace(CFindReplaceDlg* dialog);
    // The dialog's text as editor bytes; false, after telling the user, when the code page
    // cannot hold it.
    bool SearchBytes(const QString& text, bool replacement, std::string& bytes);
    // The search text a new dialog proposes: the first line of the selection, decoded.
    [[nodiscard]] QString SelectionSearchText() const;
};

} // namespace mireka
