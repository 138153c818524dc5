// Our multi-line text control.
#include "gui/editor/EditView.h"

#include "core/base/Dbcs.h"
#include "core/editor/Layout.h"
#include "core/editor/TextNav.h"
#include "gui/base/Prompts.h"
#include "gui/editor/Cp932.h"
#include "gui/editor/EditorFont.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>

#include <algorithm>
#include <cmath>
#include <optional>

namespace mireka {

namespace {

constexpr int kCaretWidth = 2;
constexpr int kDragScrollMs = 50;

bool IsControlByte(unsigned char b) {
    return b < 0x20 || b == 0x7F;
}

} // namespace

CEditView::CEditView(QWidget* parent) : QAbstractScrollArea(parent) {
    control_.SetListener(this);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent, true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    font_ = DefaultEditorFont();
    UpdateMetrics();
    UpdateScrollBars();
}

CEditView::~CEditView() {
    control_.SetListener(nullptr);
}

// ---- text-control operations ------------------------------------------------------------

void CEditView::GetSel(Offset& start, Offset& end) const noexcept {
    start = control_.SelStart();
    end = control_.SelEnd();
}

void CEditView::SetWindowText(std::string_view text) {
    TextBuffer::Builder built(text.size(), control_.Buffer().ChunkCapacity());
    built.Append(text);
    SetWindowText(std::move(built));
}

void CEditView::SetWindowText(TextBuffer::Builder&& built) {
    control_.SetText(std::move(built));
    widestCells_ = control_.Buffer().LongestLineWatermark();
    goalCell_ = -1;
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    UpdateScrollBars();
    viewport()->update();
}

int CEditView::GetFirstVisibleLine() const noexcept {
    return verticalScrollBar()->value();
}

QRect CEditView::GetRect() const {
    const QRect v = viewport()->rect();
    return QRect(leftMargin_, 0, std::max(0, v.width() - leftMargin_ - rightMargin_), v.height());
}

int CEditView::VisibleRows() const noexcept {
    return std::max(1, viewport()->height() / std::max(1, lineHeight_));
}

double CEditView::CellOfOffset(Offset pos) const {
    const TextBuffer& b = control_.Buffer();
    if (cellMemo_.pos == pos && cellMemo_.revision == b.Revision() &&
        cellMemo_.tabCells == tabCells_)
        return cellMemo_.cells;
    const Offset start = b.LineStart(b.LineFromOffset(pos));
    const std::string prefix = b.Text(start, pos);
    const auto cells = static_cast<double>(layout::CellOfColumn(prefix, prefix.size(), tabCells_));
    cellMemo_ = CellMemo{b.Revision(), pos, tabCells_, cells};
    return cells;
}

Offset CEditView::OffsetAtLineCell(int line, double cell) const {
    const TextBuffer& b = control_.Buffer();
    line = std::clamp(line, 0, b.LineCount() - 1);
    const std::string text = b.LineText(line);
    return b.LineStart(line) + static_cast<Offset>(layout::ColumnAtCell(text, cell, tabCells_));
}

QPoint CEditView::PosFromChar(Offset offset) const {
    const TextBuffer& b = control_.Buffer();
    offset = std::clamp<Offset>(offset, 0, b.Length());
    const int line = b.LineFromOffset(offset);
    const double x =
        GetRect().left() + CellOfOffset(offset) * cellWidth_ - horizontalScrollBar()->value();
    return QPoint(static_cast<int>(std::floor(x)), (line - GetFirstVisibleLine()) * lineHeight_);
}

Offset CEditView::CharFromPos(QPoint point, int* lineOut) const {
    const TextBuffer& b = control_.Buffer();
    const QRect rect = GetRect();
    const int row =
        static_cast<int>(std::floor(static_cast<double>(point.y() - rect.top()) / lineHeight_));
    const int line = std::max(0, GetFirstVisibleLine() + row);
    if (lineOut) *lineOut = line;
    if (line >= b.LineCount()) return b.Length();
    const double cell = (point.x() - rect.left() + horizontalScrollBar()->value()) / cellWidth_;
    return OffsetAtLineCell(line, cell);
}

void CEditView::SetTabStops(int cells) {
    tabCells_ = std::max(1, cells);
    UpdateScrollBars();
    viewport()->update();
}

void CEditView::SetMargins(int left, int right) {
    leftMargin_ = std::max(0, left);
    rightMargin_ = std::max(0, right);
    UpdateScrollBars();
    viewport()->update();
}

void CEditView::SetReadOnly(bool on) {
    control_.SetReadOnly(on);
    setAttribute(Qt::WA_InputMethodEnabled, !on);
}

void CEditView::SetEditorFont(const QFont& font) {
    font_ = font;
    UpdateMetrics();
    UpdateScrollBars();
    viewport()->update();
}

void CEditView::SetTextColors(QColor text, QColor background) {
    textColor_ = text;
    backColor_ = background;
    viewport()->update();
}

void CEditView::SetRedraw(bool on) {
    redrawSuspended_ = on ? std::max(0, redrawSuspended_ - 1) : redrawSuspended_ + 1;
    viewport()->setUpdatesEnabled(redrawSuspended_ == 0);
}

void CEditView::ScrollLines(int lines) {
    verticalScrollBar()->setValue(verticalScrollBar()->value() + lines);
}

void CEditView::ShowDropCaret(Offset offset) {
    auto rect = [this](Offset at) {
        const QPoint p = PosFromChar(at);
        return QRect(p.x(), p.y(), kCaretWidth, lineHeight_);
    };
    if (dropCaret_ >= 0) viewport()->update(rect(dropCaret_));
    dropCaret_ = offset < 0 ? -1 : std::min(offset, control_.Length());
    if (dropCaret_ >= 0) viewport()->update(rect(dropCaret_));
}

void CEditView::UpdateMetrics() {
    const QFontMetricsF fm(font_);
    cellWidth_ = std::max<qreal>(1.0, fm.horizontalAdvance(QLatin1Char('M')));
    const QFontMetrics im(font_);
    lineHeight_ = std::max(1, im.height());
    ascent_ = im.ascent();
    // A font whose Latin advances differ from the cell would drift off the grid in runs.
    const qreal probe = fm.horizontalAdvance(QStringLiteral("il.WM_ 0"));
    charByChar_ = std::abs(probe - 8 * cellWidth_) > 0.5;
}

void CEditView::UpdateScrollBars() {
    QScrollBar* v = verticalScrollBar();
    const int rows = VisibleRows();
    v->setRange(0, std::max(0, control_.LineCount() - rows));
    v->setPageStep(rows);
    v->setSingleStep(1);
    QScrollBar* h = horizontalScrollBar();
    const int textWidth = GetRect().width();
    const auto content = static_cast<int>(
        std::min<double>(1e9, std::ceil(static_cast<double>(widestCells_ + 1) * cellWidth_)));
    h->setRange(0, std::max(0, content - textWidth));
    h->setPageStep(std::max(1, textWidth));
    h->setSingleStep(std::max(1, static_cast<int>(cellWidth_)));
}

void CEditView::NoteLineWidth(std::string_view text) {
    // Cells are at least the byte count, so only a line that could be wider needs measuring.
    if (static_cast<std::int64_t>(text.size()) * tabCells_ <= widestCells_) return;
    const std::int64_t cells = layout::LineCells(text, tabCells_);
    if (cells > widestCells_) {
        widestCells_ = cells;
        UpdateScrollBars();
    }
}

void CEditView::ScrollCaret() {
    const TextBuffer& b = control_.Buffer();
    const Offset caret = control_.Caret();
    const int line = b.LineFromOffset(caret);
    const int first = GetFirstVisibleLine();
    const int rows = VisibleRows();
    if (line < first)
        verticalScrollBar()->setValue(line);
    else if (line >= first + rows)
        verticalScrollBar()->setValue(line - rows + 1);

    const double cells = CellOfOffset(caret);
    if (cells > static_cast<double>(widestCells_)) {
        widestCells_ = static_cast<std::int64_t>(cells);
        UpdateScrollBars();
    }
    const double x = cells * cellWidth_;
    const int width = GetRect().width();
    QScrollBar* h = horizontalScrollBar();
    if (x < h->value())
        h->setValue(static_cast<int>(std::max(0.0, x - width / 3.0)));
    else if (x + cellWidth_ > h->value() + width)
        h->setValue(static_cast<int>(x - width * 2.0 / 3.0));
}

// ---- edit commands ---------------------------------------------------------------------

void CEditView::Beep() const {
    Prompts::Current().Beep();
}

QString CEditView::SelectedTextForClipboard() const {
    return cp932::ToLf(cp932::Decode(control_.SelectedText()));
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
    if (cp932::Encode(cp932::ToCrLf(text), bytes, &bad)) return true;
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
    if (!control_.HasSelection()) return;
    QGuiApplication::clipboard()->setText(SelectedTextForClipboard());
}

void CEditView::Cut() {
    if (IsReadOnly()) return Beep();
    if (!control_.HasSelection()) return;
    Copy();
    control_.Clear();
    ScrollCaret();
}

void CEditView::Paste() {
    if (IsReadOnly()) return Beep();
    std::string bytes;
    if (!ClipboardBytes(bytes)) return;
    control_.ReplaceSel(bytes);
    ScrollCaret();
}

void CEditView::Clear() {
    if (IsReadOnly()) return Beep();
    control_.Clear();
    ScrollCaret();
}

void CEditView::SelectAll() {
    control_.SelectAll();
}

// ---- character and key messages --------------------------------------------------------

void CEditView::OnChar(unsigned int c) {
    if (IsReadOnly()) return Beep();
    if (c == 8)
        DeleteChar(false);
    else if (c == 13 || c == 10)
        control_.ReplaceSel("\r\n");
    else
        control_.ReplaceSel(std::string(1, static_cast<char>(c & 0xFF)));
    goalCell_ = -1;
    ScrollCaret();
}

void CEditView::AfterTyping() {
    goalCell_ = -1;
    ScrollCaret();
    RestartBlink();
}

void CEditView::OnKeyDown(int vk) {
    if (vk != kVkDelete) return;
    if (IsReadOnly()) return Beep();
    DeleteChar(true);
    goalCell_ = -1;
    ScrollCaret();
}

void CEditView::OnImeComposition(const std::string& result) {
    for (char b : result)
        OnChar(static_cast<unsigned char>(b));
}

void CEditView::DeleteChar(bool forward) {
    if (control_.HasSelection()) return control_.Clear();
    const TextBuffer& b = control_.Buffer();
    const Offset pos = control_.Caret();
    if (forward) {
        if (pos >= b.Length()) return;
        control_.SetSel(pos, mireka::NextCharOffset(b, pos));
    } else {
        if (pos <= 0) return;
        control_.SetSel(mireka::PrevCharOffset(b, pos), pos);
    }
    control_.Clear();
}

void CEditView::OnTextChanged() {
    emit TextChanged();
}

void CEditView::LineColors(int, std::string_view, std::size_t, std::size_t,
                           std::vector<ColoredRun>&) {}

bool CEditView::OnLeftButtonDown(QMouseEvent*) {
    return false;
}

void CEditView::OnContextMenu(const QPoint& globalPos) {
    QMenu menu(this);
    const bool sel = control_.HasSelection();
    const bool ro = IsReadOnly();
    menu.addAction(QStringLiteral("切り取り(&T)"), this, &CEditView::Cut)->setEnabled(sel && !ro);
    menu.addAction(QStringLiteral("コピー(&C)"), this, &CEditView::Copy)->setEnabled(sel);
    menu.addAction(QStringLiteral("貼り付け(&P)"), this, &CEditView::Paste)
        ->setEnabled(!ro && CanPaste());
    menu.addAction(QStringLiteral("削除(&D)"), this, &CEditView::Clear)->setEnabled(sel && !ro);
    menu.addSeparator();
    menu.addAction(QStringLiteral("すべて選択(&A)"), this, &CEditView::SelectAll)
        ->setEnabled(control_.Length() > 0);
    menu.exec(globalPos);
}

// ---- navigation ------------------------------------------------------------------------

Offset CEditView::NextCharOffset(Offset pos) const {
    return mireka::NextCharOffset(control_.Buffer(), pos);
}

Offset CEditView::PrevCharOffset(Offset pos) const {
    return mireka::PrevCharOffset(control_.Buffer(), pos);
}

Offset CEditView::WordLeft(Offset pos) const {
    const TextBuffer& b = control_.Buffer();
    const Offset start = b.LineStart(b.LineFromOffset(pos));
    if (pos == start) return PrevCharOffset(pos);
    const std::string text = b.Text(start, pos);
    return start + static_cast<Offset>(layout::PrevWordStart(text, text.size()));
}

Offset CEditView::WordRight(Offset pos) const {
    const TextBuffer& b = control_.Buffer();
    const int line = b.LineFromOffset(pos);
    const Offset start = b.LineStart(line);
    if (pos >= b.LineEnd(line)) return NextCharOffset(pos);
    const std::string text = b.LineText(line);
    return start +
           static_cast<Offset>(layout::NextWordStart(text, static_cast<std::size_t>(pos - start)));
}

void CEditView::MoveCaret(Offset pos, bool extend, bool keepGoal) {
    const Offset anchor = extend ? control_.Anchor() : pos;
    if (!keepGoal) goalCell_ = -1;
    control_.SetSel(anchor, pos);
    ScrollCaret();
    RestartBlink();
}

bool CEditView::HandleNavigation(QKeyEvent* event) {
    const auto mods = event->modifiers() & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
    if (mods & (Qt::AltModifier | Qt::MetaModifier)) return false;
    const bool extend = mods & Qt::ShiftModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    const TextBuffer& b = control_.Buffer();
    const Offset caret = control_.Caret();
    const int line = b.LineFromOffset(caret);
    auto vertical = [&](int targetLine, int scroll) {
        if (goalCell_ < 0) goalCell_ = CellOfOffset(caret);
        if (scroll) ScrollLines(scroll);
        MoveCaret(OffsetAtLineCell(targetLine, goalCell_), extend, true);
    };
    switch (event->key()) {
    case Qt::Key_Left:
        if (!extend && !ctrl && control_.HasSelection())
            MoveCaret(control_.SelStart(), false);
        else
            MoveCaret(ctrl ? WordLeft(caret) : PrevCharOffset(caret), extend);
        return true;
    case Qt::Key_Right:
        if (!extend && !ctrl && control_.HasSelection())
            MoveCaret(control_.SelEnd(), false);
        else
            MoveCaret(ctrl ? WordRight(caret) : NextCharOffset(caret), extend);
        return true;
    case Qt::Key_Up:
        if (ctrl) return false;
        if (line > 0)
            vertical(line - 1, 0);
        else
            MoveCaret(caret, extend, true);
        return true;
    case Qt::Key_Down:
        if (ctrl) return false;
        if (line + 1 < b.LineCount())
            vertical(line + 1, 0);
        else
            MoveCaret(caret, extend, true);
        return true;
    case Qt::Key_Home:
        MoveCaret(ctrl ? 0 : b.LineStart(line), extend);
        return true;
    case Qt::Key_End:
        MoveCaret(ctrl ? b.Length() : b.LineEnd(line), extend);
        return true;
    case Qt::Key_PageUp: {
        if (ctrl) return false;
        const int step = std::max(1, VisibleRows() - 1);
        vertical(std::max(0, line - step), -step);
        return true;
    }
    case Qt::Key_PageDown: {
        if (ctrl) return false;
        const int step = std::max(1, VisibleRows() - 1);
        vertical(std::min(b.LineCount() - 1, line + step), step);
        return true;
    }
    default:
        return false;
    }
}

bool CEditView::focusNextPrevChild(bool) {
    return false;
} // Tab is text here

bool CEditView::event(QEvent* e) {
    // Typing must reach the text even where the window around has a shortcut on the same key.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        const auto mods = key->modifiers() & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
        const QString text = key->text();
        const bool printable =
            !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
                return c.unicode() >= 0x20 && c.unicode() != 0x7F;
            });
        const bool editKey = key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Return ||
                             key->key() == Qt::Key_Enter || key->key() == Qt::Key_Tab ||
                             key->key() == Qt::Key_Backtab;
        const bool lineFeed = key->text() == QStringLiteral("\n") ||
                              (mods == Qt::ControlModifier &&
                               (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                                key->key() == Qt::Key_J));
        // A read-only view (the output window) keeps its own copy keys: the frame's would copy
        // from the editor.
        const bool ownCopy = IsReadOnly() && (key->matches(QKeySequence::Copy) ||
                                              key->matches(QKeySequence::SelectAll));
        if ((printable && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) ||
            (editKey && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) ||
            (lineFeed && !IsReadOnly()) || ownCopy) {
            e->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

void CEditView::keyPressEvent(QKeyEvent* event) {
    if (HandleNavigation(event)) return;
    if (event->matches(QKeySequence::Copy)) return Copy();
    if (event->matches(QKeySequence::Cut)) return Cut();
    if (event->matches(QKeySequence::Paste)) return Paste();
    if (event->matches(QKeySequence::SelectAll)) return SelectAll();
    const auto mods = event->modifiers() & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
    const bool plain = !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    const bool ctrlOnly = mods == Qt::ControlModifier;
    // The line feed (Ctrl+Enter, Ctrl+J, the Linefeed key) breaks the line as Enter does.
    if (event->text() == QStringLiteral("\n") && !(mods & (Qt::AltModifier | Qt::MetaModifier)))
        return OnChar(10);
    switch (event->key()) {
    case Qt::Key_Backspace:
        if (plain) return OnChar(8);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (plain) return OnChar(13);
        if (ctrlOnly) return OnChar(10);
        break;
    case Qt::Key_J:
        if (ctrlOnly) return OnChar(10);
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: // Shift+Tab types a tab too
        if (plain) return OnChar(9);
        break;
    case Qt::Key_Delete:
        if (mods == Qt::NoModifier) return OnKeyDown(kVkDelete);
        break;
    default:
        break;
    }
    const QString text = event->text();
    const bool printable = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() >= 0x20 && c.unicode() != 0x7F;
    });
    if (plain && printable) {
        if (IsReadOnly()) return Beep();
        std::string bytes;
        if (!cp932::Encode(text, bytes)) return Beep();
        for (char b : bytes)
            OnChar(static_cast<unsigned char>(b));
        return;
    }
    event->ignore();
}

