// The line-number gutter: a narrow child over the edit view's left margin that numbers the
// visible lines, marks the caret's line and selects whole lines when pressed and dragged.
#pragma once

#include "core/editor/Gutter.h"

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QRegion>
#include <QWidget>

namespace mireka {

class CEditView;

class CLineNumberWnd : public QWidget {
    Q_OBJECT

public:
    // The gutter lies over the left of the view's text area at (0, 0), `width` pixels wide and as
    // high as that area.
    CLineNumberWnd(int width, CEditView* view);

    // Marks `newLine` (0-based) as the caret's line. Without a scroll since the last paint only
    // the rows of the two lines are repainted.
    void UpdateCurrentLine(int oldLine, int newLine);
    [[nodiscard]] int CurrentLine() const noexcept { return gutter_.CurrentLine(); }
    [[nodiscard]] int FirstLineAtPaint() const noexcept { return gutter_.FirstLineAtPaint(); }
    [[nodiscard]] int RowHeightAtPaint() const noexcept { return gutter_.RowHeight(); }
    [[nodiscard]] int GutterWidth() const noexcept { return width_; }
    [[nodiscard]] const QFont& NumberFont() const noexcept { return font_; }
    [[nodiscard]] bool HasCapture() const noexcept { return capturing_; }
    // What the last paint covered, for tests of how much a change repaints.
    [[nodiscard]] const QRegion& LastPaintedRegion() const noexcept { return lastPainted_; }

    static inline const QColor kBackground{0, 255, 255};
    static inline const QColor kCurrentBackground{0, 0, 255};

    // 9-point Japanese gothic: the first installed of the preferred families, else the system font.
    [[nodiscard]] static QFont MakeNumberFont();
    // An arrow pointing up and to the right, hot spot at its tip (the top-right pixel).
    [[nodiscard]] static QCursor MakeArrowCursor();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FollowParent();
    // The row height is the editor font's, which may have changed since the last paint.
    void NoteRowHeight();

    CEditView* view_;
    Gutter gutter_;
    int width_;
    QFont font_;
    bool capturing_ = false;
    QRegion lastPainted_;
};

} // namespace mireka
