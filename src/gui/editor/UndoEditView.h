// The editor's base view: every edit goes through the undo history before the control makes it;
// also the position operations between offsets, lines and columns, and pixels.
#pragma once

#include "core/editor/InputRecorder.h"
#include "core/editor/SelectionOps.h"
#include "core/editor/UndoHistory.h"
#include "gui/editor/EditView.h"

namespace mireka {

class CFindReplaceDlg;

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
    // Moves only the displayed caret to the character under the cursor, when that lies inside
    // the formatting rectangle; the selection stays.
    void ShowCaretAtCursor();
    [[nodiscard]] bool IsCursorInSelection() const;
    [[nodiscard]] SelLineCol GetSelLineCol() const { return mireka::GetSelLineCol(Control()); }
    void SetCaretLineCol(int line, Offset column) {
        mireka::SetCaretLineCol(Control(), line, column);
    }
    [[nodiscard]] std::string GetSelectedLinesText() const {
        return mireka::GetSelectedLinesText(Control());
    }

    // The one way programmatic edits change the text: recorded, then made.
    void ReplaceSelWithUndo(std::string_view text);
    void ClearSelWithUndo();
    void ClearUndoHistory() noexcept { history_.ClearUndoHistory(); }
    void Undo();
    void Redo();
    [[nodiscard]] bool CanUndo() const { return history_.CanUndo(); }
    [[nodiscard]] bool CanRedo() const { return history_.CanRedo(); }
    [[nodiscard]] const UndoHistory& History() const noexcept { return history_; }
    // Empties the text and the history.
    void DeleteContents();

    // The clipboard commands, recorded.
    void Cut() override;
    void Paste() override;
    void Clear() override;

    // Highlight switch; colouring views set it to 1.
    [[nodiscard]] bool Highlight() const noexcept { return highlight_; }
    void SetHighlight(bool on);

protected:
    void OnChar(unsigned int c) override;
    void OnKeyDown(int vk) override;
    void OnImeComposition(const std::string& result) override;
    [[nodiscard]] QPoint CursorPoint() const;
    bool highlight_ = false;

private:
    UndoHistory history_;
    InputRecorder recorder_{history_};

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
    // For views above that record their own edits.
    [[nodiscard]] UndoHistory& EditHistory() noexcept { return history_; }

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
