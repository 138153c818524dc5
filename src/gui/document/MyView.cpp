// The main editor view.
#include "gui/document/MyView.h"

#include "gui/base/CommandIds.h"
#include "gui/base/CommandTable.h"
#include "gui/base/FrameServices.h"
#include "gui/document/MyDoc.h"
#include "gui/editor/LineNumberWnd.h"
#include "gui/toolchain/BuildSession.h"

#include <algorithm>

namespace mireka {

CMyView::CMyView(QWidget* parent) : CColorEditView(parent) {
    EnableDragDrop(kDragOut | kDropIn);
    Session().SetTypingObserver(this);
    SetUpBuild();
}

CMyView::~CMyView() {
    EndBuild();
}

void CMyView::OnInitialUpdate() {
    ClearUndoHistory();
    if (FrameServices* frame = FrameOf(this)) frame->ShowBuildOutput({});
    UpdateFormatPane();
    OnUpdate();
}

void CMyView::OnUpdate() {
    if (FrameServices* frame = FrameOf(this)) {
        SetEditorFont(frame->EditorFont());
        const EditorColours& c = frame->Colours();
        SetColors(c.keyword, c.string, c.comment, c.text, c.background);
    }
    SetTabStops(m_nTabWidth);
    viewport()->update();
    // The gutter's rows are as high as the text's lines.
    if (LineNumberWnd()) LineNumberWnd()->update();
}

void CMyView::SetTabWidth(int width) {
    m_nTabWidth = std::clamp(width, 1, 32);
    SetTabStops(m_nTabWidth);
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
    RegisterEditCommands(table);
    RegisterConvertCommands(table);
    RegisterBuildCommands(table);
}

} // namespace mireka
