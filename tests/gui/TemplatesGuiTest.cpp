// The templates submenu, adding, inserting, renaming and deleting templates, on a running
// application with its dialogs answered through their own controls.
#include "core/app/Templates.h"
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/app/TemplateDlgs.h"
#include "gui/base/CommandIds.h"
#include "gui/base/DialogRunner.h"
#include "gui/document/MyView.h"

#include "GuiTestSupport.h"

#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace mireka {
namespace {

class TemplatesGuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir::setCurrent(dir.path());
        test::WriteBytes(dir.filePath("hello.c"), "int main(void) { return 0; }\r\n");
        ASSERT_TRUE(app.InitInstance({test::Native(dir.filePath("hello.c"))}));
        folder = QString::fromStdString(TemplateFolder());
        // The program folder lives as long as the test process.
        QDir(folder).removeRecursively();
    }
    void TearDown() override {
        SetDialogRunner({});
        QDir(folder).removeRecursively();
    }
    CMainFrame& Frame() { return *app.MainFrame(); }
    CMyView& View() { return *Frame().View(); }
    CommandTable& Commands() { return Frame().Commands(); }
    // What opening the menu bar does: the submenu is read afresh.
    QStringList MenuTexts() {
        emit Frame().TemplateMenu()->aboutToShow();
        QStringList texts;
        for (QAction* a : Frame().TemplateMenu()->actions())
            texts << (a->isSeparator() ? QStringLiteral("—") : a->text());
        return texts;
    }
    QAction* MenuItem(const QString& text) {
        for (QAction* a : Frame().TemplateMenu()->actions())
            if (a->text() == text) return a;
        return nullptr;
    }
    // Answers the add dialog with `name` (noting the suggestion) and OK.
    void AnswerAdd(const QString& name, QString* suggested = nullptr) {
        SetDialogRunner([name, suggested](QDialog& d) {
            auto& dlg = dynamic_cast<CAddTemplateDlg&>(d);
            if (suggested) *suggested = dlg.NameEdit()->text();
            dlg.NameEdit()->selectAll();
            QTest::keyClicks(dlg.NameEdit(), name);
            QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
            return dlg.result();
        });
    }
    QString Tpl(const QString& name) const { return folder + "/" + name + ".tpl"; }

    QTemporaryDir dir;
    test::PrivateSettings settings;
    test::FakePrompts prompts;
    CMyApp app;
    QString folder;
};

TEST_F(TemplatesGuiTest, AddingListingAndInserting) {
    // No folder yet: only the fixed items, and nothing to organise.
    EXPECT_EQ(MenuTexts(), QStringList({"ひな型に追加(&A)...", "ひな型の整理(&O)...", "—"}));
    EXPECT_FALSE(Commands().State(cmd::TemplateOrganize).enabled);

    // The first template makes the folder; the name proposed is the title up to its dot.
    QString suggested;
    AnswerAdd("hello", &suggested);
    ASSERT_TRUE(Commands().Execute(cmd::TemplateAdd));
    EXPECT_EQ(suggested, "hello");
    EXPECT_EQ(test::ReadBytes(Tpl("hello")), "int main(void) { return 0; }\r\n");

    // An existing name asks first; No leaves the file alone.
    View().SetWindowText("changed");
    AnswerAdd("hello");
    prompts.answers.push_back(QMessageBox::No);
    ASSERT_TRUE(Commands().Execute(cmd::TemplateAdd));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(
        prompts.messages[0].text.endsWith("hello.tpl' は既に存在します。\n上書きしますか？"));
    EXPECT_EQ(test::ReadBytes(Tpl("hello")), "int main(void) { return 0; }\r\n");

    // A name that would leave the folder is refused.
    AnswerAdd("../escape");
    ASSERT_TRUE(Commands().Execute(cmd::TemplateAdd));
    EXPECT_EQ(prompts.messages.back().text, "ひな型の名前に「/」は使えません。");
    EXPECT_FALSE(QFile::exists(folder + "/../escape.tpl"));

    // Listed in the user's order, not in byte order (which puts capitals first), files of other
    // kinds left out, ids from 200.
    const QLocale saved;
    const std::shared_ptr<void> restore(nullptr, [saved](void*) { QLocale::setDefault(saved); });
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    test::WriteBytes(Tpl("B"), "B\r\n");
    test::WriteBytes(Tpl("a"), std::string("A\0ignored", 9).c_str());
    test::WriteBytes(folder + "/notes.txt", "N");
    EXPECT_EQ(MenuTexts(),
              QStringList({"ひな型に追加(&A)...", "ひな型の整理(&O)...", "—", "a", "B", "hello"}));
    EXPECT_EQ(Frame().TemplateNames(), (std::vector<std::string>{"a", "B", "hello"}));
    EXPECT_TRUE(Commands().State(cmd::TemplateOrganize).enabled);

    // Inserting replaces the selection: one Undo takes the text out, the next brings it back.
    View().SetWindowText("xyz");
    View().ClearUndoHistory();
    View().SetSel(1, 2);
    MenuItem("B")->trigger();
    EXPECT_EQ(View().GetWindowText(), "xB\r\nz");
    View().Undo();
    EXPECT_EQ(View().GetWindowText(), "xz");
    View().Undo();
    EXPECT_EQ(View().GetWindowText(), "xyz");
    // Up to a NUL byte; a file that went away says so and changes nothing.
    View().SetSel(0, 0);
    MenuItem("a")->trigger();
    EXPECT_EQ(View().GetWindowText(), "Axyz");
    QFile::remove(Tpl("B"));
    MenuItem("B")->trigger();
    EXPECT_EQ(prompts.messages.back().text,
              "'" + Tpl("B") +
                  "' をオープンできません。\nファイルまたはフォルダーが見つかりません。");
    EXPECT_EQ(View().GetWindowText(), "Axyz");
}

