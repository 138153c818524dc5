// The edit control's text-control operations: offsets, lines and pixels on the cell grid, the
// grid's settings, and the scroll bars that follow the text and the caret.
#include "gui/editor/EditView.h"

#include "core/editor/Layout.h"

#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace mireka {

void CEditView::GetSel(Offset& start, Offset& end) const noexcept {
    start = Control().SelStart();
    end = Control().SelEnd();
}

void CEditView::SetWindowText(std::string_view text) {
    TextBuffer::Builder built(text.size(), Control().Buffer().ChunkCapacity());
    built.Append(text);
    SetWindowText(std::move(built));
}

void CEditView::SetWindowText(TextBuffer::Builder&& built) {
    session_.SetText(std::move(built));
    widestCells_ = Control().Buffer().LongestLineWatermark();
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

QPoint CEditView::PosFromChar(Offset offset) const {
    const TextBuffer& b = Control().Buffer();
    offset = std::clamp<Offset>(offset, 0, b.Length());
    const int line = b.LineFromOffset(offset).Index();
    const double x =
        GetRect().left() + session_.CellOf(offset) * cellWidth_ - horizontalScrollBar()->value();
    return QPoint(static_cast<int>(std::floor(x)), (line - GetFirstVisibleLine()) * lineHeight_);
}

Offset CEditView::CharFromPos(QPoint point, int* lineOut) const {
    const TextBuffer& b = Control().Buffer();
    const QRect rect = GetRect();
    const int row =
        static_cast<int>(std::floor(static_cast<double>(point.y() - rect.top()) / lineHeight_));
    const int line = std::max(0, GetFirstVisibleLine() + row);
    if (lineOut) *lineOut = line;
    if (line >= b.LineCount()) return b.Length();
    const double cell = (point.x() - rect.left() + horizontalScrollBar()->value()) / cellWidth_;
    return session_.OffsetAtCell(Line(line), cell);
}

void CEditView::SetTabStops(int cells) {
    session_.SetTabCells(cells);
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
    Control().SetReadOnly(on);
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
    v->setRange(0, std::max(0, Control().LineCount() - rows));
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

void CEditView::NoteLineWidth(Line line, std::string_view text) {
    // Cells are at most the byte count times the tab width, so only a line that could be wider
    // needs measuring.
    if (static_cast<std::int64_t>(text.size()) * TabCells() <= widestCells_) return;
    const std::int64_t cells = session_.LineCells(line, text).Count();
    if (cells > widestCells_) {
        widestCells_ = cells;
        UpdateScrollBars();
    }
}

void CEditView::ScrollCaret() {
    const TextBuffer& b = Control().Buffer();
    const Offset caret = Control().Caret();
    const int line = b.LineFromOffset(caret).Index();
    const int first = GetFirstVisibleLine();
    const int rows = VisibleRows();
    if (line < first)
        verticalScrollBar()->setValue(line);
    else if (line >= first + rows)
        verticalScrollBar()->setValue(line - rows + 1);

    const double cells = session_.CellOf(caret);
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

void CEditView::scrollContentsBy(int, int) {
    viewport()->update();
    emit Scrolled();
}

void CEditView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

} // namespace mireka
