// The edit control driven with real key and mouse events.
#include "gui/editor/UndoEditView.h"

#include "GuiTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace mireka {
namespace {

class EditViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A second focusable widget, so that a Tab that moved the focus would be noticed.
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(view);
        layout->addWidget(new QLineEdit(&window));
        window.resize(400, 300);
        window.show();
        QApplication::setActiveWindow(&window);
        view->setFocus();
    }
    std::string Text() const { return view->GetWindowText(); }
    Offset Caret() const { return view->Control().Caret(); }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(view, key, mods);
    }
    QPoint PointOf(Offset offset) const {
        const QPoint p = view->PosFromChar(offset);
        return {p.x() + 1, p.y() + view->LineHeight() / 2};
    }

    test::FakePrompts prompts;
    QWidget window;
    CUndoEditView* view = new CUndoEditView(&window);
};

TEST_F(EditViewTest, TypingInsertsBytesInCodePage932) {
    QTest::keyClicks(view, "int x;");
    EXPECT_EQ(Text(), "int x;");
    Key(Qt::Key_Return);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Text(), "int x;\r\n\t");
    EXPECT_TRUE(view->hasFocus()) << "Tab must insert a tab, not move the focus";
    // A character typed without the input method arrives as text of a key event.
    QKeyEvent a(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("あ"));
    QApplication::sendEvent(view, &a);
    EXPECT_EQ(Text(), "int x;\r\n\t\x82\xa0");
    // Characters outside the code page are refused with a beep, never replaced.
    QKeyEvent emoji(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("😀"));
    QApplication::sendEvent(view, &emoji);
    EXPECT_EQ(Text(), "int x;\r\n\t\x82\xa0");
    EXPECT_EQ(prompts.beeps, 1);
}

TEST_F(EditViewTest, LineFeedKeysBreakTheLineAndShiftTabTypesATab) {
    struct Case {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        const char* text; // what the platform puts in the event
        const char* typed;
    };
    const Case cases[] = {
        {"Ctrl+Enter", Qt::Key_Return, Qt::ControlModifier, "", "\r\n"},
        {"Ctrl+keypad Enter", Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier, "", "\r\n"},
        {"Ctrl+J", Qt::Key_J, Qt::ControlModifier, "\n", "\r\n"},
        {"Linefeed key", Qt::Key_unknown, Qt::NoModifier, "\n", "\r\n"},
        {"Shift+Tab", Qt::Key_Backtab, Qt::ShiftModifier, "", "\t"},
    };
    for (const Case& c : cases) {
        view->SetWindowText("ab");
        view->ClearUndoHistory();
        view->SetSel(1, 2); // typing replaces the selection
        QKeyEvent press(QEvent::KeyPress, c.key, c.mods, QString::fromLatin1(c.text));
        QApplication::sendEvent(view, &press);
        EXPECT_EQ(Text(), std::string("a") + c.typed) << c.name;
        EXPECT_TRUE(view->hasFocus()) << c.name;
        // Recorded as typing over a selection: the insertion, then the deletion, undo.
        view->Undo();
        EXPECT_EQ(Text(), "a") << c.name;
        view->Undo();
        EXPECT_EQ(Text(), "ab") << c.name;
    }
}

TEST_F(EditViewTest, KeysMapToTheSessionsCommands) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        Offset anchor;
        Offset caret;
        Offset length;
    };
    // From "ef |gh" on the middle line.
    const Case cases[] = {
        {Qt::Key_Left, Qt::NoModifier, 9, 9, 19},
        {Qt::Key_Right, Qt::NoModifier, 11, 11, 19},
        {Qt::Key_Left, Qt::ControlModifier, 7, 7, 19},
        {Qt::Key_Right, Qt::ControlModifier, 12, 12, 19},
        {Qt::Key_Left, Qt::ShiftModifier, 10, 9, 19},
        {Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier, 10, 12, 19},
        {Qt::Key_Up, Qt::NoModifier, 3, 3, 19},
        {Qt::Key_Down, Qt::ShiftModifier, 10, 17, 19},
        {Qt::Key_Up, Qt::ControlModifier, 10, 10, 19},
        {Qt::Key_Left, Qt::AltModifier, 10, 10, 19},
        {Qt::Key_Home, Qt::NoModifier, 7, 7, 19},
        {Qt::Key_End, Qt::NoModifier, 12, 12, 19},
        {Qt::Key_Home, Qt::ControlModifier, 0, 0, 19},
        {Qt::Key_End, Qt::ControlModifier, 19, 19, 19},
        {Qt::Key_PageUp, Qt::NoModifier, 3, 3, 19},
        {Qt::Key_PageDown, Qt::ShiftModifier, 10, 17, 19},
        {Qt::Key_Backspace, Qt::NoModifier, 9, 9, 18},
        {Qt::Key_Delete, Qt::NoModifier, 10, 10, 18},
        {Qt::Key_Delete, Qt::ShiftModifier, 10, 10, 19},
    };
    for (const Case& c : cases) {
        view->SetWindowText("ab cd\r\nef gh\r\nijklm");
        view->SetSel(10, 10);
        Key(c.key, c.mods);
        EXPECT_EQ(view->Control().Anchor(), c.anchor) << c.key << " " << c.mods;
        EXPECT_EQ(Caret(), c.caret) << c.key << " " << c.mods;
        EXPECT_EQ(view->GetWindowTextLength(), c.length) << c.key << " " << c.mods;
    }
}

