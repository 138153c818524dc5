// Find and replace through the modeless dialog's real buttons on a running application.
#include "core/editor/FindReplace.h"
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/base/CommandIds.h"
#include "gui/document/MyView.h"
#include "gui/editor/FindReplaceDlg.h"

#include "GuiTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace mireka {
namespace {

class FindReplaceGuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        SharedFindReplaceState() = FindReplaceState{};
        ASSERT_TRUE(dir.isValid());
        QDir::setCurrent(dir.path());
        ASSERT_TRUE(app.InitInstance({}));
        ActivateFrame();
    }
    void ActivateFrame() {
        QApplication::setActiveWindow(app.MainFrame());
        View().setFocus();
    }
    CMyView& View() { return *app.MainFrame()->View(); }
    CommandTable& Commands() { return app.MainFrame()->Commands(); }
    std::string Text() { return View().GetWindowText(); }
    Offset SelStart() { return View().Control().SelStart(); }
    Offset SelEnd() { return View().Control().SelEnd(); }
    void SetText(const std::string& text, Offset anchor, Offset caret) {
        View().SetWindowText(text);
        View().SetSel(anchor, caret);
        Idle();
    }
    // What the frame's idle timer does: the accelerators follow the update rules.
    void Idle() { Commands().UpdateAll(); }
    void Shortcut(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        ActivateFrame();
        Idle();
        QTest::keyClick(&View(), key, mods);
    }
    CFindReplaceDlg* Dialog() { return CUndoEditView::FindReplaceDialog(); }
    static void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    static void TypeInto(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        if (text.isEmpty()) {
            QTest::keyClick(edit, Qt::Key_Delete);
            return;
        }
        // Text that is not ASCII arrives as the text of a key event, as from an input method.
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QApplication::sendEvent(edit, &key);
    }

    QTemporaryDir dir;
    test::PrivateSettings settings;
    test::FakePrompts prompts;
    CMyApp app;
};

TEST_F(FindReplaceGuiTest, FindNextStepsThroughTheOccurrencesAndReportsTheEnd) {
    SetText("abc ABC abc", 0, 0);
    EXPECT_FALSE(Commands().State(cmd::EditRepeat).enabled) << "nothing searched yet";
    Shortcut(Qt::Key_F, Qt::ControlModifier);
    CFindReplaceDlg* dlg = Dialog();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->IsFindOnly());
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("検索"));
    EXPECT_EQ(dlg->ReplaceButton(), nullptr);
    EXPECT_FALSE(dlg->FindNextButton()->isEnabled()) << "an empty search text finds nothing";
    TypeInto(dlg->FindEdit(), "abc");
    ASSERT_TRUE(dlg->FindNextButton()->isEnabled());
    Click(dlg->FindNextButton());
    EXPECT_EQ(SelStart(), 0);
    Click(dlg->FindNextButton());
    EXPECT_EQ(SelStart(), 4) << "without match case ABC is an occurrence";
    Click(dlg->FindNextButton());
    EXPECT_EQ(SelStart(), 8);
    EXPECT_TRUE(prompts.messages.empty());
    // At the last occurrence: beep, message, the selection stays, the dialog has the focus.
    Click(dlg->FindNextButton());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("文字列 'abc' が見つかりません。"));
    EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Warning);
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_EQ(SelStart(), 8);
    EXPECT_EQ(SelEnd(), 11);
    EXPECT_EQ_SOON(QApplication::activeWindow(), static_cast<QWidget*>(dlg));
    // Upwards with match case.
    Click(dlg->UpButton());
    Click(dlg->MatchCaseBox());
    Click(dlg->FindNextButton());
    EXPECT_EQ(SelStart(), 0) << "ABC no longer matches";
    Click(dlg->FindNextButton());
    EXPECT_EQ(prompts.messages.size(), 2u) << "searching up from offset 0 fails at once";

    // F3 repeats the last search, now enabled.
    SetText("abc ABC abc", 5, 5);
    EXPECT_TRUE(Commands().State(cmd::EditRepeat).enabled);
    Click(dlg->DownButton());
    Click(dlg->FindNextButton());
    EXPECT_EQ(SelStart(), 8);
    View().SetSel(0, 0);
    Shortcut(Qt::Key_F3);
    EXPECT_EQ(SelStart(), 0);
    Shortcut(Qt::Key_F3);
    EXPECT_EQ(SelStart(), 8);
    Shortcut(Qt::Key_F3);
    EXPECT_EQ(prompts.messages.size(), 3u);
    // Cancel closes the dialog.
    Click(dlg->CancelButton());
    EXPECT_EQ(Dialog(), nullptr);
}