TEST_F(TemplatesGuiTest, OrganisingRenamesInPlaceAndDeletes) {
    ASSERT_TRUE(MakeTemplateFolder());
    for (const char* name : {"alpha", "beta", "gamma"})
        test::WriteBytes(Tpl(name), name);
    MenuTexts();
    SetDialogRunner([&](QDialog& d) {
        auto& dlg = dynamic_cast<COrganizeTemplatesDlg&>(d);
        dlg.show();
        QListWidget* list = dlg.List();
        EXPECT_EQ(list->count(), 3);
        const auto rename = [&](int row, const QString& text) {
            list->setCurrentRow(row);
            QTest::mouseClick(dlg.RenameButton(), Qt::LeftButton);
            QLineEdit* editor = nullptr; // a closed editor lingers until deleted later
            for (QLineEdit* e : list->findChildren<QLineEdit*>())
                if (e->isVisible()) editor = e;
            EXPECT_TRUE(editor) << "the rename button starts editing in place";
            if (!editor) return;
            editor->selectAll();
            QTest::keyClicks(editor, text);
            QTest::keyClick(editor, Qt::Key_Return);
            EXPECT_TRUE(dlg.isVisible()) << "Enter ends the edit, not the dialog";
            QCoreApplication::processEvents(); // the list hands the edit over afterwards
        };
        rename(0, "first");
        EXPECT_EQ(list->item(0)->text(), "first");
        rename(1, "gamma"); // taken by another template
        EXPECT_EQ(list->item(1)->text(), "beta");
        rename(1, "a/b"); // would leave the folder
        EXPECT_EQ(list->item(1)->text(), "beta");
        // Delete asks; No keeps, Yes deletes.
        list->setCurrentRow(2);
        prompts.answers.push_back(QMessageBox::No);
        QTest::mouseClick(dlg.DeleteButton(), Qt::LeftButton);
        EXPECT_EQ(list->count(), 3);
        prompts.answers.push_back(QMessageBox::Yes);
        QTest::mouseClick(dlg.DeleteButton(), Qt::LeftButton);
        EXPECT_EQ(list->count(), 2);
        QTest::mouseClick(dlg.CloseButton(), Qt::LeftButton);
        return dlg.result();
    });
    ASSERT_TRUE(Commands().Execute(cmd::TemplateOrganize));
    EXPECT_TRUE(QFile::exists(Tpl("first")));
    EXPECT_FALSE(QFile::exists(Tpl("alpha")));
    EXPECT_TRUE(QFile::exists(Tpl("beta")));
    EXPECT_FALSE(QFile::exists(Tpl("gamma")));
    EXPECT_EQ(Frame().TemplateNames(), (std::vector<std::string>{"first", "beta"}));
    QStringList messages;
    for (const auto& m : prompts.messages)
        messages << m.text;
    EXPECT_TRUE(messages.contains("名前が重複しています。"));
    EXPECT_TRUE(messages.contains("'gamma' を削除します。\nよろしいですか？"));
}

} // namespace
} // namespace mireka
