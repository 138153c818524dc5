// The main view's editing conveniences: line commands, jump, tab width, auto-indent and the
// hint, the switches, the context menu, the IME switch, the line indicator and the gutter.
#include "gui/document/MyView.h"

#include "gui/base/CommandIds.h"
#include "gui/base/CommandTable.h"
#include "gui/base/FrameServices.h"
#include "gui/base/MenuDefs.h"
#include "gui/base/Prompts.h"
#include "gui/document/ClipboardHistoryDlg.h"
#include "gui/document/JumpDlg.h"
#include "gui/document/TabWidthDlg.h"
#include "gui/editor/Cp932.h"
#include "gui/editor/LineNumberWnd.h"
#include "gui/editor/TextCodec.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMenu>

namespace mireka {

void CMyView::SetUpEditing() {
    if (gutter_) return;
    gutter_ = new CLineNumberWnd(kGutterWidth, this);
    SetMargins(kLeftMargin, 0);
    // The indicator follows the selection and the text once the events of the moment are done.
    indicatorTimer_.setSingleShot(true);
    indicatorTimer_.setInterval(0);
    connect(&indicatorTimer_, &QTimer::timeout, this, &CMyView::UpdateLineIndicator);
    // Started once per burst: a replace all changes text and selection for every occurrence.
    const auto later = [this] {
        if (!indicatorTimer_.isActive()) indicatorTimer_.start();
    };
    connect(this, &CEditView::SelectionChanged, this, later);
    connect(this, &CEditView::TextChanged, this, later);
    indicatorTimer_.start();
}

void CMyView::RegisterEditCommands(CommandTable& table) {
    SetUpEditing();
    const auto needText = [this](CmdUI& ui) { ui.enabled = CanEditLines(Control()); };
    table.Register(
        cmd::EditDeleteLine, [this] { OnDeleteLine(); }, needText);
    table.Register(
        cmd::EditDeleteToEnd, [this] { OnDeleteToEndOfLine(); }, needText);
    table.Register(
        cmd::EditDeleteFromStart, [this] { OnDeleteFromStartOfLine(); }, needText);
    table.Register(
        cmd::EditJump, [this] { OnJump(); }, needText);
    table.Register(cmd::ViewTabWidth, [this] { OnTabWidthDialog(); });
    table.Register(cmd::EditClipboardHistory, [this] { OnClipboardHistory(); });
    table.Register(
        cmd::ViewAutoIndent, [this] { SetAutoIndent(!AutoIndent()); },
        [this](CmdUI& ui) { ui.checked = AutoIndent(); });
    table.Register(
        cmd::ViewHighlight, [this] { SetHighlight(!Highlight()); },
        [this](CmdUI& ui) { ui.checked = Highlight(); });
    table.Register(
        cmd::ViewFullWidthSpace, [this] { SetShowFullWidthSpace(!ShowsFullWidthSpace()); },
        [this](CmdUI& ui) { ui.checked = ShowsFullWidthSpace(); });
    table.Register(
        cmd::ImeToggle, [this] { SetImeOpen(!imeOpen_); },
        [this](CmdUI& ui) {
            // The text names what the command would do.
            ui.text = imeOpen_ ? QStringLiteral("日本語入力 - オフ(&L)")
                               : QStringLiteral("日本語入力 - オン(&O)");
        });
    table.Register(cmd::InsertTab, [this] {
        mireka::InsertTab(Session());
        AfterTyping();
    });
    table.Register(cmd::SwallowKeys, [] {});

    table.Register(cmd::EditFind, [this] { OnEditFind(); });
    table.Register(cmd::EditReplace, [this] { OnEditReplace(); });
    table.Register(
        cmd::EditRepeat, [this] { OnEditRepeat(); },
        [this](CmdUI& ui) { ui.enabled = CanEditRepeat(); });
}

// ---- line commands, jump, tab width ------------------------------------------------------

void CMyView::OnDeleteLine() {
    SetRedraw(false);
    DeleteLine(Session());
    SetRedraw(true);
}

void CMyView::OnDeleteToEndOfLine() {
    SetRedraw(false);
    DeleteToEndOfLine(Session());
    SetRedraw(true);
}

void CMyView::OnDeleteFromStartOfLine() {
    SetRedraw(false);
    DeleteFromStartOfLine(Session());
    SetRedraw(true);
}

void CMyView::OnJump() {
    CJumpDlg dlg(this);
    dlg.SetValue(JumpDialogLine(Control()));
    if (RunModal(dlg) != QDialog::Accepted) return;
    if (!JumpToLine(Control(), dlg.Value()))
        Prompts::Current().Message(this, QStringLiteral("範囲外の値です。"), QMessageBox::Critical);
}

void CMyView::OnClipboardHistory() {
    const FrameServices* frame = FrameOf(this);
    CClipboardHistoryDlg dlg(frame ? frame->ClipboardHistory() : std::vector<QString>{}, this);
    if (RunModal(dlg) != QDialog::Accepted) return;
    if (IsReadOnly()) return Beep();
    std::string bytes;
    if (!dlg.Result().isEmpty() && !IncomingBytes(dlg.Result(), bytes)) return;
    ReplaceSelWithUndo(bytes);
}

void CMyView::OnTabWidthDialog() {
    CTabWidthDlg dlg(this);
    dlg.SetValue(TabWidth());
    if (RunModal(dlg) == QDialog::Accepted) SetTabWidth(dlg.Value());
}

// ---- characters, keys, mouse -------------------------------------------------------------

void CMyView::BeforeChar(unsigned c) {
    plan_ = indenter_.BeforeChar(Control(), c, [this](int line) { return LineState(line); });
    if (plan_.suspendRedraw) SetRedraw(false);
    if (plan_.showHint) {
        if (FrameServices* frame = FrameOf(this))
            frame->ShowHint(cp932::Decode(frame->LookupHint(plan_.hintWord)));
    }
}

void CMyView::AfterChar(unsigned) {
    indenter_.AfterChar(Session(), plan_);
    if (plan_.suspendRedraw) SetRedraw(true);
}

void CMyView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        indenter_.ResetLastChar();
        break;
    default:
        break;
    }
    CColorEditView::keyPressEvent(event);
}

