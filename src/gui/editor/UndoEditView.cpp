// The editor's base view.
#include "gui/editor/UndoEditView.h"

#include "core/editor/FindReplace.h"
#include "gui/base/Prompts.h"
#include "gui/base/WaitCursor.h"
#include "gui/editor/Cp932.h"
#include "gui/editor/FindReplaceDlg.h"
#include "gui/editor/TextCodec.h"

#include <QApplication>
#include <QCursor>
#include <QPointer>

#include <algorithm>
#include <optional>

namespace mireka {

CUndoEditView::CUndoEditView(QWidget* parent) : CEditView(parent) {}

QPoint CUndoEditView::CursorPoint() const {
    return eventPoint_ ? *eventPoint_ : viewport()->mapFromGlobal(QCursor::pos());
}

CUndoEditView::CursorLineCol CUndoEditView::GetCursorLineCol() const {
    const QPoint p = CursorPoint();
    int line = 0;
    const Offset offset = CharFromPos(p, &line);
    const TextBuffer& b = Control().Buffer();
    line = b.LineFromOffset(offset).Index();
    const Offset start = b.LineStart(Line(line));
    const int endX = PosFromChar(b.LineEnd(Line(line))).x();
    return {line, offset - start, p.x() >= 0 && p.x() <= endX};
}

void CUndoEditView::SetCaretToCursor() {
    const Offset pos = CharFromPos(CursorPoint());
    Session().Select(pos, pos);
}

void CUndoEditView::ShowCaretAtCursor() {
    const QPoint p = CursorPoint();
    if (!GetRect().contains(p)) return;
    ShowDropCaret(CharFromPos(p));
}

bool CUndoEditView::IsCursorInSelection() const {
    const CursorLineCol at = GetCursorLineCol();
    return at.inLine && IsLineColInSelection(Control(), {Line(at.line), at.column});
}

void CUndoEditView::DeleteContents() {
    SetWindowText(std::string_view());
    ClearUndoHistory();
}

void CUndoEditView::SetHighlight(bool on) {
    highlight_ = on;
    viewport()->update();
}

} // namespace mireka

// ---- find and replace --------------------------------------------------------------------