TEST_F(EditViewTest, PageDownScrollsAndKeepsTheCaretVisible) {
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    view->SetWindowText(text);
    view->SetSel(0, 0);
    Key(Qt::Key_PageDown);
    const int line = view->LineFromChar(Caret());
    EXPECT_GT(line, 5);
    EXPECT_GT(view->GetFirstVisibleLine(), 0);
    EXPECT_LE(view->GetFirstVisibleLine(), line);
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(view->LineFromChar(Caret()), 200);
    EXPECT_EQ(view->GetFirstVisibleLine(), view->verticalScrollBar()->maximum());
}

TEST_F(EditViewTest, MouseClickDragDoubleClickAndShiftClick) {
    view->SetWindowText("alpha beta\r\ngamma \x93\xfa\x96\x7b delta");
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, PointOf(6));
    EXPECT_EQ(Caret(), 6);
    EXPECT_FALSE(view->Control().HasSelection());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, PointOf(14));
    EXPECT_EQ(view->Control().SelStart(), 6);
    EXPECT_EQ(view->Control().SelEnd(), 14);
    // Drag from "beta" to inside the double-byte word: never ends between the two bytes.
    QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::NoModifier, PointOf(6));
    const QPoint inside = PointOf(19) + QPoint(static_cast<int>(view->CellWidth() * 0.4), 0);
    QMouseEvent move(QEvent::MouseMove, inside, view->viewport()->mapToGlobal(inside), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier, inside);
    EXPECT_EQ(view->Control().Anchor(), 6);
    EXPECT_TRUE(view->Control().Caret() == 18 || view->Control().Caret() == 20);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, PointOf(1));
    EXPECT_EQ(view->Control().SelectedText(), "alpha");
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, PointOf(18));
    EXPECT_EQ(view->Control().SelectedText(), "\x93\xfa\x96\x7b");
}

TEST_F(EditViewTest, ClickBelowTheLastLineGoesToTheEnd) {
    view->SetWindowText("ab\r\ncd");
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(5, view->LineHeight() * 6));
    EXPECT_EQ(Caret(), 6);
}

TEST_F(EditViewTest, InputMethodCommitIsOnePieceAndPreeditChangesNothing) {
    view->SetWindowText("x");
    view->SetSel(1, 1);
    QInputMethodEvent preedit(QString::fromUtf8("にほん"), {});
    QApplication::sendEvent(view, &preedit);
    EXPECT_EQ(Text(), "x");
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("日本"));
    QApplication::sendEvent(view, &commit);
    EXPECT_EQ(Text(), "x\x93\xfa\x96\x7b");
    ASSERT_EQ(view->History().UndoList().size(), 1u) << "one record for the whole result";
    view->Undo();
    EXPECT_EQ(Text(), "x");
    EXPECT_TRUE(static_cast<QWidget*>(view)->inputMethodQuery(Qt::ImEnabled).toBool());
    EXPECT_TRUE(
        static_cast<QWidget*>(view)->inputMethodQuery(Qt::ImCursorRectangle).toRect().isValid());
}

