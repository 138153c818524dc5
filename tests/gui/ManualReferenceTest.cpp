// The C library reference from fixture manual pages, rendered by the machine's mandoc or man:
// built once, reused from the cache, rebuilt when a page changes, kept in memory when the cache
// folder refuses it, and shown by the manual command with GCC selected.
#include "gui/app/ManualReference.h"
#include "gui/app/MainFrame.h"
#include "gui/app/ManualCommand.h"
#include "gui/app/MyApp.h"
#include "gui/base/CommandIds.h"
#include "gui/document/MyView.h"
#include "gui/editor/Cp932.h"
#include "platform/ManPages.h"

#include "GuiTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

namespace mireka {
namespace {

constexpr int kBuildWaitMs = 60000;

// An environment variable set for a scope, back as it was even when a check fails.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QString& value) : name_(name), old_(qgetenv(name)) {
        qputenv(name, value.toLocal8Bit());
    }
    ~ScopedEnv() {
        if (old_.isNull())
            qunsetenv(name_);
        else
            qputenv(name_, old_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    QByteArray old_;
};

class ManualReferenceTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (FindManRenderer().kind == ManRenderer::Kind::None)
            GTEST_SKIP() << "neither mandoc nor man is installed";
        ASSERT_TRUE(dir.isValid());
        root = dir.filePath("man");
        Page("ja/man3/printf.3", ".TH PRINTF 3 2020-11-01 GNU \"Linux Programmer's Manual\"\n"
                                 ".SH 名前\nprintf, fprintf \\- 書式付き出力\n"
                                 ".SH 書式\n.nf\n.B #include <stdio.h>\n"
                                 ".BI \"int printf(const char *\" format \", ...);\"\n.fi\n"
                                 ".SH 説明\n\\fBprintf\\fP() は書式に従って出力する。\n");
        Page("ja/man3/puts.3", ".TH PUTS 3 2020-11-01 GNU \"Linux Programmer's Manual\"\n"
                               ".SH 名前\nputs \\- 文字列を出力する\n");
        // The English page of a translated one stays out; a gzipped one comes in.
        Page("man3/printf.3", ".TH printf 3 2022-10-09 \"Linux man-pages 6.03\"\n"
                              ".SH NAME\nprintf \\- ENGLISH-PRINTF\n");
        Page("man3/strlen.3", ".TH strlen 3 2022-10-09 \"Linux man-pages 6.03\"\n"
                              ".SH NAME\nstrlen \\- calculate the length of a string\n");
        QProcess::execute(QStringLiteral("gzip"), {QStringLiteral("-n"), root + "/man3/strlen.3"});
        // Another library's page, and a damaged one that no renderer can read.
        Page("man3/XShape.3", ".TH XSHAPE 3 \"libXext 1.3.4\" \"X Version 11\"\n"
                              ".SH NAME\nXShape \\- X shapes\n");
        Page("man2/broken.2.gz", QByteArray("\x1f\x8b\x08\x00not gzip data", 17));
        manDir = std::make_unique<ScopedEnv>("MIREKA_MAN_DIR", root);
    }
    void Page(const QString& name, const QByteArray& roff) {
        QDir().mkpath(QFileInfo(root + "/" + name).absolutePath());
        test::WriteBytes(root + "/" + name, roff);
    }
    // Runs the reference to its end.
    ReferenceOutcome Run(CManualReference& ref, const std::string& shownKey = {}) {
        ReferenceOutcome got;
        bool done = false;
        const auto c =
            QObject::connect(&ref, &CManualReference::Finished, [&](const ReferenceOutcome& o) {
                got = o;
                done = true;
            });
        ref.Start(shownKey);
        EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, kBuildWaitMs));
        QObject::disconnect(c);
        return got;
    }
    static QString Text(const ReferenceOutcome& o) {
        QString all;
        for (std::size_t i = 0; i < o.content.lines->size(); ++i)
            all += cp932::Decode(o.content.lines->Line(i)) + "\n";
        return all;
    }

    QTemporaryDir dir;
    QString root;
    std::unique_ptr<ScopedEnv> manDir;
};