TEST_F(FindReplaceGuiTest, ReplaceFindsFirstThenReplacesEachThroughTheUndoHistory) {
    SetText("one two one two one", 0, 0);
    Shortcut(Qt::Key_H, Qt::ControlModifier);
    CFindReplaceDlg* dlg = Dialog();
    ASSERT_NE(dlg, nullptr);
    EXPECT_FALSE(dlg->IsFindOnly());
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("置換"));
    TypeInto(dlg->FindEdit(), "one");
    TypeInto(dlg->ReplaceEdit(), "1");
    const std::size_t records = View().History().UndoList().size();
    Click(dlg->ReplaceButton());
    EXPECT_EQ(Text(), "one two one two one") << "on a caret the first press only finds";
    EXPECT_EQ(SelStart(), 0);
    Click(dlg->ReplaceButton());
    EXPECT_EQ(Text(), "1 two one two one");
    EXPECT_EQ(SelStart(), 6) << "the next occurrence is selected";
    EXPECT_EQ(View().History().UndoList().size(), records + 2);
    // Replace all from here on, every replacement undoable.
    Click(dlg->ReplaceAllButton());
    EXPECT_EQ(Text(), "1 two 1 two 1");
    EXPECT_EQ(View().History().UndoList().size(), records + 6);
    ActivateFrame();
    for (int i = 0; i < 4; ++i)
        Shortcut(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), "1 two one two one");
    // Replace all from the middle leaves the occurrences before the caret.
    SetText("x.x.x", 2, 2);
    TypeInto(dlg->FindEdit(), "x");
    TypeInto(dlg->ReplaceEdit(), "");
    const std::size_t before = View().History().UndoList().size();
    Click(dlg->ReplaceAllButton());
    EXPECT_EQ(Text(), "x..");
    EXPECT_EQ(View().History().UndoList().size(), before + 2)
        << "each replacement by nothing is one deletion";
    // A replace all that finds nothing tells so.
    prompts.messages.clear();
    Click(dlg->ReplaceAllButton());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("文字列 'x' が見つかりません。"));
}

TEST_F(FindReplaceGuiTest, ReopeningActivatesTheSameKindAndClosesTheOther) {
    SetText("alpha beta\r\ngamma", 6, 10);
    EXPECT_TRUE(Commands().Execute(cmd::EditReplace));
    QPointer<CFindReplaceDlg> replace = Dialog();
    ASSERT_TRUE(replace);
    EXPECT_EQ(replace->FindText(), QStringLiteral("beta")) << "the selection is the search text";
    EXPECT_TRUE(Commands().Execute(cmd::EditReplace));
    EXPECT_EQ(Dialog(), replace.data()) << "the same kind is only brought forward";
    Click(replace->FindNextButton()); // remembers "beta" as the last search text
    // Find while Replace is open: the replace dialog goes; with nothing selected the find
    // dialog starts with the last search text.
    View().SetSel(0, 0);
    EXPECT_TRUE(Commands().Execute(cmd::EditFind));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(replace) << "the replace dialog was closed";
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_TRUE(Dialog()->IsFindOnly());
    EXPECT_EQ(Dialog()->FindText(), QStringLiteral("beta"));
    // A selection across lines proposes its first line only.
    View().SetSel(0, 14);
    Click(Dialog()->CancelButton());
    EXPECT_TRUE(Commands().Execute(cmd::EditFind));
    EXPECT_EQ(Dialog()->FindText(), QStringLiteral("alpha beta"));
}

TEST_F(FindReplaceGuiTest, JapaneseSearchTextAndTextTheCodePageCannotHold) {
    SetText("\x82\xa0\x82\xa2 \x82\xa2", 0, 0); // "あい い"
    EXPECT_TRUE(Commands().Execute(cmd::EditFind));
    CFindReplaceDlg* dlg = Dialog();
    ASSERT_NE(dlg, nullptr);
    TypeInto(dlg->FindEdit(), QString::fromUtf8("い"));
    Click(dlg->FindNextButton());
    EXPECT_EQ(SelStart(), 2);
    EXPECT_EQ(SelEnd(), 4);
    // A character outside the code page is refused before any search.
    TypeInto(dlg->FindEdit(), QString::fromUtf8("😀"));
    Click(dlg->FindNextButton());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains(QString::fromUtf8("😀")));
    EXPECT_EQ(SelStart(), 2);
    EXPECT_EQ(SharedFindReplaceState().findText, "\x82\xa2") << "the last search text stays";
}

TEST_F(FindReplaceGuiTest, SearchTextFollowsTheDocumentsEncoding) {
    // "い" searched in a UTF-8 document, then repeated (F3) in a Shift_JIS one.
    View().Session().SetEncoding(Encoding::Utf8);
    SetText("あい い", 0, 0);
    EXPECT_TRUE(Commands().Execute(cmd::EditFind));
    ASSERT_NE(Dialog(), nullptr);
    TypeInto(Dialog()->FindEdit(), QString::fromUtf8("い"));
    Click(Dialog()->FindNextButton());
    EXPECT_EQ(SelStart(), 3);
    EXPECT_EQ(SelEnd(), 6);
    EXPECT_EQ(SharedFindReplaceState().findText, "い");
    Dialog()->close();
    ActivateFrame();
    View().Session().SetEncoding(Encoding::Cp932);
    SetText("\x82\xa0\x82\xa2 \x82\xa2", 0, 0); // "あい い"
    EXPECT_TRUE(Commands().Execute(cmd::EditRepeat));
    EXPECT_EQ(SelStart(), 2);
    EXPECT_EQ(SelEnd(), 4);
    EXPECT_TRUE(prompts.messages.empty());
}

} // namespace
} // namespace mireka
