// The main view's editing commands, auto-indent, line indicator and context menu, driven with
// real keys on a running application.
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/base/CommandIds.h"
#include "gui/document/JumpDlg.h"
#include "gui/document/MyView.h"
#include "gui/document/TabWidthDlg.h"
#include "gui/editor/LineNumberWnd.h"

#include "GuiTestSupport.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace mireka {
namespace {

class EditCommandsGuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir::setCurrent(dir.path());
        ASSERT_TRUE(app.InitInstance({}));
        QApplication::setActiveWindow(app.MainFrame());
        ASSERT_TRUE(QTest::qWaitForWindowActive(app.MainFrame()));
        View().setFocus();
    }
    void TearDown() override { SetDialogRunner({}); }
    CMyView& View() { return *app.MainFrame()->View(); }
    // The view as the input method sees it.
    QWidget& Editor() { return View(); }
    CommandTable& Commands() { return app.MainFrame()->Commands(); }
    std::string Text() { return View().GetWindowText(); }
    Offset Caret() { return View().Control().Caret(); }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        // Accelerators reach a window only while it is the active one.
        if (QApplication::activeWindow() != app.MainFrame())
            QApplication::setActiveWindow(app.MainFrame());
        Idle();
        QTest::keyClick(&View(), static_cast<Qt::Key>(key), mods);
    }
    void Type(const char* text) { QTest::keyClicks(&View(), text); }
    void SetText(const std::string& text, Offset caret) {
        View().SetWindowText(text);
        View().SetSel(caret, caret);
        QCoreApplication::processEvents();
        Idle();
    }
    // What the frame's idle timer does: the accelerators follow the update rules.
    void Idle() { Commands().UpdateAll(); }
    // Answers the next number dialog: types `typed` over its number and presses its OK button;
    // when the dialog refuses the number, presses its Cancel button.
    void AnswerNumberDialog(const QString& typed, int* shownValue = nullptr) {
        SetDialogRunner([typed, shownValue](QDialog& d) {
            auto& dlg = dynamic_cast<CNumberDlg&>(d);
            if (shownValue) *shownValue = dlg.SpinBox()->value();
            dlg.show();
            QLineEdit* edit = dlg.SpinBox()->findChild<QLineEdit*>();
            edit->selectAll();
            QTest::keyClicks(edit, typed);
            QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
            if (dlg.isVisible()) QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
            return dlg.result();
        });
    }

    QTemporaryDir dir;
    test::PrivateSettings settings;
    test::FakePrompts prompts;
    CMyApp app;
};

TEST_F(EditCommandsGuiTest, LineDeletionKeysGoThroughTheAcceleratorsAndUndo) {
    EXPECT_FALSE(Commands().State(cmd::EditDeleteLine).enabled) << "an empty text has no lines";
    Key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(Text(), "");

    SetText("one\r\ntwo words\r\nthree", 7);
    Key(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(Text(), "one\r\ntw\r\nthree");
    Key(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(Text(), "one\r\ntw\r\nthree") << "at the end of a line nothing is joined";
    Key(Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(Text(), "one\r\n\r\nthree");
    EXPECT_EQ(Caret(), 5);
    Key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(Text(), "one\r\nthree");
    // The last line goes without the line break before it.
    Key(Qt::Key_Down);
    Key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(Text(), "one\r\n");
    // A selection is deleted alone; Ctrl+Delete is the second key of delete to end of line.
    SetText("abcdef", 1);
    View().SetSel(1, 3);
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Text(), "adef");
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Text(), "a");
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), "abcdef") << "each command is one undoable deletion";
    // Ctrl+Tab inserts a tab in place of the selection; Ctrl+Shift+Tab does nothing.
    View().SetSel(2, 4);
    Key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(Text(), "ab\tef");
    Key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    Key(Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Text(), "ab\tef");
    EXPECT_TRUE(View().hasFocus());
}

TEST_F(EditCommandsGuiTest, EnterIndentsAndAClosingBraceTakesOneIndentBack) {
    Type("int main()");
    Key(Qt::Key_Return);
    EXPECT_EQ(Text(), "int main()\r\n") << "a line ending in ) gets no extra tab";
    Type("{");
    Key(Qt::Key_Return);
    EXPECT_EQ(Text(), "int main()\r\n{\r\n\t");
    Type("if (x) {");
    Key(Qt::Key_Return);
    Type("y;");
    Key(Qt::Key_Return);
    EXPECT_EQ(Text(), "int main()\r\n{\r\n\tif (x) {\r\n\t\ty;\r\n\t\t");
    Type("}");
    EXPECT_EQ(Text(), "int main()\r\n{\r\n\tif (x) {\r\n\t\ty;\r\n\t}");
    Key(Qt::Key_Return);
    Type("}");
    EXPECT_EQ(Text(), "int main()\r\n{\r\n\tif (x) {\r\n\t\ty;\r\n\t}\r\n}");
    // The unindent is an undoable replacement of its own: two steps give the blank back.
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), "int main()\r\n{\r\n\tif (x) {\r\n\t\ty;\r\n\t}\r\n\t}");

    // An arrow key between Enter and the brace keeps the indentation.
    SetText("{", 1);
    Key(Qt::Key_Return);
    Key(Qt::Key_Left);
    Key(Qt::Key_Right);
    Type("}");
    EXPECT_EQ(Text(), "{\r\n\t}");
    // So does a Tab typed first.
    SetText("{", 1);
    Key(Qt::Key_Return);
    Key(Qt::Key_Tab);
    Type("}");
    EXPECT_EQ(Text(), "{\r\n\t\t}");

    // Switched off, Enter only breaks the line.
    EXPECT_EQ(Commands().State(cmd::ViewAutoIndent).checked, true);
    EXPECT_TRUE(Commands().Execute(cmd::ViewAutoIndent));
    EXPECT_EQ(Commands().State(cmd::ViewAutoIndent).checked, false);
    SetText("\t{", 2);
    Key(Qt::Key_Return);
    EXPECT_EQ(Text(), "\t{\r\n");
}

