// Recovery of unsaved text inside the program: when the file is written and removed, and what
// the start offers from an instance that was killed.
#include "gui/document/DocumentRecovery.h"
#include "core/base/Paths.h"
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/base/CommandIds.h"
#include "gui/document/MyDoc.h"
#include "gui/document/MyView.h"
#include "platform/FileSystem.h"

#include "BuildTestSupport.h"
#include "GuiTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace mireka {
namespace {

using test::Native;
using test::ReadBytes;
using test::WriteBytes;

QStringList RecoveryFiles() {
    return QDir(QString::fromStdString(RecoveryStore::DefaultFolder()))
        .entryList({"*.rcv"}, QDir::Files);
}

class DocumentRecoveryTest : public ::testing::Test {
protected:
    void TearDown() override {
        app.reset();
        QDir(QString::fromStdString(RecoveryStore::DefaultFolder())).removeRecursively();
    }
    void Start(const QString& file) {
        app = std::make_unique<CMyApp>();
        ASSERT_TRUE(app->InitInstance(test::CommandLine(file)));
    }
    CMyView& View() { return *app->MainFrame()->View(); }
    CMyDoc& Doc() { return *app->Document(); }
    QString Path(const QString& name) const { return dir.filePath(name); }

    // Leaves the recovery file of a killed instance that had `text` unsaved in `path`.
    void LeaveOrphan(const std::string& path, const std::string& text,
                     std::optional<FileFormat> format = std::nullopt) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            RecoveryStore store(RecoveryStore::DefaultFolder());
            TextBuffer b;
            b.SetText(text);
            const FileStatus st = QueryFile(path);
            store.Schedule({path, st.Exists() ? static_cast<std::int64_t>(st.size) : -1,
                            st.Exists() ? st.mtime : -1, format},
                           b.Snapshot());
            store.Flush();
            (void)!write(ready[1], "x", 1);
            for (;;)
                pause();
        }
        close(ready[1]);
        char byte = 0;
        EXPECT_EQ(read(ready[0], &byte, 1), 1);
        close(ready[0]);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }

    QTemporaryDir dir;
    test::PrivateSettings settings;
    test::FakePrompts prompts;
    std::unique_ptr<CMyApp> app;
};

