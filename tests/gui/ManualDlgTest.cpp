// The manual viewer on fixture manuals: search, jump, copy, reloading, bad files, and the
// command that opens it from the frame with the word at the caret.
#include "gui/app/ManualDlg.h"
#include "gui/app/MainFrame.h"
#include "gui/app/ManualCommand.h"
#include "gui/app/MyApp.h"
#include "gui/base/CommandIds.h"
#include "gui/document/MyView.h"

#include "GuiTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <memory>

namespace mireka {
namespace {

// 200 lines "line N", line 3 indented, line 123 the description of printf.
QByteArray Manual(const QByteArray& tag) {
    QByteArray bytes;
    for (int i = 0; i < 200; ++i) {
        if (i == 3)
            bytes += "    indented text\t \r\n";
        else if (i == 123)
            bytes += "printf " + tag + "\r\n";
        else
            bytes += tag + " line " + QByteArray::number(i) + "\r\n";
    }
    return bytes;
}

class ManualDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        test::WriteBytes(dir.filePath("LSICMAN.TXT"), "10,abs\r\n"
                                                      "20,Printer\r\n"
                                                      "123,printf\r\n"
                                                      "30,sprintf\r\n"
                                                      "not an entry\r\n"
                                                      "40,long entry name\r\n"
                                                      "9999,beyond\r\n");
        QDir(dir.path()).mkpath("A/MAN");
        QDir(dir.path()).mkpath("B/MAN");
        test::WriteBytes(dir.filePath("A/MAN/LSIC86.MAN"), Manual("first"));
        test::WriteBytes(dir.filePath("B/MAN/LSIC86.MAN"), Manual("second"));
        dlg = std::make_unique<CManualDlg>(nullptr, Path("LSICMAN.TXT"));
    }
    std::string Path(const QString& name) const { return test::Native(dir.filePath(name)); }
    QStringList IndexTexts() const {
        QStringList out;
        const QAbstractItemModel* m = dlg->IndexList()->model();
        for (int i = 0; i < m->rowCount(); ++i)
            out << m->index(i, 0).data().toString();
        return out;
    }
    QString ManualRow(int row) const {
        return dlg->ManualList()->model()->index(row, 0).data().toString();
    }
    int TopRow() const { return dlg->ManualList()->indexAt(QPoint(4, 4)).row(); }
    int CurrentRow() const { return dlg->ManualList()->currentIndex().row(); }
    QString SelectedEntry() const {
        const QModelIndexList s = dlg->IndexList()->selectionModel()->selectedIndexes();
        return s.isEmpty() ? QString() : s.front().data().toString();
    }
    void Type(const QString& text) {
        dlg->FindEdit()->clear();
        QTest::keyClicks(dlg->FindEdit(), text);
    }

    QTemporaryDir dir;
    test::FakePrompts prompts;
    std::unique_ptr<CManualDlg> dlg;
};