TEST_F(EditCommandsGuiTest, TheLinePaneAndTheGutterFollowTheCaret) {
    SetText("a\r\nb\r\nc\r\nd\r\n", 0);
    EXPECT_EQ_SOON(View().LinePaneText(), QStringLiteral(" 行:    1"));
    ASSERT_NE(View().LineNumberWnd(), nullptr);
    EXPECT_EQ(View().LineNumberWnd()->CurrentLine(), 0);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    EXPECT_EQ_SOON(View().LinePaneText(), QStringLiteral(" 行:    3"));
    EXPECT_EQ(app.MainFrame()->PaneText(cmd::IndicatorLine), QStringLiteral(" 行:    3"));
    EXPECT_EQ(View().LineNumberWnd()->CurrentLine(), 2);
    // A selection made upwards shows the line of its start, where the caret is.
    Key(Qt::Key_Up, Qt::ShiftModifier);
    Key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ_SOON(View().LinePaneText(), QStringLiteral(" 行:    1"));
    EXPECT_EQ(View().LineNumberWnd()->CurrentLine(), 0);
    // The text starts one pixel right of the gutter.
    EXPECT_EQ(View().LeftMargin(), View().LineNumberWnd()->width() + 1);
}

TEST_F(EditCommandsGuiTest, TypingAnOpeningParenthesisShowsTheFunctionsHint) {
    SetText("", 0);
    Type("  printf(");
    EXPECT_EQ(app.MainFrame()->MessageText(),
              QStringLiteral("int printf(const char *format, ...); 書式付きで標準出力に出力"));
    EXPECT_EQ(Text(), "  printf(");
    // An unknown word leaves the message as it was.
    Type("x); nosuch(");
    EXPECT_EQ(app.MainFrame()->MessageText(),
              QStringLiteral("int printf(const char *format, ...); 書式付きで標準出力に出力"));
}

TEST_F(EditCommandsGuiTest, JumpMovesTheCaretOrRefusesALineBeyondTheText) {
    SetText("a\r\nb\r\nc", 3);
    int shown = 0;
    AnswerNumberDialog("3", &shown);
    Key(Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(shown, 2) << "the dialog opens with the caret's line";
    EXPECT_EQ(Caret(), 6);
    // Beyond the last line: the message, and the caret stays.
    AnswerNumberDialog("50");
    Key(Qt::Key_G, Qt::ControlModifier);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("範囲外の値です。"));
    EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(Caret(), 6);
    // Outside 1 … 9999 the dialog itself refuses the number and stays open.
    AnswerNumberDialog("10000");
    Key(Qt::Key_G, Qt::ControlModifier);
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[1].text,
              QStringLiteral("1 から 9999 までの整数を入力してください。"));
    AnswerNumberDialog("0");
    Key(Qt::Key_G, Qt::ControlModifier);
    ASSERT_EQ(prompts.messages.size(), 3u);
    EXPECT_EQ(Caret(), 6);
    // An empty text has no line to jump to.
    SetText("", 0);
    EXPECT_FALSE(Commands().State(cmd::EditJump).enabled);
}

TEST_F(EditCommandsGuiTest, TabWidthDialogAndItsRange) {
    int shown = 0;
    AnswerNumberDialog("8", &shown);
    EXPECT_TRUE(Commands().Execute(cmd::ViewTabWidth));
    EXPECT_EQ(shown, 4);
    EXPECT_EQ(View().TabWidth(), 8);
    EXPECT_EQ(View().TabCells(), 8);
    AnswerNumberDialog("33");
    EXPECT_TRUE(Commands().Execute(cmd::ViewTabWidth));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("1 から 32 までの整数を入力してください。"));
    EXPECT_EQ(View().TabWidth(), 8);
    // The arrows stay inside the range.
    CJumpDlg jump;
    jump.SetValue(9999);
    QTest::keyClick(jump.SpinBox(), Qt::Key_Up);
    EXPECT_EQ(jump.SpinBox()->value(), 9999);
    jump.SetValue(1);
    QTest::keyClick(jump.SpinBox(), Qt::Key_Down);
    EXPECT_EQ(jump.SpinBox()->value(), 1);
}