TEST_F(DocumentRecoveryTest, TheTextIsKeptAtAPauseAndGoesWithSaveNewAndACleanExit) {
    WriteBytes(Path("a.c"), "int a;\r\n");
    Start(Path("a.c"));
    EXPECT_TRUE(RecoveryFiles().isEmpty()) << "nothing to keep while unmodified";
    QTest::keyClicks(&View(), "x");
    MIREKA_WAIT_FOR(RecoveryFiles().size() == 1, 10000);
    const std::string file =
        RecoveryStore::DefaultFolder() + "/" + RecoveryFiles().front().toStdString();
    const RecoveryHeader h = ParseRecovery(ReadBytes(QString::fromStdString(file)).toStdString());
    ASSERT_EQ(h.error, RecoveryError::None);
    EXPECT_EQ(h.info.document.path, Native(Path("a.c")));
    EXPECT_EQ(h.info.document.diskSize, 8);

    QTest::keyClick(&View(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(Doc().IsModified());
    MIREKA_WAIT_FOR(RecoveryFiles().isEmpty(), 10000);

    // Changed again, then a new document whose save question is answered No.
    QTest::keyClicks(&View(), "y");
    app->Recovery()->WriteNow();
    EXPECT_EQ(RecoveryFiles().size(), 1);
    prompts.answers.push_back(QMessageBox::No);
    app->OnFileNew();
    MIREKA_WAIT_FOR(RecoveryFiles().isEmpty(), 10000);

    // A clean exit with unsaved text leaves nothing behind.
    QTest::keyClicks(&View(), "z");
    app->Recovery()->WriteNow();
    EXPECT_EQ(RecoveryFiles().size(), 1);
    app.reset();
    EXPECT_TRUE(QDir(QString::fromStdString(RecoveryStore::DefaultFolder()))
                    .entryList(QDir::Files)
                    .isEmpty());
}

TEST_F(DocumentRecoveryTest, AtStartTheLeftTextIsOfferedAndRestoredOrDeleted) {
    WriteBytes(Path("a.c"), "int a;\r\n");
    const std::string path = Native(Path("a.c"));
    struct Case {
        QMessageBox::StandardButton answer;
        bool changedOnDisk;
    } cases[] = {{QMessageBox::Yes, false}, {QMessageBox::No, false}, {QMessageBox::Yes, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.answer << c.changedOnDisk);
        LeaveOrphan(path, "int a;\r\nint b;\r\n");
        if (c.changedOnDisk) {
            QTest::qWait(1100); // a new modification time
            WriteBytes(Path("a.c"), "int changed;\r\n");
        }
        prompts.messages.clear();
        prompts.answers = {c.answer};
        Start({});
        ASSERT_EQ(prompts.messages.size(), 1u);
        const QString question = prompts.messages[0].text;
        EXPECT_TRUE(question.startsWith("保存されていない編集内容が残っています。\n" +
                                        DisplayPath(path) + " ("));
        EXPECT_TRUE(question.endsWith("\n復元しますか？"));
        EXPECT_EQ(question.contains("ほかのプログラムで変更されています"), c.changedOnDisk);
        if (c.answer == QMessageBox::Yes) {
            EXPECT_EQ(View().GetWindowText(), "int a;\r\nint b;\r\n");
            EXPECT_EQ(Doc().GetPathName(), path);
            EXPECT_TRUE(Doc().IsModified());
            EXPECT_EQ(RecoveryFiles().size(), 1) << "now kept by this instance";
            EXPECT_NE(ReadBytes(Path("a.c")), "int a;\r\nint b;\r\n") << "the file is untouched";
        } else {
            EXPECT_EQ(View().GetWindowText(), "");
            EXPECT_FALSE(Doc().IsModified());
            EXPECT_TRUE(RecoveryFiles().isEmpty());
        }
        app.reset();
        Start({});
        EXPECT_EQ(prompts.messages.size(), 1u) << "asked once only";
        app.reset();
        WriteBytes(Path("a.c"), "int a;\r\n");
    }
}

TEST_F(DocumentRecoveryTest, ARestoredTextIsSavedInItsFilesFormat) {
    // A UTF-8 file with a byte-order mark and LF line ends, left unsaved by a killed instance.
    WriteBytes(Path("u.c"), "\xEF\xBB\xBFint a;\n");
    const std::string path = Native(Path("u.c"));
    LeaveOrphan(path, "int a;\r\n/* \xE6\x97\xA5 */\r\n",
                FileFormat{Encoding::Utf8, LineEnds::Lf, true});
    prompts.answers = {QMessageBox::Yes};
    Start({});
    EXPECT_EQ(Doc().GetFormat(), (FileFormat{Encoding::Utf8, LineEnds::Lf, true}));
    EXPECT_EQ(View().Session().GetEncoding(), Encoding::Utf8);
    ASSERT_TRUE(app->MainFrame()->Commands().Execute(cmd::FileSave));
    EXPECT_EQ(ReadBytes(Path("u.c")), "\xEF\xBB\xBFint a;\n/* \xE6\x97\xA5 */\n");
}

TEST_F(DocumentRecoveryTest, ADamagedFileIsReportedAndDeletedAndAnUntitledTextComesBack) {
    LeaveOrphan("", "draft\r\n");
    ASSERT_EQ(RecoveryFiles().size(), 1);
    const QString damaged =
        QString::fromStdString(RecoveryStore::DefaultFolder()) + "/" + RecoveryFiles().front();
    QByteArray bytes = ReadBytes(damaged);
    bytes.chop(3); // cut short
    WriteBytes(damaged, bytes);
    LeaveOrphan("", "draft 2\r\n");
    prompts.answers = {QMessageBox::Yes};
    Start({});
    ASSERT_EQ(prompts.messages.size(), 2u);
    int question = prompts.messages[0].icon == QMessageBox::Question ? 0 : 1;
    EXPECT_TRUE(prompts.messages[static_cast<std::size_t>(question)].text.contains("\nuntitled ("));
    EXPECT_EQ(prompts.messages[static_cast<std::size_t>(1 - question)].icon, QMessageBox::Warning);
    EXPECT_EQ(View().GetWindowText(), "draft 2\r\n");
    EXPECT_EQ(Doc().GetPathName(), "");
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_FALSE(QFile::exists(damaged));
}

TEST_F(DocumentRecoveryTest, AFolderThatCannotBeWrittenIsReportedOnceAndTypingGoesOn) {
    const QString folder = QString::fromStdString(RecoveryStore::DefaultFolder());
    QDir().mkpath(QFileInfo(folder).path());
    WriteBytes(folder, "a file where the folder should be");
    Start({});
    for (const char* typed : {"a", "b"}) {
        QTest::keyClicks(&View(), typed);
        app->Recovery()->WriteNow();
        QTest::qWait(50); // the report comes through the event loop
    }
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains("書き込めません"));
    EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Warning);
    EXPECT_EQ(View().GetWindowText(), "ab");
    QFile::remove(folder);
}

} // namespace
} // namespace mireka
