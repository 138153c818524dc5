// The edit view's input hooks: what each kind of input records and what the control then does.
#include "UndoTestSupport.h"

namespace mireka {
namespace {

using testing::Deletion;
using testing::Editor;
using testing::Insertion;

TEST(UndoInputRecorder, TypingOverASelectionIsADeletionThenAnInsertion) {
    Editor e("hello");
    e.ctl.SetSel(1, 4);
    e.Type("X");
    EXPECT_EQ(e.Text(), "hXo");
    ASSERT_EQ(e.Undos(), 2u);
    EXPECT_EQ(e.history.UndoList()[0], Deletion(1, 4, "ell"));
    EXPECT_EQ(e.history.UndoList()[1], Insertion(1, 2, true));
    e.Undo();
    EXPECT_EQ(e.Text(), "ho");
    e.Undo();
    EXPECT_EQ(e.Text(), "hello");
    EXPECT_EQ(e.ctl.Caret(), 4);
}

TEST(UndoInputRecorder, EnterAndBackspaceWithASelection) {
    Editor e("abcd");
    e.ctl.SetSel(1, 3);
    e.Enter();
    ASSERT_EQ(e.Undos(), 2u);
    EXPECT_EQ(e.history.UndoList()[0], Deletion(1, 3, "bc"));
    EXPECT_EQ(e.history.UndoList()[1], Insertion(1, 3));
    EXPECT_EQ(e.Text(), "a\r\nd");

    e.Type("\n"); // Ctrl+Enter also breaks the line with CR LF
    EXPECT_EQ(e.Text(), "a\r\n\r\nd");
    EXPECT_EQ(e.Last(), Insertion(3, 5));

    // With a selection Backspace and Delete take the selection, not one character.
    e.ctl.SetSel(0, 3);
    e.Backspace();
    EXPECT_EQ(e.Last(), Deletion(0, 3, "a\r\n"));
    e.ctl.SetSel(0, 2);
    e.Delete();
    EXPECT_EQ(e.Last(), Deletion(0, 2, "\r\n"));
    EXPECT_EQ(e.Text(), "d");
}

TEST(UndoInputRecorder, UnrecordedCharactersAreNotInserted) {
    Editor e("ab");
    e.ctl.SetCaret(1);
    for (unsigned char c : {0x01, 0x1B, 0x80, 0xA0, 0xFD, 0xFF})
        e.Type(std::string(1, static_cast<char>(c)));
    EXPECT_EQ(e.Text(), "ab");
    EXPECT_EQ(e.Undos(), 0u);

    e.Type("\t\x7f\xb1\xb2");
    EXPECT_EQ(e.Text(), "a\t\x7f\xb1\xb2"
                        "b");
    ASSERT_EQ(e.Undos(), 2u);
    EXPECT_EQ(e.history.UndoList()[0], Insertion(1, 2, false));
    EXPECT_EQ(e.Last(), Insertion(2, 5, true));
}

TEST(UndoInputRecorder, DoubleByteCharactersTypedAsTwoMessagesJoinTheRun) {
    Editor e;
    // The trail bytes 0x80 and 0xA0 are neither printable nor lead bytes on their own.
    e.Type("ab\x82\xa0\x81\x80\x83\x5c"
           "c");
    EXPECT_EQ(e.Text(), "ab\x82\xa0\x81\x80\x83\x5c"
                        "c");
    ASSERT_EQ(e.Undos(), 1u);
    EXPECT_EQ(e.Last(), Insertion(0, 9, true));

    // A lead byte followed by a blank leaves the lead alone and the blank ends the run.
    e.Type("\x82 ");
    EXPECT_EQ(e.Undos(), 2u);
    EXPECT_EQ(e.Last(), Insertion(10, 11, false));
    e.Undo();
    e.Undo();
    EXPECT_EQ(e.Text(), "");
}

TEST(UndoInputRecorder, AnImeResultIsOneInsertionAndItsCharactersAreNotRecorded) {
    Editor e("ab");
    e.ctl.SetCaret(2);
    e.Ime("\x82\xa0\x82\xa2");
    EXPECT_EQ(e.Text(), "ab\x82\xa0\x82\xa2");
    ASSERT_EQ(e.Undos(), 1u);
    EXPECT_EQ(e.Last(), Insertion(2, 6));
    EXPECT_EQ(e.input.ImeSkipCount(), 0);

    // The skip count ends exactly with the result, so the next key is recorded again.
    e.Type("x");
    ASSERT_EQ(e.Undos(), 2u);
    EXPECT_EQ(e.Last(), Insertion(6, 7, true));
    e.Undo();
    e.Undo();
    EXPECT_EQ(e.Text(), "ab");

    // Trail bytes that look like ASCII, kana and a lone lead at the end of the result.
    Editor f;
    f.Ime("a\x83\x5c\xb1\x82");
    EXPECT_EQ(f.Text(), "a\x83\x5c\xb1\x82");
    EXPECT_EQ(f.Undos(), 1u);
    EXPECT_LE(f.input.ImeSkipCount(), 0);
    f.Type("z");
    EXPECT_EQ(f.Undos(), 2u);
}

TEST(UndoInputRecorder, ImeResultOverASelectionAndAFailedResult) {
    Editor e("hello");
    e.ctl.SetSel(1, 3);
    e.Ime("\x82\xa0");
    EXPECT_EQ(e.Text(), "h\x82\xa0lo");
    ASSERT_EQ(e.Undos(), 2u);
    EXPECT_EQ(e.history.UndoList()[0], Deletion(1, 3, "el"));
    EXPECT_EQ(e.Last(), Insertion(1, 3));

    // An empty result changes and records nothing.
    e.ctl.SetSel(3, 5);
    e.Ime({});
    EXPECT_EQ(e.Undos(), 2u);
    EXPECT_EQ(e.Text(), "h\x82\xa0lo");

    // A result that cannot be read consumes the message; the selection stays and so nothing
    // may be recorded, else undoing would insert "lo" a second time.
    UndoHistory history;
    InputRecorder input(history);
    EXPECT_FALSE(input.OnImeResult(e.ctl, std::nullopt));
    EXPECT_TRUE(history.UndoList().empty());
    // A composition message without a result ends the skipping.
    ASSERT_TRUE(input.OnImeResult(e.ctl, "abc"));
    EXPECT_EQ(input.ImeSkipCount(), 3);
    input.OnImeComposition();
    EXPECT_EQ(input.ImeSkipCount(), 0);
}

TEST(UndoInputRecorder, ClipboardCommands) {
    Editor e("hello");
    e.ctl.SetSel(0, 2);
    e.Cut();
    EXPECT_EQ(e.Last(), Deletion(0, 2, "he"));
    e.Cut(); // nothing selected: nothing recorded
    EXPECT_EQ(e.Undos(), 1u);

    e.ctl.SetSel(1, 3);
    e.Paste("XYZ");
    EXPECT_EQ(e.Text(), "lXYZ");
    ASSERT_EQ(e.Undos(), 3u);
    EXPECT_EQ(e.history.UndoList()[1], Deletion(1, 3, "lo"));
    EXPECT_EQ(e.Last(), Insertion(1, 4));

    // A clipboard that cannot be opened pastes nothing and records nothing.
    e.ctl.SetSel(0, 1);
    e.Paste(std::nullopt);
    EXPECT_EQ(e.Text(), "lXYZ");
    EXPECT_EQ(e.Undos(), 3u);

    e.session.Clear();
    EXPECT_EQ(e.Last(), Deletion(0, 1, "l"));
    EXPECT_EQ(e.Text(), "XYZ");
    while (e.history.CanUndo())
        e.Undo();
    EXPECT_EQ(e.Text(), "hello");
}

} // namespace
} // namespace mireka
