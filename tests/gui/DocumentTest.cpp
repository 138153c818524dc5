// Opening, saving and the save prompt, through the real application objects.
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/base/CommandIds.h"
#include "gui/document/MyDoc.h"
#include "gui/document/MyView.h"
#include "platform/SafeFile.h"

#include "GuiTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace mireka {
namespace {

using test::Native;
using test::ReadBytes;
using test::WriteBytes;

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir::setCurrent(dir.path());
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    bool Start(const QStringList& args = {}) {
        std::vector<std::string> words;
        for (const QString& a : args)
            words.push_back(Native(a));
        return app.InitInstance(words);
    }
    CMyDoc& Doc() { return *app.Document(); }
    CMyView& View() { return *app.MainFrame()->View(); }

    QTemporaryDir dir;
    test::PrivateSettings settings;
    test::FakePrompts prompts;
    CMyApp app;
};

TEST_F(DocumentTest, FirstStartGivesAnEmptyUntitledDocument) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(Doc().GetTitle(), "untitled");
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(View().GetWindowText(), "");
    EXPECT_EQ(app.DialogMemory().filterIndex, 1);
    EXPECT_TRUE(app.DialogMemory().folder.empty());
    EXPECT_EQ(app.MainFrame()->windowTitle(), "untitled - Mireka");
}

TEST_F(DocumentTest, LoadNormalisesLineEndsAndCutsAtNulAndSaveWritesBytes) {
    WriteBytes(Path("mixed.c"), QByteArray("a\nb\rc\r\r\nd\x82\xa0\0tail", 16));
    ASSERT_TRUE(Start({Path("mixed.c")}));
    EXPECT_EQ(View().GetWindowText(), "a\r\nb\r\nc\r\n\r\nd\x82\xa0");
    EXPECT_EQ(Doc().GetTitle(), "mixed.c");
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(View().History().UndoList().size(), 0u);
    // Saving without an edit writes the normalised text, byte for byte.
    ASSERT_TRUE(Doc().DoFileSave());
    EXPECT_EQ(ReadBytes(Path("mixed.c")), QByteArray("a\r\nb\r\nc\r\n\r\nd\x82\xa0"));
    EXPECT_TRUE(prompts.fileDialogs.empty()) << "a named document saves without a dialog";
    // The recent-file list keeps the full path.
    ASSERT_FALSE(app.Recent().Items().empty());
    EXPECT_EQ(app.Recent().Items().front(), Native(QDir::toNativeSeparators(Path("mixed.c"))));
}

TEST_F(DocumentTest, AFileNamedOnTheCommandLineThatCannotBeOpenedEndsStartUp) {
    EXPECT_FALSE(Start({Path("missing.c")}));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains("missing.c"));
}

TEST_F(DocumentTest, EmptyAndBinaryFilesLoad) {
    WriteBytes(Path("empty.c"), QByteArray());
    QByteArray binary;
    for (int i = 1; i < 256; ++i)
        binary.append(static_cast<char>(i));
    binary.append(QByteArray(1, '\x81')); // a lone lead byte at the end
    WriteBytes(Path("bin.dat"), binary);
    ASSERT_TRUE(Start({Path("bin.dat")}));
    EXPECT_EQ(View().GetWindowTextLength(), 256 + 2)
        << "the lone LF and the lone CR each became CR LF";
    View().repaint(); // painting a binary text must not fail
    ASSERT_TRUE(app.OpenDocumentFile(Native(Path("empty.c"))));
    EXPECT_EQ(View().GetWindowText(), "");
    EXPECT_EQ(Doc().GetTitle(), "empty.c");
}

