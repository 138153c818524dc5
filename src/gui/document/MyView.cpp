// The main editor view.
#include "gui/document/MyView.h"

#include "gui/app/CommandIds.h"
#include "gui/app/CommandTable.h"
#include "gui/document/MyDoc.h"

namespace mireka {

CMyView::CMyView(QWidget* parent) : CColorEditView(parent) {}

void CMyView::OnInitialUpdate() {
    ClearUndoHistory();
    viewport()->update();
}

void CMyView::OnTextChanged() {
    if (doc_) doc_->SetModifiedFlag(true);
    CColorEditView::OnTextChanged();
}

void CMyView::RegisterCommands(CommandTable& table) {
    const auto hasSelection = [this](CmdUI& ui) { ui.enabled = Control().HasSelection(); };
    const auto editableSelection = [this](CmdUI& ui) {
        ui.enabled = Control().HasSelection() && !IsReadOnly();
    };
    table.Register(
        cmd::EditUndo, [this] { Undo(); }, [this](CmdUI& ui) { ui.enabled = CanUndo(); });
    table.Register(
        cmd::EditRedo, [this] { Redo(); }, [this](CmdUI& ui) { ui.enabled = CanRedo(); });
    table.Register(
        cmd::EditCut, [this] { Cut(); }, editableSelection);
    table.Register(
        cmd::EditCopy, [this] { Copy(); }, hasSelection);
    table.Register(
        cmd::EditClear, [this] { Clear(); }, editableSelection);
    table.Register(
        cmd::EditPaste, [this] { Paste(); }, [this](CmdUI& ui) { ui.enabled = CanPaste(); });
    table.Register(
        cmd::EditSelectAll, [this] { SelectAll(); },
        [this](CmdUI& ui) { ui.enabled = GetWindowTextLength() > 0; });
    table.Register(
        cmd::ViewHighlight, [this] { SetHighlight(!Highlight()); },
        [this](CmdUI& ui) { ui.checked = Highlight(); });
}

} // namespace mireka