namespace mireka {

namespace {

QPointer<CFindReplaceDlg>& SharedDialog() {
    static QPointer<CFindReplaceDlg> dialog;
    return dialog;
}

// Collects a not-found report during a search, to be told once the wait cursor is gone.
struct NotFoundLater {
    std::optional<std::string> find;
    [[nodiscard]] TextNotFoundHook Hook() {
        return [this](const std::string& f) { find = f; };
    }
};

} // namespace

CFindReplaceDlg* CUndoEditView::FindReplaceDialog() {
    return SharedDialog().data();
}

void CUndoEditView::OnTextNotFound(const std::string&) {
    Beep();
}

QString CUndoEditView::SelectionSearchText() const {
    const TextControl& ctl = Control();
    if (!ctl.HasSelection()) return {};
    // The dialog's edit holds one line: the selection up to its first line break.
    const TextBuffer& b = ctl.Buffer();
    const Offset s = ctl.SelStart();
    const Offset end = std::min(ctl.SelEnd(), b.LineEnd(b.LineFromOffset(s)));
    return codec::Decode(ctl.GetEncoding(), ctl.Text(s, end));
}

void CUndoEditView::OpenFindReplace(bool findOnly) {
    QPointer<CFindReplaceDlg>& shared = SharedDialog();
    if (shared) {
        if (shared->IsFindOnly() == findOnly) {
            shared->Activate();
            return;
        }
        CFindReplaceDlg* other = shared;
        shared = nullptr;
        other->close();
    }
    const FindReplaceState& state = SharedFindReplaceState();
    auto* dialog = new CFindReplaceDlg(findOnly, this);
    QString find = SelectionSearchText();
    if (find.isEmpty()) find = codec::Decode(state.encoding, state.findText);
    dialog->SetFindText(find);
    dialog->SetReplaceText(codec::Decode(state.encoding, state.replaceText));
    dialog->SetSearchDown(state.searchDown);
    dialog->SetMatchCase(state.matchCase);
    ConnectFindReplace(dialog);
    shared = dialog;
    SharedFindReplaceState().findOnly = findOnly;
    dialog->Activate();
}

void CUndoEditView::ConnectFindReplace(CFindReplaceDlg* dialog) {
    connect(dialog, &CFindReplaceDlg::Terminating, this, [dialog] {
        if (SharedDialog() == dialog) SharedDialog() = nullptr;
    });
    connect(dialog, &CFindReplaceDlg::FindNextRequested, this,
            [this](const QString& find, bool down, bool matchCase) {
                std::string f;
                if (SearchBytes(find, false, f)) OnFindNext(f, down, matchCase);
            });
    connect(dialog, &CFindReplaceDlg::ReplaceRequested, this,
            [this](const QString& find, bool down, bool matchCase, const QString& replace) {
                std::string f;
                std::string r;
                if (SearchBytes(find, false, f) && SearchBytes(replace, true, r))
                    OnReplaceSel(f, down, matchCase, r);
            });
    connect(dialog, &CFindReplaceDlg::ReplaceAllRequested, this,
            [this](const QString& find, const QString& replace, bool matchCase) {
                std::string f;
                std::string r;
                if (SearchBytes(find, false, f) && SearchBytes(replace, true, r))
                    OnReplaceAll(f, r, matchCase);
            });
}

bool CUndoEditView::SearchBytes(const QString& text, bool replacement, std::string& bytes) {
    QString bad;
    if (codec::Encode(Session().GetEncoding(), text, bytes, &bad)) return true;
    Beep();
    Prompts::Current().Message(
        FindReplaceDialog() ? static_cast<QWidget*>(FindReplaceDialog()) : this,
        (replacement ? QStringLiteral("置換後の文字列に Shift_JIS で表せない文字「%1」が含まれて"
                                      "いるため、置換できません。")
                     : QStringLiteral("検索する文字列に Shift_JIS で表せない文字「%1」が含まれて"
                                      "いるため、検索できません。"))
            .arg(bad),
        QMessageBox::Warning);
    return false;
}

void CUndoEditView::OnFindNext(const std::string& find, bool next, bool matchCase) {
    NotFoundLater notFound;
    {
        WaitCursor wait;
        mireka::OnFindNext(Control(), SharedFindReplaceState(), find, next, matchCase,
                           notFound.Hook());
    }
    if (!notFound.find) return;
    OnTextNotFound(*notFound.find);
    if (CFindReplaceDlg* dialog = FindReplaceDialog()) dialog->Activate();
}

void CUndoEditView::OnReplaceSel(const std::string& find, bool next, bool matchCase,
                                 const std::string& replace) {
    NotFoundLater notFound;
    {
        WaitCursor wait;
        mireka::OnReplaceSel(Session(), SharedFindReplaceState(), find, next, matchCase, replace,
                             notFound.Hook());
    }
    if (!notFound.find) return;
    OnTextNotFound(*notFound.find);
    if (CFindReplaceDlg* dialog = FindReplaceDialog()) dialog->Activate();
}

void CUndoEditView::OnReplaceAll(const std::string& find, const std::string& replace,
                                 bool matchCase) {
    NotFoundLater notFound;
    {
        WaitCursor wait;
        // One repaint at the end instead of one per replacement.
        SetRedraw(false);
        mireka::OnReplaceAll(Session(), SharedFindReplaceState(), find, replace, matchCase,
                             notFound.Hook());
        SetRedraw(true);
        ScrollCaret();
    }
    if (!notFound.find) return;
    OnTextNotFound(*notFound.find);
    if (CFindReplaceDlg* dialog = FindReplaceDialog()) dialog->Activate();
}

bool CUndoEditView::CanEditRepeat() const noexcept {
    return CanRepeatFind(Control(), SharedFindReplaceState());
}

void CUndoEditView::OnEditRepeat() {
    // Searched last in a document of the other encoding: the same characters in this one's.
    FindReplaceState& state = SharedFindReplaceState();
    const Encoding enc = Session().GetEncoding();
    std::string find;
    std::string replace;
    if (state.encoding != enc &&
        codec::Encode(enc, codec::Decode(state.encoding, state.findText), find) &&
        codec::Encode(enc, codec::Decode(state.encoding, state.replaceText), replace)) {
        state.findText = std::move(find);
        state.replaceText = std::move(replace);
        state.encoding = enc;
    }
    NotFoundLater notFound;
    {
        WaitCursor wait;
        RepeatFind(Control(), SharedFindReplaceState(), notFound.Hook());
    }
    if (notFound.find) OnTextNotFound(*notFound.find);
}

} // namespace mireka