TEST_F(DocumentTest, SaveAsProposesUntitledInTheLastFolderWithTheLastFilter) {
    QDir().mkpath(Path("sub"));
    settings.store.WriteString("Settings", "Directory", Native(Path("sub") + "/"));
    settings.store.WriteInt("Settings", "FilterIndex", 3);
    ASSERT_TRUE(Start());
    QTest::keyClicks(&View(), "int x;");
    EXPECT_TRUE(Doc().IsModified());
    prompts.files.push_back(FileChoice{Native(Path("sub/new.c")), 5});
    ASSERT_TRUE(Doc().DoFileSave());
    ASSERT_EQ(prompts.fileDialogs.size(), 1u);
    EXPECT_EQ(prompts.fileDialogs[0].initialName, "untitled.c");
    EXPECT_EQ(prompts.fileDialogs[0].filterIndex, 3);
    EXPECT_EQ(QDir(prompts.fileDialogs[0].directory).canonicalPath(),
              QDir(Path("sub")).canonicalPath());
    EXPECT_EQ(ReadBytes(Path("sub/new.c")), "int x;");
    EXPECT_EQ(Doc().GetTitle(), "new.c");
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(app.DialogMemory().filterIndex, 5);
    // Exit writes the remembered folder and filter.
    app.ExitInstance();
    EXPECT_EQ(GetProfileInt("Settings", "FilterIndex", 0), 5);
    EXPECT_EQ(GetProfileString("Settings", "Directory"),
              Native(QDir::toNativeSeparators(QDir(Path("sub")).absolutePath() + "/")));
}

TEST_F(DocumentTest, CancelledSaveAsChangesNothing) {
    ASSERT_TRUE(Start());
    Doc().SetTitle("a b.c");
    QTest::keyClicks(&View(), "x");
    EXPECT_FALSE(Doc().DoSave({}, true));
    ASSERT_EQ(prompts.fileDialogs.size(), 1u);
    EXPECT_EQ(prompts.fileDialogs[0].initialName, "a.c") << "the title is cut at the space";
    EXPECT_TRUE(Doc().GetPathName().empty());
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(app.DialogMemory().filterIndex, 1);
}

TEST_F(DocumentTest, AFailedSaveLeavesTheOldFileAndKeepsTheDocumentModified) {
    WriteBytes(Path("keep.c"), "old contents");
    ASSERT_TRUE(Start({Path("keep.c")}));
    View().SetSel(0, -1);
    QTest::keyClicks(&View(), "new");
    // Save As onto a folder that does not exist fails with a message.
    prompts.files.push_back(FileChoice{Native(Path("nowhere/keep.c")), 1});
    EXPECT_FALSE(Doc().DoSave({}, true));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Doc().GetTitle(), "keep.c");
    EXPECT_EQ(ReadBytes(Path("keep.c")), "old contents");
    EXPECT_FALSE(QFile::exists(Path("nowhere/keep.c")));
}

TEST_F(DocumentTest, OpenDialogRemembersFolderAndFilterAndCancelChangesNothing) {
    QDir().mkpath(Path("src"));
    WriteBytes(Path("src/a.c"), "A");
    ASSERT_TRUE(Start());
    app.OnFileOpen(); // cancelled
    EXPECT_TRUE(app.DialogMemory().folder.empty());
    EXPECT_EQ(app.DialogMemory().filterIndex, 1);
    prompts.files.push_back(FileChoice{Native(Path("src/a.c")), 2});
    app.OnFileOpen();
    EXPECT_EQ(View().GetWindowText(), "A");
    EXPECT_EQ(app.DialogMemory().filterIndex, 2);
    EXPECT_EQ(app.DialogMemory().folder,
              Native(QDir::toNativeSeparators(QDir(Path("src")).absolutePath() + "/")));
    // A failed open keeps the filter index but not the folder.
    prompts.files.push_back(FileChoice{Native(Path("gone/b.c")), 4});
    app.OnFileOpen();
    EXPECT_EQ(app.DialogMemory().filterIndex, 4);
    EXPECT_EQ(app.DialogMemory().folder,
              Native(QDir::toNativeSeparators(QDir(Path("src")).absolutePath() + "/")));
    EXPECT_EQ(View().GetWindowText(), "A") << "the current document stays";
}

TEST_F(DocumentTest, SavePromptBeforeReplacingAndOnClose) {
    WriteBytes(Path("one.c"), "1");
    WriteBytes(Path("two.c"), "2");
    ASSERT_TRUE(Start({Path("one.c")}));
    QTest::keyClicks(&View(), "x");
    prompts.answers.push_back(QMessageBox::Cancel);
    EXPECT_FALSE(app.OpenDocumentFile(Native(Path("two.c"))));
    EXPECT_EQ(View().GetWindowText(), "x1");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains("one.c"));
    // "No" discards the change and opens the other file.
    prompts.answers.push_back(QMessageBox::No);
    EXPECT_TRUE(app.OpenDocumentFile(Native(Path("two.c"))));
    EXPECT_EQ(View().GetWindowText(), "2");
    EXPECT_EQ(ReadBytes(Path("one.c")), "1");
    // Closing with changes asks; Cancel keeps the window open.
    QTest::keyClicks(&View(), "y");
    app.MainFrame()->show();
    prompts.answers.push_back(QMessageBox::Cancel);
    EXPECT_FALSE(app.MainFrame()->close());
    EXPECT_TRUE(app.MainFrame()->isVisible());
    prompts.answers.push_back(QMessageBox::Yes);
    EXPECT_TRUE(app.MainFrame()->close());
    EXPECT_EQ(ReadBytes(Path("two.c")), "y2");
}