bool CMyView::OnLeftButtonDown(QMouseEvent* event) {
    indenter_.ResetLastChar();
    return CColorEditView::OnLeftButtonDown(event);
}

// ---- input method ------------------------------------------------------------------------

void CMyView::SetImeOpen(bool open) {
    imeOpen_ = open;
    setAttribute(Qt::WA_InputMethodEnabled, open && !IsReadOnly());
    if (!hasFocus()) return;
    if (!open) QGuiApplication::inputMethod()->reset();
    QGuiApplication::inputMethod()->update(Qt::ImEnabled);
}

QVariant CMyView::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (query == Qt::ImEnabled && !imeOpen_) return false;
    return CColorEditView::inputMethodQuery(query);
}

// ---- context menu ------------------------------------------------------------------------

void CMyView::contextMenuEvent(QContextMenuEvent* event) {
    // From the keyboard the menu comes up where the mouse is, as long as that is over the text.
    if (event->reason() == QContextMenuEvent::Keyboard) return OnContextMenu(QPoint(-1, -1));
    CColorEditView::contextMenuEvent(event);
}

void CMyView::OnContextMenu(const QPoint& globalPos) {
    const QPoint at = globalPos == QPoint(-1, -1) ? QCursor::pos() : globalPos;
    if (!GetRect().contains(viewport()->mapFromGlobal(at))) return;
    FrameServices* frame = FrameOf(this);
    if (!frame) return;
    // The items follow the frame's rules and are carried out through its table.
    CommandTable& table = frame->Commands();
    QMenu menu(this);
    for (const MenuItemDef& item : ContextMenuDefs()) {
        if (item.id == 0) {
            menu.addSeparator();
            continue;
        }
        const CmdUI ui = table.State(item.id);
        QAction* action = menu.addAction(ui.text ? *ui.text : QString::fromUtf8(item.text));
        action->setData(item.id);
        action->setEnabled(ui.enabled);
        if (ui.checked) {
            action->setCheckable(true);
            action->setChecked(*ui.checked);
        }
    }
    if (QAction* chosen = menu.exec(at)) table.Execute(chosen->data().toInt());
}

// ---- find and replace --------------------------------------------------------------------

void CMyView::OnTextNotFound(const std::string& find) {
    Prompts::Current().Beep();
    Prompts::Current().Message(this,
                               QStringLiteral("文字列 '%1' が見つかりません。")
                                   .arg(codec::Decode(Session().GetEncoding(), find)),
                               QMessageBox::Warning);
}

// ---- status pane and gutter --------------------------------------------------------------

void CMyView::UpdateLineIndicator() {
    // The lines that join or leave the selection the control repaints itself.
    const LineIndicatorUpdate u = indicator_.Update(Control(), gutter_ != nullptr);
    if (u.textChanged) {
        linePaneText_ = QString::fromUtf8(u.text);
        if (FrameServices* frame = FrameOf(this))
            frame->SetPaneText(cmd::IndicatorLine, linePaneText_);
    }
    if (u.moveGutterMark && gutter_) gutter_->UpdateCurrentLine(u.oldMarkedLine, u.newMarkedLine);
}

} // namespace mireka