void CEditView::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty() && !IsReadOnly()) {
        std::string bytes;
        if (cp932::Encode(cp932::ToCrLf(event->commitString()), bytes))
            OnImeComposition(bytes);
        else
            Beep();
    }
    if (preedit_ != event->preeditString()) {
        preedit_ = event->preeditString();
        const int line = control_.LineFromChar(control_.Caret());
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

// ---- mouse -----------------------------------------------------------------------------

void CEditView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    setFocus(Qt::MouseFocusReason);
    if (OnLeftButtonDown(event)) return;
    const Offset pos = CharFromPos(event->position().toPoint());
    MoveCaret(pos, event->modifiers() & Qt::ShiftModifier);
    dragSelecting_ = true;
    wordSelecting_ = false;
    lastDragPoint_ = event->position().toPoint();
}

void CEditView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const TextBuffer& b = control_.Buffer();
    const Offset pos = CharFromPos(event->position().toPoint());
    const int line = b.LineFromOffset(pos);
    const Offset start = b.LineStart(line);
    const std::string text = b.LineText(line);
    const auto word = layout::WordAt(text, static_cast<std::size_t>(pos - start));
    wordAnchorStart_ = start + static_cast<Offset>(word.first);
    wordAnchorEnd_ = start + static_cast<Offset>(word.second);
    control_.SetSel(wordAnchorStart_, wordAnchorEnd_);
    ScrollCaret();
    dragSelecting_ = true;
    wordSelecting_ = true;
}