TEST_F(DocumentTest, DiscardedChangesAndAFailedOpenGiveANewDocument) {
    WriteBytes(Path("one.c"), "1");
    ASSERT_TRUE(Start({Path("one.c")}));
    QTest::keyClicks(&View(), "x");
    prompts.answers.push_back(QMessageBox::No);
    EXPECT_FALSE(app.OpenDocumentFile(Native(Path("missing.c"))));
    EXPECT_EQ(Doc().GetTitle(), "untitled");
    EXPECT_EQ(View().GetWindowText(), "");
}

TEST_F(DocumentTest, RecentFilesOpenAndAVanishedOneLeavesTheList) {
    WriteBytes(Path("r1.c"), "r1");
    WriteBytes(Path("r2.c"), "r2");
    ASSERT_TRUE(Start({Path("r1.c")}));
    ASSERT_TRUE(app.OpenDocumentFile(Native(Path("r2.c"))));
    ASSERT_EQ(app.Recent().Items().size(), 2u);
    app.MainFrame()->RebuildRecentFileMenu();
    EXPECT_TRUE(app.MainFrame()->Commands().Execute(cmd::FileMru1 + 1));
    EXPECT_EQ(View().GetWindowText(), "r1");
    QFile::remove(Path("r2.c"));
    EXPECT_TRUE(app.MainFrame()->Commands().Execute(cmd::FileMru1 + 1));
    EXPECT_EQ(app.Recent().Items().size(), 1u);
    EXPECT_EQ(View().GetWindowText(), "r1");
    // The list survives a restart through the settings store.
    app.ExitInstance();
    EXPECT_EQ(GetProfileString("Recent File List", "File1"),
              Native(QDir::toNativeSeparators(Path("r1.c"))));
    EXPECT_EQ(GetProfileString("Recent File List", "File2", "none"), "none");
}

TEST_F(DocumentTest, DroppedFilesOpenOneAfterAnother) {
    WriteBytes(Path("d1.c"), "d1");
    WriteBytes(Path("d2.c"), "d2");
    ASSERT_TRUE(Start());
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(Path("d1.c")), QUrl::fromLocalFile(Path("d2.c"))});
    // Qt delivers a drop only to a window that accepted the drag's entry.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(app.MainFrame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(app.MainFrame(), &drop);
    EXPECT_EQ_SOON(View().GetWindowText(), std::string("d2"));
    EXPECT_EQ(app.Recent().Items().size(), 2u);
    delete data;
}

TEST_F(DocumentTest, OpenedPathsAreCleanSoOneFileIsOneDocument) {
    QDir().mkpath(Path("a"));
    WriteBytes(Path("x.c"), "top");
    ASSERT_TRUE(Start({"./a/..//x.c"}));
    const std::string clean = Native(QDir::toNativeSeparators(Path("x.c")));
    EXPECT_EQ(Doc().GetPathName(), clean);
    EXPECT_EQ(app.Recent().Items(), std::vector<std::string>{clean});
    // The same file by another spelling is the document already open: nothing is reloaded.
    QTest::keyClicks(&View(), "!");
    EXPECT_TRUE(app.OpenDocumentFile("a/../x.c"));
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(View().GetWindowText(), "!top");
#ifndef _WIN32
    // Through a link, ".." leaves the folder the link points to, as the system reads the path.
    QDir().mkpath(Path("real/deep"));
    WriteBytes(Path("real/x.c"), "real");
    ASSERT_EQ(::symlink("real/deep", Native(Path("link")).c_str()), 0);
    prompts.answers.push_back(QMessageBox::No);
    ASSERT_TRUE(app.OpenDocumentFile(Native(Path("link/../x.c"))));
    EXPECT_EQ(View().GetWindowText(), "real");
    EXPECT_EQ(Doc().GetPathName(), Native(Path("real/x.c")));
#endif
}

