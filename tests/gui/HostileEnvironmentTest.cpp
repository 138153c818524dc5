// The program in an environment that works against it: settings that cannot be written, files
// changed behind its back, a disk that refuses the bytes. It works on and loses nothing.
#include "core/document/FileFormat.h"
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/document/MyDoc.h"
#include "gui/document/MyView.h"
#include "platform/QtSettingsStore.h"

#include "GuiTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

namespace mireka {
namespace {

using test::Native;
using test::ReadBytes;
using test::WriteBytes;

class HostileEnvironmentTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    test::FakePrompts prompts;
};

TEST_F(HostileEnvironmentTest, SettingsThatCannotBeWrittenAreSaidOnceAndTheWorkGoesOn) {
    // A folder that cannot be made, for any user: its parent is a file.
    WriteBytes(Path("blocker"), "a file");
    QtSettingsStore store(Path("blocker/config/Mireka.conf"));
    ScopedProfileStore scope(&store);
    WriteBytes(Path("a.c"), "int a;\n");
    WriteBytes(Path("b.c"), "int b;\n");
    {
        CMyApp app;
        ASSERT_TRUE(app.InitInstance({Native(Path("a.c"))}));
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Warning);
        EXPECT_TRUE(prompts.messages[0].text.startsWith("設定を保存できません。"));
        EXPECT_TRUE(prompts.messages[0].text.contains(Path("blocker/config/Mireka.conf")));
        // Settings live on in memory; exit writes them, and fails again, unsaid.
        ASSERT_TRUE(app.OpenDocumentFile(Native(Path("b.c"))));
        EXPECT_EQ(app.Recent().Items().size(), 2u);
        QTest::keyClicks(app.MainFrame()->View(), "x");
        EXPECT_TRUE(app.Document()->DoFileSave());
        app.ExitInstance();
    }
    EXPECT_EQ(prompts.messages.size(), 1u) << "said once";
    // Plain ASCII opens in the new-document encoding, which keeps an LF file's LF.
    EXPECT_EQ(ReadBytes(Path("b.c")),
              SystemNewDocumentFormat().lineEnds == LineEnds::Lf ? "xint b;\n" : "xint b;\r\n");

    // A missing folder that can be made is made, without a word.
    prompts.messages.clear();
    QtSettingsStore fresh(Path("new/config/Mireka.conf"));
    ScopedProfileStore again(&fresh);
    {
        CMyApp app;
        ASSERT_TRUE(app.InitInstance({Native(Path("a.c"))}));
        app.ExitInstance();
    }
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(QDir(Path("new/config")).exists());
}

TEST_F(HostileEnvironmentTest, AFileChangedOrGoneBehindTheEditorIsSavedAsTheEditorShowsIt) {
    test::PrivateSettings settings;
    CMyApp app;
    WriteBytes(Path("a.c"), "int a;\n");
    ASSERT_TRUE(app.InitInstance({Native(Path("a.c"))}));
    CMyView& view = *app.MainFrame()->View();
    CMyDoc& doc = *app.Document();
    struct Case {
        const char* what;
        QByteArray onDisk; // what another program left; empty: removed
        const char* typed;
        const char* saved;
    };
    const Case cases[] = {
        {"grew", QByteArray("int a;\nint more;\n").repeated(1000), "1", "1int a;\r\n"},
        {"shrank", "", "2", "12int a;\r\n"},
        // Save turns into Save As for a file no longer there; the user keeps the name.
        {"vanished", QByteArray(), "3", "123int a;\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.onDisk.isNull()) {
            ASSERT_TRUE(QFile::remove(Path("a.c")));
            prompts.files.push_back(FileChoice{Native(Path("a.c")), 1});
        } else {
            WriteBytes(Path("a.c"), c.onDisk);
        }
        QTest::keyClicks(&view, c.typed);
        ASSERT_TRUE(doc.DoFileSave());
        EXPECT_EQ(ReadBytes(Path("a.c")), c.saved);
        EXPECT_FALSE(doc.IsModified());
    }
    EXPECT_TRUE(prompts.files.empty());
    EXPECT_TRUE(prompts.messages.empty());
    // Its folder gone too: the save says why and the text stays, ready for another name.
    QDir().mkpath(Path("sub"));
    WriteBytes(Path("sub/b.c"), "int b;\n");
    ASSERT_TRUE(app.OpenDocumentFile(Native(Path("sub/b.c"))));
    ASSERT_TRUE(QDir(Path("sub")).removeRecursively());
    QTest::keyClicks(&view, "y");
    prompts.files.push_back(FileChoice{Native(Path("sub/b.c")), 1});
    EXPECT_FALSE(doc.DoFileSave());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains("b.c"));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(view.GetWindowText(), "yint b;\r\n");
    prompts.files.push_back(FileChoice{Native(Path("b.c")), 1});
    EXPECT_TRUE(doc.DoFileSave());
    EXPECT_EQ(ReadBytes(Path("b.c")), "yint b;\r\n");
}

#ifndef _WIN32
TEST_F(HostileEnvironmentTest, ASaveTheDiskRefusesLeavesTheOldFileAndSaysWhy) {
    test::PrivateSettings settings;
    CMyApp app;
    WriteBytes(Path("a.c"), "old\n");
    ASSERT_TRUE(app.InitInstance({Native(Path("a.c"))}));
    QTest::keyClicks(app.MainFrame()->View(), QString(200 * 1024, 'x'));
    const bool ok =
        test::UnderFileSizeLimit(64 * 1024, [&] { return app.Document()->DoFileSave(); });
    EXPECT_FALSE(ok);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains("ファイルが大きすぎます。"))
        << prompts.messages[0].text.toStdString();
    EXPECT_EQ(ReadBytes(Path("a.c")), "old\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    EXPECT_TRUE(app.Document()->IsModified());
    // Room again: the same command saves.
    EXPECT_TRUE(app.Document()->DoFileSave());
    EXPECT_EQ(ReadBytes(Path("a.c")).size(), 200 * 1024 + 5);
}
#endif

} // namespace
} // namespace mireka
