// Our multi-line text control: keys and mouse become the edit session's commands, its changes
// become repaints of the lines they touch.
#include "gui/editor/EditView.h"

#include "core/editor/Layout.h"
#include "gui/base/Prompts.h"
#include "gui/editor/Cp932.h"
#include "gui/editor/EditorFont.h"
#include "gui/editor/TextCodec.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace mireka {

namespace {

constexpr int kCaretWidth = 2;
constexpr int kDragScrollMs = 50;

bool IsControlByte(unsigned char b) {
    return b < 0x20 || b == 0x7F;
}

// U+3000, which the frame may mark: 0x81 0x40 in code page 932.
bool IsFullWidthSpace(Encoding enc, std::string_view text, std::size_t i) {
    const std::string_view space = enc == Encoding::Utf8 ? "\xE3\x80\x80" : "\x81\x40";
    return text.substr(i, space.size()) == space;
}

// The keypad and the keyboard group change nothing about what a key does here.
Qt::KeyboardModifiers EditModifiers(const QKeyEvent* event) {
    return event->modifiers() & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
}

bool IsPrintable(const QString& text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() >= 0x20 && c.unicode() != 0x7F;
    });
}

} // namespace

CEditView::CEditView(QWidget* parent) : QAbstractScrollArea(parent) {
    Control().SetListener(this);
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
    Control().SetListener(nullptr);
}

void CEditView::ShowDropCaret(Offset offset) {
    auto rect = [this](Offset at) {
        const QPoint p = PosFromChar(at);
        return QRect(p.x(), p.y(), kCaretWidth, lineHeight_);
    };
    if (dropCaret_ >= 0) viewport()->update(rect(dropCaret_));
    dropCaret_ = offset < 0 ? -1 : std::min(offset, Control().Length());
    if (dropCaret_ >= 0) viewport()->update(rect(dropCaret_));
}

void CEditView::Beep() const {
    Prompts::Current().Beep();
}

void CEditView::AfterTyping() {
    session_.ForgetGoalColumn();
    ScrollCaret();
    RestartBlink();
}

void CEditView::Typed(bool done) {
    if (!done) return Beep();
    RestartBlink();
}

void CEditView::OnTextChanged() {
    emit TextChanged();
}

void CEditView::LineColors(int, std::string_view, std::size_t, std::size_t,
                           std::vector<ColoredRun>&) {}

bool CEditView::OnLeftButtonDown(QMouseEvent*) {
    return false;
}

// ---- keys ----------------------------------------------------------------------------------

bool CEditView::HandleNavigation(QKeyEvent* event) {
    const auto mods = EditModifiers(event);
    if (mods & (Qt::AltModifier | Qt::MetaModifier)) return false;
    const bool extend = mods & Qt::ShiftModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    CaretMove move;
    switch (event->key()) {
    case Qt::Key_Left:
        move = ctrl ? CaretMove::WordLeft : CaretMove::CharLeft;
        break;
    case Qt::Key_Right:
        move = ctrl ? CaretMove::WordRight : CaretMove::CharRight;
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (ctrl) return false;
        move = event->key() == Qt::Key_Up ? CaretMove::LineUp : CaretMove::LineDown;
        break;
    case Qt::Key_Home:
        move = ctrl ? CaretMove::TextStart : CaretMove::LineStart;
        break;
    case Qt::Key_End:
        move = ctrl ? CaretMove::TextEnd : CaretMove::LineEnd;
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        if (ctrl) return false;
        // The view scrolls by a page first; the caret comes along.
        const int step = std::max(1, VisibleRows() - 1);
        const int rows = event->key() == Qt::Key_PageUp ? -step : step;
        ScrollLines(rows);
        session_.MovePage(rows, extend);
        RestartBlink();
        return true;
    }
    default:
        return false;
    }
    session_.Move(move, extend);
    RestartBlink();
    return true;
}

bool CEditView::focusNextPrevChild(bool) {
    return false;
} // Tab is text here

bool CEditView::event(QEvent* e) {
    // Typing must reach the text even where the window around has a shortcut on the same key.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        const auto mods = EditModifiers(key);
        const bool printable = IsPrintable(key->text());
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

int CEditView::TypingChar(const QKeyEvent* event) {
    const auto mods = EditModifiers(event);
    const bool plain = !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    const bool ctrlOnly = mods == Qt::ControlModifier;
    // The line feed (Ctrl+Enter, Ctrl+J, the Linefeed key) breaks the line as Enter does.
    if (event->text() == QStringLiteral("\n") && !(mods & (Qt::AltModifier | Qt::MetaModifier)))
        return 10;
    switch (event->key()) {
    case Qt::Key_Backspace:
        return plain ? 8 : -1;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return plain ? 13 : ctrlOnly ? 10 : -1;
    case Qt::Key_J:
        return ctrlOnly ? 10 : -1;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: // Shift+Tab types a tab too
        return plain ? 9 : -1;
    default:
        return -1;
    }
}

void CEditView::keyPressEvent(QKeyEvent* event) {
    if (HandleNavigation(event)) return;
    if (event->matches(QKeySequence::Copy)) return Copy();
    if (event->matches(QKeySequence::Cut)) return Cut();
    if (event->matches(QKeySequence::Paste)) return Paste();
    if (event->matches(QKeySequence::SelectAll)) return SelectAll();
    const auto mods = EditModifiers(event);
    if (const int c = TypingChar(event); c >= 0)
        return Typed(session_.TypeChar(static_cast<unsigned char>(c)));
    if (event->key() == Qt::Key_Delete && mods == Qt::NoModifier)
        return Typed(session_.DeleteForward());
    if (!(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) &&
        IsPrintable(event->text())) {
        if (IsReadOnly()) return Beep();
        std::string bytes;
        if (!codec::Encode(session_.GetEncoding(), event->text(), bytes)) return Beep();
        return Typed(session_.TypeText(bytes));
    }
    event->ignore();
}

// ---- mouse -----------------------------------------------------------------------------

void CEditView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    setFocus(Qt::MouseFocusReason);
    if (OnLeftButtonDown(event)) return;
    session_.MoveTo(CharFromPos(event->position().toPoint()),
                    event->modifiers() & Qt::ShiftModifier);
    RestartBlink();
    dragSelecting_ = true;
    wordSelecting_ = false;
    lastDragPoint_ = event->position().toPoint();
}