void CEditView::DragSelectTo(QPoint point) {
    const TextBuffer& b = control_.Buffer();
    Offset pos = CharFromPos(point);
    if (point.y() < 0 && GetFirstVisibleLine() == 0) pos = 0;
    if (wordSelecting_) {
        const int line = b.LineFromOffset(pos);
        const Offset start = b.LineStart(line);
        const auto word = layout::WordAt(b.LineText(line), static_cast<std::size_t>(pos - start));
        if (pos < wordAnchorStart_)
            control_.SetSel(wordAnchorEnd_, start + static_cast<Offset>(word.first));
        else
            control_.SetSel(wordAnchorStart_,
                            std::max(wordAnchorEnd_, start + static_cast<Offset>(word.second)));
    } else {
        control_.SetSel(control_.Anchor(), pos);
    }
    ScrollCaret();
}

void CEditView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragSelecting_ || !(event->buttons() & Qt::LeftButton)) return;
    lastDragPoint_ = event->position().toPoint();
    DragSelectTo(lastDragPoint_);
    if (viewport()->rect().contains(lastDragPoint_))
        dragTimer_.stop();
    else if (!dragTimer_.isActive())
        dragTimer_.start(kDragScrollMs, this);
}

void CEditView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragSelecting_ = false;
    wordSelecting_ = false;
    dragTimer_.stop();
}

