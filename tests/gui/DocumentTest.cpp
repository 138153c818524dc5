// Opening, saving and the save prompt, through the real application objects.
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/base/CommandIds.h"
#include "gui/document/MyDoc.h"
#include "gui/document/MyView.h"

#include "GuiTestSupport.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

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
    bool Start(const QStringList& args = {}) { return app.InitInstance(args); }
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
    prompts.files.push_back(FileChoice{Path("sub/new.c"), 5});
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
    prompts.files.push_back(FileChoice{Path("nowhere/keep.c"), 1});
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
    prompts.files.push_back(FileChoice{Path("src/a.c"), 2});
    app.OnFileOpen();
    EXPECT_EQ(View().GetWindowText(), "A");
    EXPECT_EQ(app.DialogMemory().filterIndex, 2);
    EXPECT_EQ(app.DialogMemory().folder,
              Native(QDir::toNativeSeparators(QDir(Path("src")).absolutePath() + "/")));
    // A failed open keeps the filter index but not the folder.
    prompts.files.push_back(FileChoice{Path("gone/b.c"), 4});
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