void CEditView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    session_.SelectWordAt(CharFromPos(event->position().toPoint()));
    dragSelecting_ = true;
    wordSelecting_ = true;
}

void CEditView::DragSelectTo(QPoint point) {
    // Above the first line the selection reaches the start of the text.
    session_.DragTo(point.y() < 0 && GetFirstVisibleLine() == 0 ? 0 : CharFromPos(point),
                    wordSelecting_);
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
    const QPoint p = PosFromChar(Control().Caret());
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
    const TextBuffer& b = Control().Buffer();
    lastEdit_ = {pos, removed, inserted, b.LineCount() != linesBefore};
    const int line = b.LineFromOffset(pos).Index();
    widestCells_ = std::max<std::int64_t>(widestCells_, b.LongestLineWatermark());
    if (b.LineCount() != linesBefore) {
        UpdateScrollBars();
        InvalidateFrom(line);
    } else {
        InvalidateLines(line, b.LineFromOffset(pos + inserted).Index());
    }
    OnTextChanged();
}

void CEditView::OnSelectionChanged() {
    // Repaint the lines that leave or join the selection, and the caret's old and new line.
    const TextBuffer& b = Control().Buffer();
    const int first = b.LineFromOffset(Control().SelStart()).Index();
    const int last = b.LineFromOffset(Control().SelEnd()).Index();
    InvalidateLines(shownSelFirst_, shownSelLast_);
    InvalidateLines(first, last);
    shownSelFirst_ = first;
    shownSelLast_ = last;
    caretOn_ = hasFocus();
    emit SelectionChanged();
}

// ---- painting --------------------------------------------------------------------------

void CEditView::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    const QRect area = event->rect();
    p.fillRect(area, backColor_);
    const QRect text = GetRect();
    p.setClipRect(QRect(text.left(), area.top(), text.width(), area.height()) & area);
    p.setFont(font_);

    const TextBuffer& b = Control().Buffer();
    const int top = GetFirstVisibleLine();
    const int firstRow = std::max(0, area.top() / lineHeight_);
    const int lastRow = area.bottom() / lineHeight_;
    const Offset selStart = Control().SelStart();
    const Offset selEnd = Control().SelEnd();
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
    const TextBuffer& b = Control().Buffer();
    const int tabCells = TabCells();
    const Encoding enc = session_.GetEncoding();
    const Offset start = b.LineStart(Line(line));
    const std::string text = b.LineText(Line(line));
    NoteLineWidth(Line(line), text);
    const double originX = GetRect().left() - horizontalScrollBar()->value();
    const double rightEdge = viewport()->width();
    // Only the characters in view are walked and coloured: a line may be megabytes long.
    const auto cellAt = [&](double x) {
        return Cells(
            static_cast<std::int64_t>(std::max(0.0, std::floor((x - originX) / cellWidth_))));
    };
    const layout::CellPlace first = session_.CharAtCell(Line(line), text, cellAt(0));
    const layout::CellPlace last =
        session_.CharAtCell(Line(line), text, cellAt(rightEdge) + Cells(1));
    runs_.clear();
    LineColors(line, text, first.column, chars::NextCharPos(enc, text, last.column), runs_);

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
    std::int64_t cells = first.cells.Count();
    for (std::size_t i = first.column; i < text.size();) {
        const std::size_t n = chars::CharLength(enc, text, i);
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::int64_t width =
            byte == '\t' ? tabCells - cells % tabCells : chars::CharCells(enc, text, i);
        // Every UTF-8 character beyond ASCII is drawn on its own, like a double-byte one.
        const bool multi = enc == Encoding::Utf8 ? byte >= 0x80 : n == 2;
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
            const bool single = !multi && n == 1 && byte != '\t' && !IsControlByte(byte);
            if (single && !charByChar_ && !pending.isEmpty() && color == pendingColor) {
                pending += QChar(cp932::DecodeSingle(byte));
            } else {
                flush();
                if (multi && showFullWidthSpace_ && IsFullWidthSpace(enc, text, i)) {
                    // Faint, so that it marks the character without reading as a box in
                    // the program.
                    QColor faint = color;
                    faint.setAlphaF(0.35);
                    const double side = std::min(w, double(lineHeight_)) - 4;
                    p.setPen(QPen(faint, 1));
                    p.drawRect(QRectF(x + (w - side) / 2 + 0.5, y + (lineHeight_ - side) / 2 + 0.5,
                                      side - 1, side - 1));
                } else if (multi) {
                    pendingX = x;
                    pendingColor = color;
                    pending = enc == Encoding::Utf8
                                  ? codec::Decode(enc, std::string_view(text).substr(i, n))
                                  : QChar(cp932::DecodePair(
                                        byte, static_cast<unsigned char>(text[i + 1])));
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