TEST_F(EditCommandsGuiTest, SwitchesAndTheImeCommandText) {
    EXPECT_EQ(Commands().State(cmd::ViewHighlight).checked, true);
    EXPECT_TRUE(Commands().Execute(cmd::ViewHighlight));
    EXPECT_FALSE(View().Highlight());
    // Full-width spaces: shown at first, switched off, and kept for the next start.
    EXPECT_EQ(Commands().State(cmd::ViewFullWidthSpace).checked, true);
    EXPECT_TRUE(View().ShowsFullWidthSpace());
    EXPECT_TRUE(Commands().Execute(cmd::ViewFullWidthSpace));
    EXPECT_FALSE(View().ShowsFullWidthSpace());
    EXPECT_EQ(Commands().State(cmd::ViewFullWidthSpace).checked, false);
    EXPECT_EQ(Commands().State(cmd::ImeToggle).text, QStringLiteral("日本語入力 - オフ(&L)"));
    EXPECT_TRUE(Editor().inputMethodQuery(Qt::ImEnabled).toBool());
    EXPECT_TRUE(Commands().Execute(cmd::ImeToggle));
    EXPECT_EQ(Commands().State(cmd::ImeToggle).text, QStringLiteral("日本語入力 - オン(&O)"));
    EXPECT_FALSE(Editor().inputMethodQuery(Qt::ImEnabled).toBool());
    EXPECT_FALSE(View().testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(Commands().Execute(cmd::ImeToggle));
    EXPECT_TRUE(Editor().inputMethodQuery(Qt::ImEnabled).toBool());
}

TEST(EditCommandsStoredTest, TheFullWidthSpaceSwitchIsKept) {
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    test::PrivateSettings settings;
    test::FakePrompts prompts;
    auto app = std::make_unique<CMyApp>();
    ASSERT_TRUE(app->InitInstance({}));
    ASSERT_TRUE(app->MainFrame()->Commands().Execute(cmd::ViewFullWidthSpace));
    app.reset();
    EXPECT_EQ(settings.store.ReadInt("Settings", "FullWidthSpace"), 0);
    app = std::make_unique<CMyApp>();
    ASSERT_TRUE(app->InitInstance({}));
    EXPECT_FALSE(app->MainFrame()->View()->ShowsFullWidthSpace());
}

TEST_F(EditCommandsGuiTest, ContextMenuOnlyOverTheTextAndThroughTheCommandTable) {
    SetText("some text", 2);
    QWidget* viewport = View().viewport();
    // Over the gutter: no menu at all.
    bool sawMenu = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            sawMenu = true;
            popup->close();
        }
    });
    const QPoint inGutter(10, 5);
    QContextMenuEvent outside(QContextMenuEvent::Mouse, inGutter, viewport->mapToGlobal(inGutter));
    QApplication::sendEvent(viewport, &outside);
    QCoreApplication::processEvents();
    EXPECT_FALSE(sawMenu);
    // From the keyboard the mouse position counts: over the gutter, no menu either.
    QTimer::singleShot(0, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            sawMenu = true;
            popup->close();
        }
    });
    QCursor::setPos(viewport->mapToGlobal(inGutter));
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(200, 20),
                          View().mapToGlobal(QPoint(200, 20)));
    QApplication::sendEvent(&View(), &key);
    QCoreApplication::processEvents();
    EXPECT_FALSE(sawMenu);

    // Over the text: the menu of the frame's commands; its A item selects all.
    QStringList texts;
    bool copyEnabled = true;
    QTimer::singleShot(0, [&] {
        QWidget* popup = QApplication::activePopupWidget();
        auto* menu = qobject_cast<QMenu*>(popup);
        if (!menu) return;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) continue;
            texts << a->text();
            if (a->text() == QStringLiteral("コピー(&C)")) copyEnabled = a->isEnabled();
        }
        QTest::keyClick(menu, Qt::Key_A);
    });
    QTimer::singleShot(3000, [] {
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    });
    const QPoint inText(View().LeftMargin() + 20, 5);
    QContextMenuEvent inside(QContextMenuEvent::Mouse, inText, viewport->mapToGlobal(inText));
    QApplication::sendEvent(viewport, &inside);
    EXPECT_TRUE(texts.contains(QStringLiteral("すべて選択(&A)")));
    // The compile item's text follows its rule ("コンパイル(&C)\tF7" for an untitled text).
    EXPECT_FALSE(texts.filter(QRegularExpression(QStringLiteral("^コンパイル\\(&C\\)"))).isEmpty());
    EXPECT_EQ(texts.last(), QStringLiteral("日本語入力 - オフ(&L)"));
    EXPECT_FALSE(copyEnabled) << "nothing was selected";
    EXPECT_EQ(View().Control().SelStart(), 0);
    EXPECT_EQ(View().Control().SelEnd(), 9);
}

} // namespace
} // namespace mireka
