// The line-number gutter: rows under a point, whole-line selection by pressing and dragging,
// the number text and the rows repainted when the caret's line changes.
#include "core/editor/Gutter.h"

#include <gtest/gtest.h>

#include <string>

namespace mireka {
namespace {

constexpr int kRow = 16;

// Lines "L0" … "L<n-1>", each but the last ending in CR LF (4 bytes per line before the last
// one while the numbers have one digit).
std::string Lines(int n) {
    std::string t;
    for (int i = 0; i < n; ++i) {
        t += "L" + std::to_string(i);
        if (i + 1 < n) t += "\r\n";
    }
    return t;
}

int Y(int row) {
    return row * kRow + kRow / 2;
}

TEST(Gutter, RowsTruncateTowardZeroAndCoverTheClientArea) {
    EXPECT_EQ(GutterRowAt(0, kRow), 0);
    EXPECT_EQ(GutterRowAt(15, kRow), 0);
    EXPECT_EQ(GutterRowAt(16, kRow), 1);
    // A point a little above the gutter still gives row 0; a whole row above gives -1.
    EXPECT_EQ(GutterRowAt(-5, kRow), 0);
    EXPECT_EQ(GutterRowAt(-15, kRow), 0);
    EXPECT_EQ(GutterRowAt(-16, kRow), -1);
    EXPECT_EQ(GutterRowAt(40, 0), 40); // no font metrics yet: never a division by zero

    EXPECT_EQ(GutterRowCount(160, kRow), 11);
    EXPECT_EQ(GutterRowCount(170, kRow), 11);
    EXPECT_EQ(GutterRowCount(0, kRow), 1);

    EXPECT_EQ(GutterNumberText(0), "   1");
    EXPECT_EQ(GutterNumberText(998), " 999");
    EXPECT_EQ(GutterNumberText(9998), "9999");
    EXPECT_EQ(GutterNumberText(9999), "10000");
}

TEST(Gutter, ButtonDownSelectsTheWholeLineAndTheRowBelowTheLastLineSelectsTheLast) {
    TextControl ctl(8);
    ctl.SetText(Lines(5)); // L0..L4, 18 bytes
    Gutter g;
    g.NotePainted(0, kRow);

    g.ButtonDown(ctl, Y(1));
    EXPECT_EQ(g.AnchorLine(), 1);
    EXPECT_EQ(ctl.SelStart(), 4);
    EXPECT_EQ(ctl.SelEnd(), 8); // with its CR LF
    EXPECT_EQ(ctl.Caret(), 8);

    // Rows below the last line fall on the last line, selected to the end of the text.
    g.ButtonDown(ctl, Y(9));
    EXPECT_EQ(g.AnchorLine(), 4);
    EXPECT_EQ(ctl.SelStart(), 16);
    EXPECT_EQ(ctl.SelEnd(), 18);

    // The first line at the last paint counts: the text is scrolled by two lines.
    g.NotePainted(2, kRow);
    g.ButtonDown(ctl, Y(0));
    EXPECT_EQ(g.AnchorLine(), 2);
    EXPECT_EQ(ctl.SelStart(), 8);
    EXPECT_EQ(ctl.SelEnd(), 12);

    // A text without line breaks: the only line up to the end.
    TextControl one;
    one.SetText("abc");
    Gutter h;
    h.NotePainted(0, kRow);
    h.ButtonDown(one, Y(3));
    EXPECT_EQ(one.SelStart(), 0);
    EXPECT_EQ(one.SelEnd(), 3);
}

TEST(Gutter, DraggingUpPutsTheCaretAtTheUpperEndAndDownAtTheLowerEnd) {
    TextControl ctl(8);
    const std::string text = Lines(15);
    ctl.SetText(text);
    Gutter g;
    g.NotePainted(0, kRow);

    // From line 10 up to line 3: lines 3 to 10 in full, caret at the start of line 3.
    g.ButtonDown(ctl, Y(10));
    EXPECT_FALSE(g.DragTo(ctl, Y(10)));
    EXPECT_TRUE(g.DragTo(ctl, Y(3)));
    EXPECT_EQ(ctl.Caret(), ctl.LineIndex(Line(3)));
    EXPECT_EQ(ctl.Anchor(), ctl.LineIndex(Line(11)));
    EXPECT_FALSE(g.DragTo(ctl, Y(3) + 3)); // same line: nothing to do

    // From line 3 down to line 10: caret at the start of line 11.
    g.ButtonDown(ctl, Y(3));
    EXPECT_TRUE(g.DragTo(ctl, Y(10)));
    EXPECT_EQ(ctl.Anchor(), ctl.LineIndex(Line(3)));
    EXPECT_EQ(ctl.Caret(), ctl.LineIndex(Line(11)));
    // Down to the last line and beyond: the end of the text.
    EXPECT_TRUE(g.DragTo(ctl, Y(40)));
    EXPECT_EQ(ctl.Caret(), static_cast<Offset>(text.size()));
    EXPECT_EQ(g.LastDragLine(), 14);
    // Back onto the anchor line: that line alone.
    EXPECT_TRUE(g.DragTo(ctl, Y(3)));
    EXPECT_EQ(ctl.SelStart(), ctl.LineIndex(Line(3)));
    EXPECT_EQ(ctl.SelEnd(), ctl.LineIndex(Line(4)));

    // Above the gutter: the first line at the last paint, or above it when scrolled.
    g.NotePainted(5, kRow);
    g.ButtonDown(ctl, Y(2)); // line 7
    EXPECT_TRUE(g.DragTo(ctl, -3));
    EXPECT_EQ(ctl.Caret(), ctl.LineIndex(Line(5)));
    EXPECT_TRUE(g.DragTo(ctl, -40)); // row -2
    EXPECT_EQ(ctl.Caret(), ctl.LineIndex(Line(3)));
    EXPECT_TRUE(g.DragTo(ctl, -400));
    EXPECT_EQ(ctl.Caret(), 0);
    EXPECT_EQ(ctl.Anchor(), ctl.LineIndex(Line(8)));
}

TEST(Gutter, ANewDragStartsFromItsOwnLine) {
    TextControl ctl(8);
    ctl.SetText(Lines(10));
    Gutter g;
    g.NotePainted(0, kRow);
    g.ButtonDown(ctl, Y(2));
    EXPECT_TRUE(g.DragTo(ctl, Y(6)));
    // The next drag reaches the line where the last one ended: it must still select.
    g.ButtonDown(ctl, Y(4));
    EXPECT_EQ(ctl.SelStart(), ctl.LineIndex(Line(4)));
    EXPECT_TRUE(g.DragTo(ctl, Y(6)));
    EXPECT_EQ(ctl.SelStart(), ctl.LineIndex(Line(4)));
    EXPECT_EQ(ctl.SelEnd(), ctl.LineIndex(Line(7)));
}

TEST(Gutter, OnlyTheTwoRowsAreRepaintedWhileTheTextHasNotScrolled) {
    Gutter g;
    g.NotePainted(10, kRow);
    GutterRepaint r = g.UpdateCurrentLine(12, 15, 10);
    EXPECT_EQ(g.CurrentLine(), 15);
    ASSERT_FALSE(r.Whole());
    EXPECT_EQ(*r.oldRow, (RowSpan{2 * kRow, 3 * kRow}));
    EXPECT_EQ(*r.newRow, (RowSpan{5 * kRow, 6 * kRow}));
    EXPECT_TRUE(g.IsCurrentRow(10, 5));
    EXPECT_FALSE(g.IsCurrentRow(10, 2));

    r = g.UpdateCurrentLine(15, 30, 11);
    EXPECT_TRUE(r.Whole());
    EXPECT_EQ(g.CurrentLine(), 30);
}

} // namespace
} // namespace mireka
