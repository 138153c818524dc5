// The line-number gutter.
#include "gui/editor/LineNumberWnd.h"

#include "gui/editor/EditView.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace mireka {

CLineNumberWnd::CLineNumberWnd(int width, CEditView* view)
    : QWidget(view->viewport()), view_(view), width_(width), font_(MakeNumberFont()) {
    // Every pixel is painted, and an invalidation never erases first.
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setFocusPolicy(Qt::NoFocus);
    setCursor(MakeArrowCursor());
    parentWidget()->installEventFilter(this);
    // The numbers follow a scroll (by bar, key or wheel) at once.
    connect(view, &CEditView::Scrolled, this, qOverload<>(&QWidget::update));
    FollowParent();
    show();
}

QFont CLineNumberWnd::MakeNumberFont() {
    static const QStringList preferred = {
        QStringLiteral("ＭＳ ゴシック"),
        QStringLiteral("Noto Sans CJK JP"),
        QStringLiteral("Noto Sans Mono CJK JP"),
    };
    const QStringList families = QFontDatabase::families();
    for (const QString& name : preferred)
        if (families.contains(name)) return QFont(name, 9);
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(9);
    return font;
}

QCursor CLineNumberWnd::MakeArrowCursor() {
    // The usual arrow, mirrored so that it points up and to the right.
    static const QPointF arrow[] = {{0, 0}, {0, 17}, {4, 13}, {7, 20}, {10, 19}, {7, 12}, {12, 12}};
    QPixmap image(32, 32);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        QPainterPath path;
        path.moveTo(31.5 - arrow[0].x(), arrow[0].y());
        for (const QPointF& pt : arrow)
            path.lineTo(31.5 - pt.x(), pt.y());
        path.closeSubpath();
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(Qt::black);
        p.drawPath(path);
    }
    return QCursor(image, 31, 0);
}

void CLineNumberWnd::FollowParent() {
    const QWidget* parent = parentWidget();
    setGeometry(0, 0, width_, std::max(1, parent->height()));
}

bool CLineNumberWnd::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        FollowParent();
        update();
    }
    return QWidget::eventFilter(watched, event);
}

void CLineNumberWnd::NoteRowHeight() {
    gutter_.NotePainted(gutter_.FirstLineAtPaint(), view_->LineHeight());
}

void CLineNumberWnd::UpdateCurrentLine(int oldLine, int newLine) {
    const GutterRepaint r =
        gutter_.UpdateCurrentLine(oldLine, newLine, view_->GetFirstVisibleLine());
    if (r.Whole()) {
        update();
        return;
    }
    for (const RowSpan& s : {*r.oldRow, *r.newRow})
        if (s.bottom > 0 && s.top < height()) update(QRect(0, s.top, width_, s.bottom - s.top));
}

void CLineNumberWnd::paintEvent(QPaintEvent* event) {
    lastPainted_ = event->region();
    const int h = std::max(1, view_->LineHeight());
    const int first = view_->GetFirstVisibleLine();
    QPainter p(this);
    p.setFont(font_);
    const QRect area = event->rect();
    const int rows = GutterRowCount(height(), h);
    for (int k = std::max(0, area.top() / h); k < rows && k * h <= area.bottom(); ++k) {
        const QRect row(0, k * h, width_, h);
        const bool current = gutter_.IsCurrentRow(first, k);
        p.fillRect(row, current ? kCurrentBackground : kBackground);
        p.setPen(current ? Qt::white : Qt::black);
        p.drawText(row, Qt::AlignCenter | Qt::TextSingleLine,
                   QString::fromLatin1(GutterNumberText(first + k)));
    }
    gutter_.NotePainted(first, h);
}

void CLineNumberWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    NoteRowHeight();
    gutter_.ButtonDown(view_->Control(), event->position().toPoint().y());
    capturing_ = true;
    // Qt's implicit grab sends the moves of this press here, also outside the gutter.
    view_->setFocus(Qt::MouseFocusReason);
    event->accept();
}

void CLineNumberWnd::mouseMoveEvent(QMouseEvent* event) {
    if (!capturing_) return QWidget::mouseMoveEvent(event);
    if (gutter_.DragTo(view_->Control(), event->position().toPoint().y())) update();
    event->accept();
}

void CLineNumberWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    capturing_ = false;
    event->accept();
}

} // namespace mireka
