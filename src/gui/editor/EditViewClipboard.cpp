// The edit control's text from and to the outside: the clipboard commands, text coming in from
// the clipboard or a drop, the input method, and the plain context menu.
#include "gui/editor/EditView.h"

#include "gui/base/Prompts.h"
#include "gui/editor/Cp932.h"
#include "gui/editor/TextCodec.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>

#include <optional>

namespace mireka {

QString CEditView::SelectedTextForClipboard() const {
    return cp932::ToLf(codec::Decode(session_.GetEncoding(), session_.SelectedText()));
}

bool CEditView::CanPaste() const {
    // Asked every idle update: on X11 each look at the clipboard is a round trip to the server
    // (and to the owning program), so the answer is kept until the clipboard changes.
    static std::optional<bool> hasText;
    static const QMetaObject::Connection watch = QObject::connect(
        QGuiApplication::clipboard(), &QClipboard::dataChanged, [] { hasText.reset(); });
    (void)watch;
    if (!hasText) {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        hasText = data && data->hasText();
    }
    return *hasText;
}

bool CEditView::ClipboardBytes(std::string& bytes, bool* present) {
    const QString text = QGuiApplication::clipboard()->text();
    if (present) *present = !text.isEmpty();
    if (text.isEmpty()) return false;
    return IncomingBytes(text, bytes);
}

bool CEditView::IncomingBytes(const QString& text, std::string& bytes) {
    QString bad;
    if (codec::Encode(session_.GetEncoding(), cp932::ToCrLf(text), bytes, &bad)) return true;
    Prompts::Current().Beep();
    Prompts::Current().Message(
        this,
        QStringLiteral("貼り付けるテキストに Shift_JIS で表せない文字「%1」が含まれているため、"
                       "貼り付けられません。")
            .arg(bad),
        QMessageBox::Warning);
    return false;
}

void CEditView::Copy() {
    if (!Control().HasSelection()) return;
    QGuiApplication::clipboard()->setText(SelectedTextForClipboard());
}

void CEditView::Cut() {
    if (IsReadOnly()) return Beep();
    Copy();
    session_.Cut();
}

void CEditView::Paste() {
    if (IsReadOnly()) return Beep();
    std::string bytes;
    if (ClipboardBytes(bytes)) session_.Paste(bytes);
}

void CEditView::Clear() {
    if (!session_.Clear()) Beep();
}

void CEditView::SelectAll() {
    session_.SelectAll();
}

void CEditView::OnContextMenu(const QPoint& globalPos) {
    QMenu menu(this);
    const bool sel = Control().HasSelection();
    const bool ro = IsReadOnly();
    menu.addAction(QStringLiteral("切り取り(&T)"), this, &CEditView::Cut)->setEnabled(sel && !ro);
    menu.addAction(QStringLiteral("コピー(&C)"), this, &CEditView::Copy)->setEnabled(sel);
    menu.addAction(QStringLiteral("貼り付け(&P)"), this, &CEditView::Paste)
        ->setEnabled(!ro && CanPaste());
    menu.addAction(QStringLiteral("削除(&D)"), this, &CEditView::Clear)->setEnabled(sel && !ro);
    menu.addSeparator();
    menu.addAction(QStringLiteral("すべて選択(&A)"), this, &CEditView::SelectAll)
        ->setEnabled(Control().Length() > 0);
    menu.exec(globalPos);
}

void CEditView::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty() && !IsReadOnly()) {
        std::string bytes;
        if (codec::Encode(session_.GetEncoding(), cp932::ToCrLf(event->commitString()), bytes))
            Typed(session_.TypeImeResult(bytes));
        else
            Beep();
    }
    if (preedit_ != event->preeditString()) {
        preedit_ = event->preeditString();
        const int line = Control().LineFromChar(Control().Caret()).Index();
        InvalidateLines(line, line);
    }
    event->accept();
}

QVariant CEditView::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImEnabled:
        return !IsReadOnly();
    case Qt::ImCursorRectangle:
        return QRect(viewport()->mapTo(this, CaretRect().topLeft()), CaretRect().size());
    case Qt::ImFont:
        return font_;
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
        return 0;
    case Qt::ImSurroundingText:
    case Qt::ImCurrentSelection:
        return QString();
    case Qt::ImHints:
        return static_cast<int>(Qt::ImhMultiLine);
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

} // namespace mireka