TEST_F(ManualDlgTest, SearchSelectsAnEntryAndEnterShowsItsLineForCopying) {
    EXPECT_TRUE(dlg->isHidden());
    EXPECT_TRUE(prompts.messages.empty());
    // File order, each entry up to its first blank; the line that is no entry is left out.
    EXPECT_EQ(IndexTexts(), (QStringList{"abs", "Printer", "printf", "sprintf", "long", "beyond"}));
    const QFontMetrics metrics(dlg->IndexList()->font());
    int widest = 0;
    for (const QString& entry : IndexTexts())
        widest = std::max(widest, metrics.horizontalAdvance(entry));
    EXPECT_EQ(dlg->IndexExtent(), widest + 4);

    dlg->ShowLsiManual(Path("A/MAN/LSIC86.MAN"), "");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
    EXPECT_EQ(dlg->windowTitle(), "LSI C-86 Ver.3.30 試食版 ユーザーズマニュアル");
    EXPECT_EQ(ManualRow(0), "00000| first line 0");
    EXPECT_EQ(TopRow(), 14);
    EXPECT_TRUE(dlg->FindEdit()->hasFocus());

    Type("pri");
    EXPECT_EQ(SelectedEntry(), "Printer");
    Type("PRINTF");
    EXPECT_EQ(SelectedEntry(), "printf");
    Type("PRINTFX"); // no match: the selection stays
    EXPECT_EQ(SelectedEntry(), "printf");
    QTest::keyClick(dlg->FindEdit(), Qt::Key_Return);
    EXPECT_EQ(TopRow(), 123);
    EXPECT_EQ(CurrentRow(), 123);
    EXPECT_TRUE(dlg->ManualList()->hasFocus());
    EXPECT_EQ(ManualRow(123), "00123| printf first");

    // A double-click jumps too; a click makes a line current, and コピー copies it bare.
    Type("ab");
    const QRect abs = dlg->IndexList()->visualRect(dlg->IndexList()->currentIndex());
    // A double-click as the system sends it: a click, then the double-click.
    QTest::mouseClick(dlg->IndexList()->viewport(), Qt::LeftButton, {}, abs.center());
    QTest::mouseDClick(dlg->IndexList()->viewport(), Qt::LeftButton, {}, abs.center());
    EXPECT_EQ(TopRow(), 10);
    dlg->ManualList()->scrollToTop();
    const QRect row3 = dlg->ManualList()->visualRect(dlg->ManualList()->model()->index(3, 0));
    QTest::mouseClick(dlg->ManualList()->viewport(), Qt::LeftButton, {}, row3.center());
    EXPECT_EQ(CurrentRow(), 3);
    QTest::mouseClick(dlg->CopyButton(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "indented text");

    // An entry past the manual's end: a beep, and the manual stays where it is.
    Type("bey");
    QTest::keyClick(dlg->FindEdit(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_EQ(CurrentRow(), 3);

    // Closing only hides the window.
    QTest::keyClick(dlg->FindEdit(), Qt::Key_Escape);
    EXPECT_TRUE(dlg->isHidden());
}

TEST_F(ManualDlgTest, TypingInTheManualListGoesToTheLineWhoseListedTextBeginsWithIt) {
    dlg->ShowLsiManual(Path("A/MAN/LSIC86.MAN"), "");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
    QListView* list = dlg->ManualList();
    list->setFocus();
    // Typed within the list's interval the keys add up; a key typed twice steps to the next row.
    const struct {
        int from;
        const char* typed;
        int current;
    } cases[] = {
        {50, "0012", 120},      // "0", "0" again (the next row), "001", "0012"
        {120, "00123| p", 123}, // past the number, the line's own text
        {120, "00123| x", 123}, // the longest part that matched
        {50, "p", 50},          // every row begins with its number
        {0, "12", 0},           // 00012 does not begin with 12
        {190, "0001", 10},      // from the end round to the top
    };
    for (const auto& c : cases) {
        list->keyboardSearch(QString()); // a new search
        list->setCurrentIndex(list->model()->index(c.from, 0));
        QTest::keyClicks(list, QString::fromLatin1(c.typed));
        EXPECT_EQ(CurrentRow(), c.current) << c.from << " " << c.typed;
    }
}

TEST_F(ManualDlgTest, ManualIsReloadedOnlyWhenItsPathChanges) {
    const std::string a = Path("A/MAN/LSIC86.MAN");
    dlg->ShowLsiManual(a, "");
    Type("printf");
    QTest::keyClick(dlg->FindEdit(), Qt::Key_Return);
    dlg->hide();
    // The same path in other letters is the same manual: place and current line stay.
    test::WriteBytes(dir.filePath("A/MAN/LSIC86.MAN"), Manual("changed"));
    QString upper = QString::fromStdString(a);
    upper.replace("LSIC86.MAN", "lsic86.man");
    dlg->ShowLsiManual(test::Native(upper), "");
    EXPECT_EQ(TopRow(), 123);
    EXPECT_EQ(CurrentRow(), 123);
    EXPECT_EQ(ManualRow(0), "00000| first line 0");

    // Another installation: its manual at line 14, nothing of the former one left.
    dlg->ShowLsiManual(Path("B/MAN/LSIC86.MAN"), "");
    EXPECT_EQ(TopRow(), 14);
    EXPECT_EQ(dlg->ManualList()->model()->rowCount(), 200);
    for (int i = 0; i < 200; ++i)
        ASSERT_FALSE(ManualRow(i).contains("first")) << i;

    // A missing manual keeps what the list had, and is not tried again while the path stays.
    const std::string missing = Path("C/MAN/LSIC86.MAN");
    dlg->ShowLsiManual(missing, "");
    EXPECT_EQ(ManualRow(0), "00000| second line 0");
    QDir(dir.path()).mkpath("C/MAN");
    test::WriteBytes(dir.filePath("C/MAN/LSIC86.MAN"), Manual("third"));
    dlg->ShowLsiManual(missing, "");
    EXPECT_EQ(ManualRow(0), "00000| second line 0");
    EXPECT_TRUE(prompts.messages.empty());

    // The folders in another case than the derived path (a case-sensitive file system).
    QDir(dir.path()).mkpath("D/man");
    test::WriteBytes(dir.filePath("D/man/lsic86.man"), Manual("fourth"));
    dlg->ShowLsiManual(Path("D/MAN/LSIC86.MAN"), "");
    EXPECT_EQ(ManualRow(0), "00000| fourth line 0");
}

TEST_F(ManualDlgTest, BadFilesGiveAClearResult) {
    // No index: said at once, and the viewer still opens with an empty index.
    CManualDlg noIndex(nullptr, Path("missing/LSICMAN.TXT"));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "LSICMAN.TXT がありません。");
    EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(noIndex.IndexList()->model()->rowCount(), 0);
    // The viewer says why a search finds nothing.
    EXPECT_FALSE(noIndex.StatusLabel()->isHidden());
    EXPECT_TRUE(noIndex.StatusLabel()->text().startsWith("索引 (LSICMAN.TXT) が空のため"))
        << noIndex.StatusLabel()->text().toStdString();
    EXPECT_TRUE(dlg->StatusLabel()->isHidden()) << "an index with entries says nothing";
    noIndex.ShowLsiManual(Path("A/MAN/LSIC86.MAN"), "printf");
    EXPECT_EQ(noIndex.FindEdit()->text(), "printf");
    QTest::keyClick(noIndex.FindEdit(), Qt::Key_Return); // nothing selected: nothing happens
    EXPECT_EQ(noIndex.ManualList()->currentIndex().row(), -1);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::mouseClick(noIndex.CopyButton(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before") << "no current line: nothing copied";

    // An empty manual, then one with a 1 MB line: pieces of 254 bytes, the number grows.
    test::WriteBytes(dir.filePath("empty.man"), "");
    dlg->ShowLsiManual(Path("empty.man"), "");
    EXPECT_EQ(dlg->ManualList()->model()->rowCount(), 0);
    test::WriteBytes(dir.filePath("long.man"), QByteArray(1 << 20, 'x') + "\nlast");
    dlg->ShowLsiManual(Path("long.man"), "");
    const int rows = dlg->ManualList()->model()->rowCount();
    EXPECT_EQ(rows, (1 << 20) / 254 + 2);
    EXPECT_EQ(ManualRow(rows - 1), "04129| last");
    EXPECT_EQ(ManualRow(0).size(), 7 + 254);
}

class ManualCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        QApplication::setQuitOnLastWindowClosed(false);
        ASSERT_TRUE(dir.isValid());
        QDir::setCurrent(dir.path());
        app = std::make_unique<CMyApp>();
        ASSERT_TRUE(app->InitInstance({}));
    }
    CMainFrame& Frame() { return *app->MainFrame(); }
    CManualDlg& Viewer() { return *Frame().Manual()->Dialog(); }

    QTemporaryDir dir;
    test::PrivateSettings settings;
    test::FakePrompts prompts;
    std::unique_ptr<CMyApp> app;
};

TEST_F(ManualCommandTest, OpensTheLsiManualWithTheWordAtTheCaret) {
    EXPECT_TRUE(Viewer().isHidden()); // made with the frame, hidden
    CMyView& view = *Frame().View();
    Frame().SetToolchain(1);
    view.GetBuildSettings().m_strLccPath.clear();
    EXPECT_FALSE(Frame().Commands().Execute(cmd::HelpManual));

    QDir(dir.path()).mkpath("lsic86/MAN");
    test::WriteBytes(dir.filePath("lsic86/MAN/LSIC86.MAN"), Manual("lsi"));
    view.GetBuildSettings().m_strLccPath = test::Native(dir.filePath("lsic86/bin/lcc.exe"));
    view.SetWindowText("int main(void) { printf(\"x\"); }");
    view.SetSel(23, 23); // right after "printf"
    ASSERT_TRUE(Frame().Commands().Execute(cmd::HelpManual));
    EXPECT_TRUE(Viewer().isVisible());
    EXPECT_EQ(Viewer().FindEdit()->text(), "printf");
    EXPECT_EQ(Viewer().ManualList()->model()->index(123, 0).data().toString(), "00123| printf lsi");

    // The caret on no word leaves the find text as it was.
    Viewer().hide();
    view.SetSel(15, 15);
    ASSERT_TRUE(Frame().Commands().Execute(cmd::HelpManual));
    EXPECT_EQ(Viewer().FindEdit()->text(), "printf");
    view.SetSel(0, 0);
    ASSERT_TRUE(Frame().Commands().Execute(cmd::HelpManual));
    EXPECT_EQ(Viewer().FindEdit()->text(), "int");
}

} // namespace
} // namespace mireka