TEST_F(ManualReferenceTest, BuiltOnceThenTakenFromTheCacheUntilAPageChanges) {
    const QString cache = dir.filePath("cache");
    using Status = ReferenceOutcome::Status;
    ReferenceOutcome first;
    {
        CManualReference ref(root, cache);
        first = Run(ref);
    }
    ASSERT_EQ(first.status, Status::Ready);
    EXPECT_EQ(first.pages, 3u);
    EXPECT_EQ(first.failed, 1u); // the damaged page
    EXPECT_TRUE(first.cacheError.empty());
    std::vector<std::string> names;
    for (const ManualIndexEntry& e : first.content.index->entries)
        names.push_back(e.text);
    EXPECT_EQ(names, (std::vector<std::string>{"fprintf(3)", "printf(3)", "puts(3)", "strlen(3)"}));
    const QString text = Text(first);
    EXPECT_TRUE(text.contains("書式付き出力"));
    EXPECT_TRUE(text.contains("int printf(const char *format, ...);"));
    EXPECT_TRUE(text.contains("calculate the length of a string"));
    EXPECT_FALSE(text.contains("ENGLISH-PRINTF"));
    EXPECT_FALSE(text.contains("X shapes"));
    const long printfLine = first.content.index->entries[1].line;
    EXPECT_TRUE(cp932::Decode(first.content.lines->Line(static_cast<std::size_t>(printfLine)))
                    .startsWith("PRINTF(3)"));

    // Later runs read the cache, with no renderer needed, and know an unchanged reference.
    auto noRenderer = std::make_unique<ScopedEnv>("PATH", dir.filePath("nowhere"));
    CManualReference later(root, cache);
    const ReferenceOutcome cached = Run(later);
    EXPECT_EQ(cached.status, Status::Ready);
    EXPECT_EQ(cached.key, first.key);
    EXPECT_EQ(Text(cached), text);
    EXPECT_EQ(Run(later, first.key).status, Status::Unchanged);
    // A changed page needs the renderer again.
    Page("ja/man3/puts.3", ".TH PUTS 3 2021-01-01 GNU \"Linux Programmer's Manual\"\n"
                           ".SH 名前\nputs \\- 文字列と改行を出力する\n");
    EXPECT_EQ(Run(later, first.key).status, Status::NoRenderer);
    noRenderer.reset();
    const ReferenceOutcome rebuilt = Run(later, first.key);
    EXPECT_EQ(rebuilt.status, Status::Ready);
    EXPECT_TRUE(Text(rebuilt).contains("文字列と改行を出力する"));
}

TEST_F(ManualReferenceTest, ACacheFolderThatCannotBeWrittenLeavesTheReferenceInMemory) {
    test::WriteBytes(dir.filePath("file"), "not a folder");
    CManualReference ref(root, dir.filePath("file/cache"));
    const ReferenceOutcome built = Run(ref);
    ASSERT_EQ(built.status, ReferenceOutcome::Status::Ready);
    EXPECT_FALSE(built.cacheError.empty());
    ReferenceOutcome again;
    {
        const ScopedEnv noRenderer("PATH", dir.filePath("nowhere"));
        again = Run(ref);
    }
    EXPECT_EQ(again.status, ReferenceOutcome::Status::Ready);
    EXPECT_EQ(again.content.lines, built.content.lines);
}

TEST_F(ManualReferenceTest, WithGccTheCommandShowsTheReferenceToSearchJumpAndCopy) {
    QApplication::setQuitOnLastWindowClosed(false);
    test::PrivateSettings settings;
    test::FakePrompts prompts;
    // A cache folder that cannot be made: said once, not at every build.
    test::WriteBytes(dir.filePath("file"), "not a folder");
    auto app = std::make_unique<CMyApp>();
    {
        const ScopedEnv cacheHome("XDG_CACHE_HOME", dir.filePath("file/cache"));
        ASSERT_TRUE(app->InitInstance({}));
    }
    CMainFrame& frame = *app->MainFrame();
    CManualDlg& viewer = *frame.Manual()->Dialog();
    prompts.messages.clear();

    frame.SetToolchain(3);
    frame.View()->SetWindowText("puts(\"hi\");");
    frame.View()->SetSel(2, 2);
    ASSERT_TRUE(frame.Commands().Execute(cmd::HelpManual));
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewer.isVisible(); }, kBuildWaitMs));
    EXPECT_EQ(viewer.windowTitle(), "C ライブラリ リファレンス");
    EXPECT_EQ(viewer.FindEdit()->text(), "puts");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.startsWith("C ライブラリ リファレンスをキャッシュ"));
    // The first page opens at the top of the list, after the preface.
    EXPECT_TRUE(viewer.ManualList()
                    ->indexAt(QPoint(4, 4))
                    .data()
                    .toString()
                    .startsWith("00014| PRINTF(3)"));

    viewer.FindEdit()->clear();
    QTest::keyClicks(viewer.FindEdit(), "pri");
    EXPECT_EQ(viewer.IndexList()->currentIndex().data().toString(), "printf(3)");
    QTest::keyClick(viewer.FindEdit(), Qt::Key_Return);
    const QModelIndex top = viewer.ManualList()->indexAt(QPoint(4, 4));
    EXPECT_TRUE(top.data().toString().contains("PRINTF(3)"));
    EXPECT_EQ(viewer.ManualList()->currentIndex(), top);
    QTest::mouseClick(viewer.CopyButton(), Qt::LeftButton);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith("PRINTF(3)"));

    // A page changes: built again, without a second word about the cache.
    viewer.hide();
    Page("man3/strlen2.3", ".TH strlen2 3 2022-10-09 \"Linux man-pages 6.03\"\n"
                           ".SH NAME\nstrlen2 \\- another\n");
    ASSERT_TRUE(frame.Commands().Execute(cmd::HelpManual));
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewer.isVisible(); }, kBuildWaitMs));
    EXPECT_EQ(viewer.IndexList()->model()->rowCount(), 5);
    EXPECT_EQ(prompts.messages.size(), 1u);
}

} // namespace
} // namespace mireka