TEST_F(DocumentTest, AFileTooLargeToOpenGivesANewDocument) {
    WriteBytes(Path("a.c"), "kept on disk");
    QFile big(Path("big.c"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    // Sparse: no disk space is used.
    if (!big.resize(qint64(0x80000000))) GTEST_SKIP() << "no room for a sparse file";
    big.close();
    ASSERT_TRUE(Start({Path("a.c")}));
    EXPECT_FALSE(app.OpenDocumentFile(Native(Path("big.c"))));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "ファイルが大きすぎて開けません。");
    EXPECT_EQ(Doc().GetTitle(), "untitled");
    EXPECT_TRUE(Doc().GetPathName().empty());
    EXPECT_EQ(View().GetWindowText(), "");
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(DocumentTest, FileErrorsSayWhyInJapanese) {
    QDir().mkpath(Path("folder"));
    ASSERT_TRUE(Start());
    struct Case {
        const char* name;
        const char* reason;
    };
    const Case opens[] = {
        {"missing.c", "ファイルまたはフォルダーが見つかりません。"},
        {"folder", "ファイルではなくフォルダーです。"},
    };
    for (const Case& c : opens) {
        prompts.messages.clear();
        EXPECT_FALSE(app.OpenDocumentFile(Native(Path(c.name))));
        ASSERT_EQ(prompts.messages.size(), 1u) << c.name;
        EXPECT_EQ(prompts.messages[0].text,
                  QDir::toNativeSeparators(Path(c.name)) + " を開けません。\n" + c.reason);
    }
    prompts.messages.clear();
    prompts.files.push_back(FileChoice{Native(Path("nowhere/new.c")), 1});
    EXPECT_FALSE(Doc().DoSave({}, true));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QDir::toNativeSeparators(Path("nowhere/new.c")) +
                                            " に保存できません。\n"
                                            "ファイルまたはフォルダーが見つかりません。");
}

#ifndef _WIN32
// あい.c in Shift_JIS, as archives from older Japanese systems name files.
TEST_F(DocumentTest, ShiftJisNamesOpenSaveAndComeBackFromTheRecentList) {
    const std::string sjis = Native(dir.path()) + "/\x82\xa0\x82\xa2.c";
    const struct Cleanup {
        std::string path;
        ~Cleanup() { ::unlink(path.c_str()); } // Qt cannot see it to clean up
    } cleanup{sjis};
    std::string error;
    ASSERT_TRUE(WriteFileSafely(sjis, "int x;\r\n", &error)) << error;

    // From the command line, with the name shown in Japanese.
    ASSERT_TRUE(app.InitInstance({sjis}));
    EXPECT_EQ(View().GetWindowText(), "int x;\r\n");
    EXPECT_EQ(Doc().GetPathName(), sjis);
    EXPECT_EQ(app.MainFrame()->windowTitle(), "あい.c - Mireka");
    // Saved in place under the same bytes.
    QTest::keyClicks(&View(), "/");
    ASSERT_TRUE(Doc().DoFileSave());
    EXPECT_TRUE(prompts.fileDialogs.empty());
    std::string back;
    ASSERT_TRUE(ReadWholeFile(sjis, &back, &error)) << error;
    EXPECT_EQ(back, "/int x;\r\n");
    // In the recent list, shown in Japanese, and opened again from it.
    EXPECT_EQ(app.Recent().Items().front(), sjis);
    app.OnFileNew();
    app.MainFrame()->RebuildRecentFileMenu();
    EXPECT_TRUE(app.MainFrame()->FileMenu()->actions().end() !=
                std::find_if(app.MainFrame()->FileMenu()->actions().begin(),
                             app.MainFrame()->FileMenu()->actions().end(),
                             [](QAction* a) { return a->text().endsWith("あい.c"); }));
    EXPECT_TRUE(app.MainFrame()->Commands().Execute(cmd::FileMru1));
    EXPECT_EQ(View().GetWindowText(), "/int x;\r\n");

    // Dropped: the URL carries the name's bytes percent-encoded.
    app.OnFileNew();
    QMimeData data;
    data.setData("text/uri-list",
                 "file://" + QByteArray::fromStdString(sjis).toPercentEncoding("/") + "\r\n");
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(app.MainFrame(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(app.MainFrame(), &drop);
    EXPECT_EQ_SOON(Doc().GetPathName(), sjis);
}
#endif

// The real open dialog, driven as a user would: what it lists and what typing a name gives.
TEST_F(DocumentTest, TheOpenDialogShowsEveryFileAndFindsNamesQtCannotList) {
    WriteBytes(Path("Makefile"), "all:\n");
    WriteBytes(Path("a.c"), "");
#ifndef _WIN32
    const std::string sjis = Native(dir.path()) + "/\x82\xa0\x82\xa2.c";
    std::string error;
    ASSERT_TRUE(WriteFileSafely(sjis, "x", &error)) << error;
    const struct Cleanup {
        std::string path;
        ~Cleanup() { ::unlink(path.c_str()); }
    } cleanup{sjis};
#endif
    Prompts plain; // the real dialogs, not the test's answers
    QStringList listed;
    QString refusal;
    // Opens the dialog with a filter, notes what it lists and types a name with Enter.
    const auto choose = [&](int filterIndex, int rows, const QString& typed) {
        listed.clear();
        QTimer::singleShot(0, [&, rows, typed] {
            QFileDialog* dialog = nullptr;
            (void)QTest::qWaitFor([&] {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) dialog = d;
                return dialog != nullptr;
            });
            ASSERT_TRUE(dialog);
            auto* list = dialog->findChild<QListView*>("listView");
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            if (!list || !name) {
                dialog->reject();
                FAIL() << "the dialog's list or name box is missing";
            }
            // The folder is read in the background.
            const auto count = [&] { return list->model()->rowCount(list->rootIndex()); };
            (void)QTest::qWaitFor([&] { return count() >= rows; });
            for (int row = 0; row < count(); ++row)
                listed << list->model()->index(row, 0, list->rootIndex()).data().toString();
            listed.sort();
            // A refused name shows a message box: note it and close it, so the test goes on.
            QTimer::singleShot(1000, [&] {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                        refusal = box->text();
                        box->reject();
                    }
            });
            name->setText(typed);
            QTest::keyClick(name, Qt::Key_Return);
            if (dialog->isVisible()) dialog->reject();
        });
        return plain.OpenFile(nullptr, CMyDoc::FileFilter(), filterIndex, "c");
    };
    QDir::setCurrent(dir.path());

    // "すべてのファイル (*.*)" shows names without a dot, and such a name opens as typed.
    std::optional<FileChoice> choice = choose(5, 2, "Makefile");
    EXPECT_EQ(listed, QStringList({"Makefile", "a.c"}));
    ASSERT_TRUE(choice) << refusal.toStdString();
    EXPECT_EQ(choice->path, Native(Path("Makefile")));
    EXPECT_EQ(choice->filterIndex, 5);
    // C sources only; a name without its extension gets the default one.
    choice = choose(1, 1, "a");
    EXPECT_EQ(listed, QStringList({"a.c"}));
    ASSERT_TRUE(choice) << refusal.toStdString();
    EXPECT_EQ(choice->path, Native(Path("a.c")));
    EXPECT_EQ(choice->filterIndex, 1);
#ifndef _WIN32
    // Qt cannot list the Shift_JIS name, but the name it shows, typed, opens it.
    choice = choose(5, 2, "あい");
    ASSERT_TRUE(choice) << refusal.toStdString();
    EXPECT_EQ(choice->path, sjis);
#endif
}

TEST_F(DocumentTest, UndoRedoCommandsFollowTheHistory) {
    ASSERT_TRUE(Start());
    CommandTable& table = app.MainFrame()->Commands();
    EXPECT_FALSE(table.State(cmd::EditUndo).enabled);
    QTest::keyClicks(&View(), "ab");
    EXPECT_TRUE(table.State(cmd::EditUndo).enabled);
    EXPECT_FALSE(table.State(cmd::EditRedo).enabled);
    EXPECT_TRUE(table.Execute(cmd::EditUndo));
    EXPECT_EQ(View().GetWindowText(), "");
    EXPECT_FALSE(table.Execute(cmd::EditUndo)) << "a disabled command is not carried out";
    EXPECT_TRUE(table.Execute(cmd::EditRedo));
    EXPECT_EQ(View().GetWindowText(), "ab");
    // New clears the history.
    prompts.answers.push_back(QMessageBox::No);
    app.OnFileNew();
    EXPECT_FALSE(table.State(cmd::EditUndo).enabled);
    EXPECT_FALSE(table.State(cmd::EditRedo).enabled);
}

} // namespace
} // namespace mireka