TEST_F(EditViewTest, ClipboardRoundTripKeepsJapaneseAndLineEnds) {
    view->SetWindowText("\x82\xa0\r\nb");
    view->SetSel(0, 5);
    view->Copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("あ\nb"));
    view->SetSel(5, 5);
    view->Paste();
    EXPECT_EQ(Text(), "\x82\xa0\r\nb\x82\xa0\r\nb");
    view->SetSel(0, 2);
    view->Cut();
    EXPECT_EQ(Text(), "\r\nb\x82\xa0\r\nb");
    view->Undo();
    EXPECT_EQ(Text(), "\x82\xa0\r\nb\x82\xa0\r\nb");
    // Text the code page cannot hold is refused whole, with a message.
    QGuiApplication::clipboard()->setText(QString::fromUtf8("ok 😀"));
    view->Paste();
    EXPECT_EQ(Text(), "\x82\xa0\r\nb\x82\xa0\r\nb");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains(QString::fromUtf8("😀")))
        << prompts.messages[0].text.toStdString();
    // The wave dash of JIS-based input methods is taken as the code page's full-width tilde.
    QGuiApplication::clipboard()->setText(QString::fromUtf8("\u301C"));
    view->SetSel(0, 0);
    view->Paste();
    EXPECT_EQ(Text().substr(0, 2), "\x81\x60");
    // Paste is offered exactly while the clipboard holds text, however often it is asked.
    EXPECT_TRUE(view->CanPaste());
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(view->CanPaste());
    EXPECT_FALSE(view->CanPaste());
    QGuiApplication::clipboard()->setText(QStringLiteral("x"));
    EXPECT_TRUE(view->CanPaste());
}

TEST_F(EditViewTest, ReadOnlyRefusesEditsButSelects) {
    view->SetWindowText("abc");
    view->SetReadOnly(true);
    QTest::keyClicks(view, "zz");
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Text(), "abc");
    Key(Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(view->Control().SelectedText(), "abc");
    EXPECT_GE(prompts.beeps, 3);
    EXPECT_FALSE(static_cast<QWidget*>(view)->inputMethodQuery(Qt::ImEnabled).toBool());
}

TEST_F(EditViewTest, HorizontalScrollFollowsTheCaretOnALongLine) {
    view->SetWindowText(std::string(5000, 'x'));
    view->SetSel(0, 0);
    Key(Qt::Key_End);
    EXPECT_GT(view->horizontalScrollBar()->value(), 0);
    const QPoint caret = view->PosFromChar(Caret());
    EXPECT_GE(caret.x(), view->GetRect().left());
    EXPECT_LE(caret.x(), view->viewport()->width());
    Key(Qt::Key_Home);
    EXPECT_EQ(view->horizontalScrollBar()->value(), 0);
}

TEST_F(EditViewTest, PositionsOfCharactersFollowTheCellGrid) {
    view->SetTabStops(4);
    view->SetMargins(34, 0);
    view->SetWindowText("\tab\x82\xa0z\r\n");
    const double cw = view->CellWidth();
    EXPECT_EQ(view->PosFromChar(0).x(), 34);
    EXPECT_NEAR(view->PosFromChar(1).x(), 34 + 4 * cw, 1.0);
    EXPECT_NEAR(view->PosFromChar(5).x(), 34 + 8 * cw, 1.0)
        << "double-byte character takes two cells";
    // Right of the last character, and the empty last line one row below.
    EXPECT_NEAR(view->PosFromChar(6).x(), 34 + 9 * cw, 1.0);
    EXPECT_EQ(view->PosFromChar(8), QPoint(34, view->LineHeight()));
    // A point inside the double-byte character never yields its trail byte.
    for (double f = 0.1; f < 2.0; f += 0.3) {
        const Offset at = view->CharFromPos(QPoint(static_cast<int>(34 + (6 + f) * cw), 2));
        EXPECT_TRUE(at == 3 || at == 5) << f;
    }
    // The same offset after an edit before it, and after a new tab width, is measured anew.
    EXPECT_NEAR(view->PosFromChar(2).x(), 34 + 5 * cw, 1.0);
    view->SetSel(1, 1);
    view->ReplaceSel("\t");
    EXPECT_NEAR(view->PosFromChar(2).x(), 34 + 8 * cw, 1.0);
    view->SetTabStops(8);
    EXPECT_NEAR(view->PosFromChar(2).x(), 34 + 16 * cw, 1.0);
}

} // namespace
} // namespace mireka

