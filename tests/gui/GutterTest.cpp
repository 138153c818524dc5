// The line-number gutter driven with real mouse and wheel events.
#include "gui/editor/LineNumberWnd.h"
#include "gui/editor/UndoEditView.h"

#include "GuiTestSupport.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace mireka {
namespace {

class GutterWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(view);
        window.resize(400, 300);
        view->SetMargins(34, 0);
        std::string text;
        for (int i = 0; i < 60; ++i)
            text += "line " + std::to_string(i) + "\r\n";
        text += "last";
        view->SetWindowText(text);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        Settle();
    }
    // Lets every pending paint happen.
    static void Settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    int H() const { return view->LineHeight(); }
    QPoint Row(int row) const { return {10, row * H() + H() / 2}; }
    Offset Start(int line) const { return view->LineIndex(line); }
    Offset SelStart() const { return view->Control().SelStart(); }
    Offset SelEnd() const { return view->Control().SelEnd(); }
    Offset Caret() const { return view->Control().Caret(); }
    QRegion Rows(std::initializer_list<int> rows) const {
        QRegion r;
        for (int row : rows)
            r += QRect(0, row * H(), gutter->GutterWidth(), H());
        return r;
    }

    test::FakePrompts prompts;
    QWidget window;
    CUndoEditView* view = new CUndoEditView(&window);
    CLineNumberWnd* gutter = new CLineNumberWnd(33, view);
};

TEST_F(GutterWindowTest, SitsOverTheLeftMarginWithItsOwnUpRightArrow) {
    EXPECT_EQ(gutter->geometry(), QRect(0, 0, 33, view->viewport()->height()));
    EXPECT_EQ(gutter->NumberFont().pointSize(), 9);
    // The arrow points up and to the right: its tip, the hot spot, is the top-right pixel.
    const QCursor cursor = gutter->cursor();
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(31, 0));
    const QImage image = cursor.pixmap().toImage();
    ASSERT_EQ(image.size(), QSize(32, 32));
    EXPECT_GT(qAlpha(image.pixel(31, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    // It follows the view's height.
    window.resize(400, 420);
    Settle();
    EXPECT_EQ(gutter->height(), view->viewport()->height());
}

TEST_F(GutterWindowTest, DraggingUpSelectsWholeLinesWithTheCaretAtTheTop) {
    QTest::mousePress(gutter, Qt::LeftButton, Qt::NoModifier, Row(10));
    EXPECT_TRUE(gutter->HasCapture());
    EXPECT_EQ(SelStart(), Start(10));
    EXPECT_EQ(SelEnd(), Start(11)) << "a press selects its line with the line break";
    QTest::mouseMove(gutter, Row(6));
    QTest::mouseMove(gutter, Row(3));
    EXPECT_EQ(SelStart(), Start(3));
    EXPECT_EQ(SelEnd(), Start(11));
    EXPECT_EQ(Caret(), Start(3)) << "the caret is at the upper end";
    // Back below the anchor the selection turns round.
    QTest::mouseMove(gutter, Row(12));
    EXPECT_EQ(SelStart(), Start(10));
    EXPECT_EQ(Caret(), Start(13));
    QTest::mouseRelease(gutter, Qt::LeftButton, Qt::NoModifier, Row(12));
    EXPECT_FALSE(gutter->HasCapture());
    // Without the button held a move selects nothing.
    QTest::mouseMove(gutter, Row(2));
    EXPECT_EQ(SelStart(), Start(10));
}

TEST_F(GutterWindowTest, DraggingDownPutsTheCaretAtTheStartOfTheNextLine) {
    QTest::mousePress(gutter, Qt::LeftButton, Qt::NoModifier, Row(3));
    QTest::mouseMove(gutter, Row(10));
    EXPECT_EQ(SelStart(), Start(3));
    EXPECT_EQ(Caret(), Start(11));
    // A point a little above the gutter still counts as the first row.
    QTest::mouseMove(gutter, QPoint(10, -3));
    EXPECT_EQ(Caret(), 0);
    EXPECT_EQ(SelEnd(), Start(4));
    // Far below the window the drag reaches the last line and the text scrolls with it.
    QTest::mouseMove(gutter, QPoint(10, 5000));
    EXPECT_EQ(Caret(), view->GetWindowTextLength()) << "the last line ends at the end of the text";
    EXPECT_EQ(SelStart(), Start(3));
    EXPECT_GT(view->GetFirstVisibleLine(), 0);
    QTest::mouseRelease(gutter, Qt::LeftButton, Qt::NoModifier, QPoint(10, 5000));
    Settle();
    EXPECT_EQ(gutter->FirstLineAtPaint(), view->GetFirstVisibleLine());
}

TEST_F(GutterWindowTest, ClickingBelowTheLastLineSelectsTheLastLine) {
    view->SetWindowText("abc\r\ndef\r\ngh");
    Settle();
    QTest::mouseClick(gutter, Qt::LeftButton, Qt::NoModifier, Row(7));
    EXPECT_EQ(SelStart(), Start(2));
    EXPECT_EQ(SelEnd(), 12);
    // A last line ending in a break: the empty line after it is the last line.
    view->SetWindowText("abc\r\n");
    Settle();
    QTest::mouseClick(gutter, Qt::LeftButton, Qt::NoModifier, Row(0));
    EXPECT_EQ(SelStart(), 0);
    EXPECT_EQ(SelEnd(), 5);
    QTest::mouseClick(gutter, Qt::LeftButton, Qt::NoModifier, Row(4));
    EXPECT_EQ(SelStart(), 5);
    EXPECT_EQ(SelEnd(), 5);
}

TEST_F(GutterWindowTest, ACaretLineChangeRepaintsTwoRowsAndAScrollTheWholeGutter) {
    gutter->UpdateCurrentLine(0, 2);
    Settle();
    gutter->UpdateCurrentLine(2, 5);
    Settle();
    EXPECT_EQ(gutter->LastPaintedRegion(), Rows({2, 5}));
    // The marked row is blue, the others cyan.
    const QImage image = gutter->grab().toImage();
    EXPECT_EQ(QColor(image.pixel(2, 5 * H() + 1)), CLineNumberWnd::kCurrentBackground);
    EXPECT_EQ(QColor(image.pixel(2, 2 * H() + 1)), CLineNumberWnd::kBackground);

    // A wheel turn scrolls the text; the numbers follow at once.
    const QPointF at(100, 10);
    QWheelEvent wheel(at, view->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &wheel);
    const int first = view->GetFirstVisibleLine();
    ASSERT_GT(first, 0);
    Settle();
    EXPECT_EQ(gutter->FirstLineAtPaint(), first);
    EXPECT_EQ(gutter->LastPaintedRegion(), QRegion(gutter->rect()));

    // A caret line change after a scroll that was not painted yet repaints everything.
    view->ScrollLines(2);
    gutter->UpdateCurrentLine(5, first + 3);
    Settle();
    EXPECT_EQ(gutter->LastPaintedRegion(), QRegion(gutter->rect()));
    gutter->UpdateCurrentLine(first + 3, first + 4);
    Settle();
    EXPECT_EQ(gutter->LastPaintedRegion(), Rows({1, 2}));
}

} // namespace
} // namespace mireka