void CEditView::contextMenuEvent(QContextMenuEvent* event) {
    OnContextMenu(event->globalPos());
}

// ---- caret -----------------------------------------------------------------------------

QRect CEditView::CaretRect() const {
    const QPoint p = PosFromChar(control_.Caret());
    return QRect(p.x(), p.y(), kCaretWidth, lineHeight_);
}

void CEditView::RestartBlink() {
    caretOn_ = hasFocus();
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash > 0)
        blinkTimer_.start(flash / 2, this);
    else
        blinkTimer_.stop();
    viewport()->update(CaretRect());
}

void CEditView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    RestartBlink();
}

void CEditView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    blinkTimer_.stop();
    caretOn_ = false;
    viewport()->update(CaretRect());
}

void CEditView::timerEvent(QTimerEvent* event) {
    if (event->timerId() == blinkTimer_.timerId()) {
        caretOn_ = !caretOn_;
        viewport()->update(CaretRect());
    } else if (event->timerId() == dragTimer_.timerId()) {
        DragSelectTo(lastDragPoint_);
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

// ---- change notifications ----------------------------------------------------------------

void CEditView::InvalidateLines(int first, int last) {
    if (last < first) std::swap(first, last);
    const int top = GetFirstVisibleLine();
    const int rows = VisibleRows() + 1;
    first = std::max(first, top);
    last = std::min(last, top + rows);
    if (last < first) return;
    viewport()->update(QRect(0, (first - top) * lineHeight_, viewport()->width(),
                             (last - first + 1) * lineHeight_));
}

void CEditView::InvalidateFrom(int line) {
    const int top = GetFirstVisibleLine();
    const int y = std::max(0, (line - top) * lineHeight_);
    viewport()->update(QRect(0, y, viewport()->width(), std::max(0, viewport()->height() - y)));
}

void CEditView::OnTextReplaced(Offset pos, Offset removed, Offset inserted, int linesBefore) {
    const TextBuffer& b = control_.Buffer();
    lastEdit_ = {pos, removed, inserted, b.LineCount() != linesBefore};
    const int line = b.LineFromOffset(pos);
    widestCells_ = std::max<std::int64_t>(widestCells_, b.LongestLineWatermark());
    if (b.LineCount() != linesBefore) {
        UpdateScrollBars();
        InvalidateFrom(line);
    } else {
        InvalidateLines(line, b.LineFromOffset(pos + inserted));
    }
    OnTextChanged();
}

void CEditView::OnSelectionChanged() {
    // Repaint the lines that leave or join the selection, and the caret's old and new line.
    const TextBuffer& b = control_.Buffer();
    const int first = b.LineFromOffset(control_.SelStart());
    const int last = b.LineFromOffset(control_.SelEnd());
    InvalidateLines(shownSelFirst_, shownSelLast_);
    InvalidateLines(first, last);
    shownSelFirst_ = first;
    shownSelLast_ = last;
    caretOn_ = hasFocus();
    emit SelectionChanged();
}

void CEditView::scrollContentsBy(int, int) {
    viewport()->update();
    emit Scrolled();
}

void CEditView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

// ---- painting --------------------------------------------------------------------------

void CEditView::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    const QRect area = event->rect();
    p.fillRect(area, backColor_);
    const QRect text = GetRect();
    p.setClipRect(QRect(text.left(), area.top(), text.width(), area.height()) & area);
    p.setFont(font_);

    const TextBuffer& b = control_.Buffer();
    const int top = GetFirstVisibleLine();
    const int firstRow = std::max(0, area.top() / lineHeight_);
    const int lastRow = area.bottom() / lineHeight_;
    const Offset selStart = control_.SelStart();
    const Offset selEnd = control_.SelEnd();
    for (int row = firstRow; row <= lastRow; ++row) {
        const int line = top + row;
        if (line >= b.LineCount()) break;
        PaintLine(p, line, row * lineHeight_, selStart, selEnd);
    }

    const QRect caret = CaretRect();
    if (!preedit_.isEmpty()) {
        const QFontMetrics fm(font_);
        const QRect box(caret.left(), caret.top(), fm.horizontalAdvance(preedit_) + 1, lineHeight_);
        p.fillRect(box, backColor_);
        QFont underlined = font_;
        underlined.setUnderline(true);
        p.setFont(underlined);
        p.setPen(textColor_);
        p.drawText(QPoint(box.left(), box.top() + ascent_), preedit_);
        p.setFont(font_);
    }
    if (caretOn_ && hasFocus() && preedit_.isEmpty()) p.fillRect(caret, textColor_);
    if (dropCaret_ >= 0) {
        const QPoint at = PosFromChar(dropCaret_);
        p.fillRect(QRect(at.x(), at.y(), kCaretWidth, lineHeight_), textColor_);
    }
}

void CEditView::SetShowFullWidthSpace(bool on) {
    if (showFullWidthSpace_ == on) return;
    showFullWidthSpace_ = on;
    viewport()->update();
}

void CEditView::PaintLine(QPainter& p, int line, int y, Offset selStart, Offset selEnd) {
    const TextBuffer& b = control_.Buffer();
    const Offset start = b.LineStart(line);
    const std::string text = b.LineText(line);
    NoteLineWidth(text);
    const double originX = GetRect().left() - horizontalScrollBar()->value();
    const double rightEdge = viewport()->width();
    // Only the characters in view are walked and coloured: a line may be megabytes long.
    const auto cellAt = [&](double x) {
        return static_cast<std::int64_t>(std::max(0.0, std::floor((x - originX) / cellWidth_)));
    };
    const layout::CellPlace first = layout::CharAtCell(text, cellAt(0), tabCells_);
    const layout::CellPlace last = layout::CharAtCell(text, cellAt(rightEdge) + 1, tabCells_);
    runs_.clear();
    LineColors(line, text, first.column, dbcs::NextCharPos(text, last.column), runs_);

    const auto len = static_cast<Offset>(text.size());
    const Offset ss = std::clamp<Offset>(selStart - start, 0, len);
    const Offset se = std::clamp<Offset>(selEnd - start, 0, len);
    const QPalette& pal = palette();
    const QColor selBack = pal.color(QPalette::Active, QPalette::Highlight);
    const QColor selText = pal.color(QPalette::Active, QPalette::HighlightedText);

    QString pending;
    double pendingX = 0;
    QColor pendingColor;
    auto flush = [&]() {
        if (pending.isEmpty()) return;
        p.setPen(pendingColor);
        p.drawText(QPointF(pendingX, y + ascent_), pending);
        pending.clear();
    };

    std::size_t run = 0;
    std::int64_t cells = first.cells;
    for (std::size_t i = first.column; i < text.size();) {
        const std::size_t n = dbcs::CharLength(text, i);
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::int64_t width =
            byte == '\t' ? tabCells_ - cells % tabCells_ : static_cast<std::int64_t>(n);
        const double x = originX + static_cast<double>(cells) * cellWidth_;
        if (x > rightEdge) break;
        const double w = static_cast<double>(width) * cellWidth_;
        if (x + w >= 0) {
            const bool selected = static_cast<Offset>(i) >= ss && static_cast<Offset>(i) < se;
            while (run < runs_.size() && runs_[run].end <= static_cast<std::int32_t>(i))
                ++run;
            QColor color = textColor_;
            if (selected)
                color = selText;
            else if (run < runs_.size() && runs_[run].start <= static_cast<std::int32_t>(i))
                color = QColor::fromRgb(runs_[run].color);
            if (selected) {
                flush();
                p.fillRect(QRectF(x, y, w, lineHeight_), selBack);
            }
            const bool single = n == 1 && byte != '\t' && !IsControlByte(byte);
            if (single && !charByChar_ && !pending.isEmpty() && color == pendingColor) {
                pending += QChar(cp932::DecodeSingle(byte));
            } else {
                flush();
                if (n == 2 && showFullWidthSpace_ && byte == 0x81 && text[i + 1] == 0x40) {
                    // Faint, so that it marks the character without reading as a box in
                    // the program.
                    QColor faint = color;
                    faint.setAlphaF(0.35);
                    const double side = std::min(w, double(lineHeight_)) - 4;
                    p.setPen(QPen(faint, 1));
                    p.drawRect(QRectF(x + (w - side) / 2 + 0.5, y + (lineHeight_ - side) / 2 + 0.5,
                                      side - 1, side - 1));
                } else if (n == 2) {
                    pendingX = x;
                    pendingColor = color;
                    pending =
                        QChar(cp932::DecodePair(byte, static_cast<unsigned char>(text[i + 1])));
                    flush();
                } else if (single) {
                    pendingX = x;
                    pendingColor = color;
                    pending = QChar(cp932::DecodeSingle(byte));
                }
            }
        }
        cells += width;
        i += n;
    }
    flush();
}

} // namespace mireka
