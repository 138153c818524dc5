// The line-editing commands with their undo records, the jump, the tab insertion and the line
// indicator with its caret-position rule.
#include "UndoTestSupport.h"

#include "core/document/EditCommands.h"

namespace mireka {
namespace {

using testing::Deletion;
using testing::Editor;

TEST(EditCommands, DeleteLineTakesTheLineWithItsBreakAndTheLastLineWithoutTheBreakBefore) {
    Editor e("ab\r\ncd\r\nef");
    e.ctl.SetCaret(5);
    DeleteLine(e.session);
    EXPECT_EQ(e.Text(), "ab\r\nef");
    EXPECT_EQ(e.ctl.Caret(), 4);
    EXPECT_FALSE(e.ctl.HasSelection());
    ASSERT_EQ(e.Undos(), 1u);
    EXPECT_EQ(e.Last(), Deletion(4, 8, "cd\r\n"));

    // The last line of a text without a final break: its text goes, an empty last line remains.
    e.ctl.SetCaret(5);
    DeleteLine(e.session);
    EXPECT_EQ(e.Text(), "ab\r\n");
    EXPECT_EQ(e.ctl.Caret(), 4);
    EXPECT_EQ(e.ctl.LineCount(), 2);
    // On that empty last line nothing is left to delete and nothing is recorded.
    DeleteLine(e.session);
    EXPECT_EQ(e.Text(), "ab\r\n");
    EXPECT_EQ(e.Undos(), 2u);

    e.Undo();
    e.Undo();
    EXPECT_EQ(e.Text(), "ab\r\ncd\r\nef");

    // A selection is deleted alone, whatever lines it touches.
    Editor s("ab\r\ncd\r\nef");
    s.ctl.SetSel(7, 1);
    DeleteLine(s.session);
    EXPECT_EQ(s.Text(), "a\nef");
    EXPECT_EQ(s.Last(), Deletion(1, 7, "b\r\ncd\r"));
}

TEST(EditCommands, DeleteToEndOfLineNeverJoinsLines) {
    Editor e("abc\r\ndef");
    e.ctl.SetCaret(1);
    DeleteToEndOfLine(e.session);
    EXPECT_EQ(e.Text(), "a\r\ndef");
    EXPECT_EQ(e.ctl.Caret(), 1);
    EXPECT_EQ(e.Last(), Deletion(1, 3, "bc"));
    // At the end of a line: nothing deleted, nothing recorded.
    DeleteToEndOfLine(e.session);
    EXPECT_EQ(e.Text(), "a\r\ndef");
    EXPECT_EQ(e.Undos(), 1u);
    // Between CR and LF: still nothing.
    e.ctl.SetCaret(2);
    DeleteToEndOfLine(e.session);
    EXPECT_EQ(e.Text(), "a\r\ndef");
    // The last line: to the end of the text.
    e.ctl.SetCaret(4);
    DeleteToEndOfLine(e.session);
    EXPECT_EQ(e.Text(), "a\r\nd");
    // A selection alone.
    e.ctl.SetSel(0, 4);
    DeleteToEndOfLine(e.session);
    EXPECT_EQ(e.Text(), "");
}

TEST(EditCommands, DeleteFromStartOfLineTakesTheTextBeforeTheCaret) {
    Editor e("abc\r\ndef");
    e.ctl.SetCaret(7);
    DeleteFromStartOfLine(e.session);
    EXPECT_EQ(e.Text(), "abc\r\nf");
    EXPECT_EQ(e.ctl.Caret(), 5);
    EXPECT_EQ(e.Last(), Deletion(5, 7, "de"));
    DeleteFromStartOfLine(e.session); // at the line start
    EXPECT_EQ(e.Text(), "abc\r\nf");
    EXPECT_EQ(e.Undos(), 1u);
    e.ctl.SetSel(1, 2);
    DeleteFromStartOfLine(e.session);
    EXPECT_EQ(e.Text(), "ac\r\nf");

    EXPECT_TRUE(CanEditLines(e.ctl));
    EXPECT_FALSE(CanEditLines(Editor().ctl));
}

TEST(EditCommands, JumpAndTab) {
    Editor e("a\r\nb\r\nc");
    e.ctl.SetCaret(4);
    EXPECT_EQ(JumpDialogLine(e.ctl), 2);
    EXPECT_TRUE(JumpToLine(e.ctl, 3));
    EXPECT_EQ(e.ctl.Caret(), 6);
    EXPECT_EQ(JumpDialogLine(e.ctl), 3);
    EXPECT_FALSE(JumpToLine(e.ctl, 4));
    EXPECT_FALSE(JumpToLine(e.ctl, 0));
    EXPECT_EQ(e.ctl.Caret(), 6);
    EXPECT_TRUE(JumpToLine(e.ctl, 1));
    EXPECT_EQ(e.ctl.Caret(), 0);

    e.ctl.SetSel(3, 4);
    InsertTab(e.session);
    EXPECT_EQ(e.Text(), "a\r\n\t\r\nc");
    EXPECT_EQ(e.Undos(), 2u);
    EXPECT_EQ(TabStopUnits(4), 16);
}

TEST(EditCommands, TheLineIndicatorFollowsTheActiveEndOfTheSelection) {
    EXPECT_EQ(LineIndicatorText(1), " \xE8\xA1\x8C:    1");
    EXPECT_EQ(LineIndicatorText(1234), " \xE8\xA1\x8C: 1234");
    EXPECT_EQ(LineIndicatorText(12345), " \xE8\xA1\x8C: 12345");

    std::string text;
    for (int i = 0; i < 1300; ++i)
        text += "line\r\n";
    Editor e(text);
    LineIndicator ind;
    LineIndicatorUpdate u = ind.Update(e.ctl, true);
    EXPECT_TRUE(u.textChanged);
    EXPECT_EQ(u.text, LineIndicatorText(1));
    EXPECT_FALSE(u.moveGutterMark); // already on line 0
    EXPECT_FALSE(ind.Update(e.ctl, true).textChanged);

    e.ctl.SetCaret(e.ctl.LineIndex(Line(1233)) + 2);
    u = ind.Update(e.ctl, true);
    EXPECT_TRUE(u.selectionChanged);
    EXPECT_EQ(u.previousSelection.start, 0);
    EXPECT_EQ(u.text, LineIndicatorText(1234));
    EXPECT_EQ(ind.Shown(), (CaretPosition{1234, 3, 1301}));
    ASSERT_TRUE(u.moveGutterMark);
    EXPECT_EQ(u.oldMarkedLine, 0);
    EXPECT_EQ(u.newMarkedLine, 1233);

    // Dragged upwards: the start moves, the end stays, so the start is the active end.
    const Offset anchor = e.ctl.LineIndex(Line(20));
    e.ctl.SetCaret(anchor);
    ind.Update(e.ctl, true);
    e.ctl.SetSel(anchor, e.ctl.LineIndex(Line(18)));
    ind.Update(e.ctl, true);
    e.ctl.SetSel(anchor, e.ctl.LineIndex(Line(12)) + 1);
    u = ind.Update(e.ctl, true);
    EXPECT_EQ(u.text, LineIndicatorText(13));
    EXPECT_EQ(ind.Shown().column, 2);
    // The same selection again: the active end is kept.
    u = ind.Update(e.ctl, true);
    EXPECT_FALSE(u.textChanged);
    EXPECT_FALSE(u.selectionChanged);
    // Extended downwards from a fixed start: the end is active.
    e.ctl.SetSel(e.ctl.LineIndex(Line(12)) + 1, e.ctl.LineIndex(Line(30)));
    u = ind.Update(e.ctl, false);
    EXPECT_EQ(u.text, LineIndicatorText(31));
    EXPECT_FALSE(u.moveGutterMark); // no gutter
}

TEST(EditCommands, CaretTrackerRule) {
    CaretTracker t;
    EXPECT_EQ(t.ActiveEnd(0, 0), 0);
    EXPECT_EQ(t.ActiveEnd(0, 5), 5); // the end moved
    EXPECT_EQ(t.ActiveEnd(0, 5), 5); // unchanged: kept
    EXPECT_EQ(t.ActiveEnd(2, 5), 2); // the start moved, the end stayed
    EXPECT_EQ(t.ActiveEnd(1, 2), 1); // the old start became the end: still the start moving
    EXPECT_EQ(t.ActiveEnd(7, 9), 9); // both moved: a new selection, the end
}

} // namespace
} // namespace mireka
