// The argument and command-line dialog, played through its test driver with real keys.
#include "core/base/Profile.h"
#include "gui/toolchain/ArgumentsDlg.h"

#include "GuiTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace mireka {
namespace {

class BuildArgumentsDlgTest : public ::testing::Test {
protected:
    void TearDown() override { CArgumentsDlg::SetDriver({}); }

    // Runs the dialog with `play` as the user; returns the result and the text.
    std::pair<int, std::string> Run(ArgumentsMode mode, const std::string& initial,
                                    std::function<void(CArgumentsDlg&)> play) {
        CArgumentsDlg::SetDriver(std::move(play));
        CArgumentsDlg dlg(mode);
        dlg.SetText(initial);
        const int result = dlg.DoModal();
        return {result, dlg.Text()};
    }

    // Types `text` over whatever the field holds and presses the key.
    static void Type(CArgumentsDlg& d, const QString& text, Qt::Key key) {
        QLineEdit* edit = d.ComboBox()->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, key);
    }

    std::string Entry(const char* section, const char* entry) {
        return GetProfileString(section, entry, "<none>");
    }

    test::PrivateSettings settings;
};

TEST_F(BuildArgumentsDlgTest, BothModesHaveTheirTextsAndOnlyAnOkButton) {
    Run(ArgumentsMode::Arguments, "", [](CArgumentsDlg& d) {
        EXPECT_EQ(d.windowTitle(), "引数を指定して実行");
        EXPECT_EQ(d.PromptLabel()->text(), "引数を指定してください。");
        const auto buttons = d.findChildren<QAbstractButton*>();
        ASSERT_EQ(buttons.size(), 1);
        EXPECT_EQ(d.findChild<QDialogButtonBox*>()->standardButtons(), QDialogButtonBox::Ok);
        EXPECT_EQ(d.ComboBox()->lineEdit()->maxLength(), 255);
        EXPECT_TRUE(d.ComboBox()->isEditable());
    });
    Run(ArgumentsMode::Command, "", [](CArgumentsDlg& d) {
        EXPECT_EQ(d.windowTitle(), "コマンドラインを指定");
        EXPECT_EQ(d.PromptLabel()->text(), "コマンドラインを指定して下さい。");
    });
}

TEST_F(BuildArgumentsDlgTest, EnterConfirmsAndMovesTheLineToTheFrontOfItsOwnHistory) {
    WriteProfileString("Parameter List", "param1", "a");
    WriteProfileString("Parameter List", "param2", "b");
    WriteProfileString("Parameter List", "param3", "c");
    WriteProfileString("Parameter List", "param4", "d");
    WriteProfileString("Parameter List", "param5", "e");
    WriteProfileString("Command List", "command1", "make");

    // The initial text is in the field; the list stays empty until the drop-down opens.
    auto [result, text] = Run(ArgumentsMode::Arguments, "last", [&](CArgumentsDlg& d) {
        EXPECT_EQ(d.ComboBox()->currentText(), "last");
        EXPECT_TRUE(d.ListItems().isEmpty());
        d.ComboBox()->showPopup();
        EXPECT_EQ(d.ListItems(), (QStringList{"a", "b", "c", "d", "e"}));
        EXPECT_EQ(d.ComboBox()->currentText(), "last") << "opening keeps the typed text";
        d.ComboBox()->hidePopup();
        Type(d, "c", Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(text, "c");
    // The third line moved to the top, nothing lost at the bottom.
    EXPECT_EQ(Entry("Parameter List", "param1"), "c");
    EXPECT_EQ(Entry("Parameter List", "param2"), "a");
    EXPECT_EQ(Entry("Parameter List", "param3"), "b");
    EXPECT_EQ(Entry("Parameter List", "param4"), "d");
    EXPECT_EQ(Entry("Parameter List", "param5"), "e");
    EXPECT_EQ(Entry("Command List", "command1"), "make") << "the histories never mix";

    // A new line drops the fifth; a line differing only in case is new.
    std::tie(result, text) =
        Run(ArgumentsMode::Arguments, "", [&](CArgumentsDlg& d) { Type(d, "C", Qt::Key_Enter); });
    EXPECT_EQ(text, "C");
    EXPECT_EQ(Entry("Parameter List", "param1"), "C");
    EXPECT_EQ(Entry("Parameter List", "param2"), "c");
    EXPECT_EQ(Entry("Parameter List", "param5"), "d");

    // OK with an empty text is OK and leaves the history alone.
    std::tie(result, text) = Run(ArgumentsMode::Arguments, "x", [&](CArgumentsDlg& d) {
        d.ComboBox()->lineEdit()->clear();
        d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(text, "");
    EXPECT_EQ(Entry("Parameter List", "param1"), "C");
    EXPECT_EQ(Entry("Parameter List", "param5"), "d");
}

TEST_F(BuildArgumentsDlgTest, EscapeAndTheCloseBoxCancelAndRewriteTheHistoryAsItWas) {
    // A gap: nothing in the drop-down, and the numbers stay as they were.
    WriteProfileString("Command List", "command2", "ls");
    auto [result, text] = Run(ArgumentsMode::Command, "old", [&](CArgumentsDlg& d) {
        d.ComboBox()->showPopup();
        EXPECT_TRUE(d.ListItems().isEmpty());
        d.ComboBox()->hidePopup();
        Type(d, "rm -rf", Qt::Key_Escape);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(text, "old") << "the caller's text is untouched";
    EXPECT_EQ(Entry("Command List", "command1"), "<none>");
    EXPECT_EQ(Entry("Command List", "command2"), "ls");

    std::tie(result, text) = Run(ArgumentsMode::Command, "", [&](CArgumentsDlg& d) {
        QTest::keyClicks(d.ComboBox()->lineEdit(), "make");
        d.close(); // the close box
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(Entry("Command List", "command2"), "ls");
    EXPECT_EQ(Entry("Command List", "command1"), "<none>");
}

TEST_F(BuildArgumentsDlgTest, JapaneseLinesSurviveTheHistory) {
    const QString line = QStringLiteral("日本語 \"引数\"");
    // Typed through the input method, which commits whole text rather than keys.
    auto [result, text] = Run(ArgumentsMode::Arguments, "", [&](CArgumentsDlg& d) {
        d.ComboBox()->lineEdit()->insert(line);
        QTest::keyClick(d.ComboBox()->lineEdit(), Qt::Key_Return);
    });
    EXPECT_EQ(QString::fromLocal8Bit(text.c_str()), line);
    Run(ArgumentsMode::Arguments, "", [&](CArgumentsDlg& d) {
        d.ComboBox()->showPopup();
        EXPECT_EQ(d.ListItems(), QStringList{line});
        d.ComboBox()->hidePopup();
    });
}

} // namespace
} // namespace mireka