namespace mireka {
namespace {

TEST(UndoEditViewPositions, CursorOperationsUseThePointUnderTheMouse) {
    test::FakePrompts prompts;
    CUndoEditView view;
    view.resize(400, 200);
    view.show();
    view.SetWindowText("hello world\r\nsecond line");
    view.SetSel(6, 11); // "world"
    auto moveCursorTo = [&](Offset offset) {
        const QPoint p = view.PosFromChar(offset) + QPoint(1, view.LineHeight() / 2);
        QCursor::setPos(view.viewport()->mapToGlobal(p));
    };
    moveCursorTo(8);
    EXPECT_TRUE(view.IsCursorInSelection());
    const auto at = view.GetCursorLineCol();
    EXPECT_EQ(at.line, 0);
    EXPECT_EQ(at.column, 8);
    EXPECT_TRUE(at.inLine);
    view.ShowCaretAtCursor();
    EXPECT_EQ(view.DropCaret(), 8);
    EXPECT_EQ(view.Control().SelStart(), 6) << "the selection stays";
    moveCursorTo(2);
    EXPECT_FALSE(view.IsCursorInSelection());
    moveCursorTo(15);
    view.SetCaretToCursor();
    EXPECT_EQ(view.Control().Caret(), 15);
    EXPECT_FALSE(view.Control().HasSelection());
    view.ShowDropCaret(-1);
    EXPECT_EQ(view.DropCaret(), -1);
}

// A full-width space is blank as a glyph; shown, it is a faint square in its two cells, also
// inside a selection.
TEST_F(EditViewTest, AFullWidthSpaceShowsAsAFaintSquare) {
    view->SetWindowText("a\x81\x40"
                        "b");
    const auto inkInCells = [this] {
        const QImage shot = view->viewport()->grab().toImage();
        const QPoint from = view->PosFromChar(1), to = view->PosFromChar(3);
        const QRgb back = shot.pixel(from.x() + 1, from.y() + 1);
        int ink = 0;
        for (int y = from.y(); y < from.y() + view->LineHeight(); ++y)
            for (int x = from.x(); x < to.x(); ++x)
                ink += shot.pixel(x, y) != back;
        return ink;
    };
    EXPECT_FALSE(view->ShowsFullWidthSpace()) << "the bare control shows it as it is";
    EXPECT_EQ(inkInCells(), 0);
    view->SetShowFullWidthSpace(true);
    EXPECT_GT(inkInCells(), 8);
    view->SetSel(1, 3);
    EXPECT_GT(inkInCells(), 8);
}

} // namespace
} // namespace mireka

namespace mireka {
namespace {

TEST_F(EditViewTest, AUtf8ViewTakesAnyCharacterAndPaintsItLikeShiftJis) {
    view->Session().SetEncoding(Encoding::Utf8);
    view->SetWindowText("x");
    view->SetSel(1, 1);
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("日本😀"));
    QApplication::sendEvent(view, &commit);
    EXPECT_EQ(Text(), "x日本😀");
    ASSERT_EQ(view->History().UndoList().size(), 1u) << "one record for the whole result";
    QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("é"));
    QApplication::sendEvent(view, &typed);
    EXPECT_EQ(Text(), "x日本😀é");
    EXPECT_EQ(prompts.beeps, 0) << "UTF-8 refuses nothing";
    view->SetSel(1, 11);
    view->Copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("日本😀"));
    // Wide characters take two cells, é one; the caret steps over whole characters.
    const double cw = view->CellWidth();
    const int x0 = view->PosFromChar(0).x();
    EXPECT_NEAR(view->PosFromChar(11).x(), x0 + 7 * cw, 1.0);
    EXPECT_NEAR(view->PosFromChar(13).x(), x0 + 8 * cw, 1.0);
    view->SetSel(13, 13);
    Key(Qt::Key_Left);
    Key(Qt::Key_Left);
    EXPECT_EQ(Caret(), 7);

    // 日 painted from UTF-8 is the very image of 日 painted from code page 932.
    const auto cells = [this](std::string_view text, Encoding enc) {
        view->Session().SetEncoding(enc);
        view->SetWindowText(text);
        view->SetSel(0, 0);
        view->viewport()->update();
        const QImage shot = view->viewport()->grab().toImage();
        const QPoint from = view->PosFromChar(1);
        const auto width = static_cast<int>(2 * view->CellWidth());
        return shot.copy(from.x(), from.y(), width, view->LineHeight());
    };
    const QImage utf8 = cells("a日b", Encoding::Utf8);
    const QImage cp932 = cells("a\x93\xfa"
                               "b",
                               Encoding::Cp932);
    EXPECT_EQ(utf8, cp932);
    EXPECT_NE(utf8, cells("a  b", Encoding::Utf8)) << "something is drawn there";
    // The full-width space, marked when the frame asks, is U+3000 in either encoding.
    view->SetShowFullWidthSpace(true);
    EXPECT_EQ(cells("a\u3000b", Encoding::Utf8), cells("a\x81\x40"
                                                       "b",
                                                       Encoding::Cp932));
    EXPECT_NE(cells("a\u3000b", Encoding::Utf8), cells("a  b", Encoding::Utf8));
}

} // namespace
} // namespace mireka
