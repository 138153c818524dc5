// The Help menu's documents, tools and shortcuts, the about box, and the clipboard history.
#include "core/base/Paths.h"
#include "gui/app/HelpDlgs.h"
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/base/CommandIds.h"
#include "gui/base/DialogRunner.h"
#include "gui/document/ClipboardHistoryDlg.h"
#include "gui/document/MyView.h"

#include "BuildTestSupport.h"
#include "GuiTestSupport.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>

namespace mireka {
namespace {

using test::Native;
using test::ReadBytes;
using test::WriteBytes;

// Takes the URLs the desktop would open.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    UrlRecorder() {
        for (const char* scheme : {"file", "https"})
            QDesktopServices::setUrlHandler(scheme, this, "Open");
    }
    ~UrlRecorder() override {
        for (const char* scheme : {"file", "https"})
            QDesktopServices::unsetUrlHandler(scheme);
    }
    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened << url; }
};

class HelpGuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        QApplication::setQuitOnLastWindowClosed(false);
        ASSERT_TRUE(dir.isValid());
        app = std::make_unique<CMyApp>();
        ASSERT_TRUE(app->InitInstance({}));
    }
    void TearDown() override {
        SetDialogRunner({});
        app.reset();
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    CMainFrame& Frame() { return *app->MainFrame(); }
    CMyView& View() { return *Frame().View(); }
    bool Execute(int id) { return Frame().Commands().Execute(id); }

    QTemporaryDir dir;
    test::EnvironmentReset reset;
    test::FakePrompts prompts;
    test::PrivateSettings settings;
    std::unique_ptr<CMyApp> app;
};

TEST_F(HelpGuiTest, ClipboardHistoryKeepsTheLast100AndPastesTheChosenTextWhole) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    for (int i = 0; i < 100; ++i)
        clipboard->setText(QStringLiteral("copy %1").arg(i));
    clipboard->setText(QStringLiteral("first\nsecond\t\"全角\""));
    QApplication::processEvents();

    QStringList shown;
    const auto choose = [&](int row, bool ok) {
        SetDialogRunner([&, row, ok](QDialog& d) {
            auto& dlg = dynamic_cast<CClipboardHistoryDlg&>(d);
            dlg.show();
            shown.clear();
            for (int i = 0; i < dlg.List()->count(); ++i)
                shown << dlg.List()->item(i)->text();
            EXPECT_EQ(dlg.List()->currentRow(), 0) << "the newest is chosen";
            if (row >= 0) dlg.List()->setCurrentRow(row);
            ok ? dlg.accept() : dlg.reject();
            return dlg.result();
        });
        return Execute(cmd::EditClipboardHistory);
    };
    ASSERT_TRUE(choose(0, true));
    ASSERT_EQ(shown.size(), 100);
    EXPECT_EQ(shown[0], "  0: first\\nsecond\\t\\\"全角\\\"");
    EXPECT_EQ(shown[1], "  1: copy 99");
    EXPECT_EQ(shown[99], " 99: copy 1") << "the oldest text is gone";
    EXPECT_EQ(View().GetWindowText(), "first\r\nsecond\t\"\x91\x53\x8A\x70\"") << "the text itself";
    ASSERT_TRUE(Execute(cmd::EditUndo));
    EXPECT_EQ(View().GetWindowText(), "") << "one undoable step";

    // The same text twice is two entries; Cancel pastes nothing; a long text is cut in the list
    // only.
    const QString longText = QString(300, u'x');
    clipboard->setText(longText);
    clipboard->setText(longText);
    QApplication::processEvents();
    ASSERT_TRUE(choose(1, false));
    EXPECT_EQ(View().GetWindowText(), "");
    EXPECT_EQ(shown[0].mid(5), shown[1].mid(5));
    EXPECT_EQ(shown[0].size(), 256);
    ASSERT_TRUE(choose(1, true));
    EXPECT_EQ(View().GetWindowText(), longText.toStdString());

    // A text the code page cannot hold: the paste rule's message, nothing pasted.
    clipboard->setText(QStringLiteral("😀"));
    QApplication::processEvents();
    ASSERT_TRUE(choose(0, true));
    EXPECT_EQ(View().GetWindowText(), longText.toStdString());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains("Shift_JIS で表せない文字"));

    // An image is not remembered.
    const QStringList before = shown;
    clipboard->setImage(QImage(4, 4, QImage::Format_RGB32));
    QApplication::processEvents();
    ASSERT_TRUE(choose(-1, false));
    EXPECT_EQ(shown, before);

    // A new run remembers nothing but what is on the clipboard as it starts.
    app.reset();
    clipboard->setText(QStringLiteral("on the clipboard at start"));
    app = std::make_unique<CMyApp>();
    ASSERT_TRUE(app->InitInstance({}));
    ASSERT_TRUE(choose(-1, false));
    EXPECT_EQ(shown, QStringList{"  0: on the clipboard at start"});
}

TEST_F(HelpGuiTest, ShortcutsAreMadeAndRemovedInTheDesktopAndApplicationsFolders) {
    qputenv("HOME", Path("home").toUtf8());
    qputenv("XDG_DATA_HOME", Path("home/data").toUtf8());
    // No installation of the machine's; the next tests get the variable back.
    const std::shared_ptr<void> restore(nullptr, [saved = qgetenv("XDG_DATA_DIRS")](void*) {
        saved.isNull() ? qunsetenv("XDG_DATA_DIRS") : qputenv("XDG_DATA_DIRS", saved);
    });
    qputenv("XDG_DATA_DIRS", Path("system").toUtf8());
    ASSERT_TRUE(QDir().mkpath(Path("home/Desktop")));
    const QString desktop = Path("home/Desktop/Mireka.desktop");
    const QString menu = Path("home/data/applications/Mireka.desktop");
    WriteBytes(desktop, "[Desktop Entry]\n");

    for (const bool ok : {false, true}) {
        SetDialogRunner([ok](QDialog& d) {
            auto& dlg = dynamic_cast<CShortcutDlg&>(d);
            EXPECT_TRUE(dlg.Box(CShortcutDlg::kDesktop)->isChecked());
            EXPECT_FALSE(dlg.Box(CShortcutDlg::kPrograms)->isChecked());
            EXPECT_FALSE(dlg.Box(CShortcutDlg::kSendTo)->isEnabled()) << "no such folder here";
            dlg.show();
            QTest::mouseClick(dlg.Box(CShortcutDlg::kDesktop), Qt::LeftButton, {}, QPoint(8, 8));
            QTest::mouseClick(dlg.Box(CShortcutDlg::kPrograms), Qt::LeftButton, {}, QPoint(8, 8));
            ok ? dlg.accept() : dlg.reject();
            return dlg.result();
        });
        ASSERT_TRUE(Execute(cmd::HelpShortcut));
        EXPECT_EQ(QFile::exists(desktop), !ok);
        EXPECT_EQ(QFile::exists(menu), ok) << "the applications folder is made when missing";
    }
    const QByteArray entry = ReadBytes(menu);
    EXPECT_TRUE(
        entry.contains("\nExec=" + QCoreApplication::applicationFilePath().toUtf8() + " %f\n"))
        << entry.toStdString();
    EXPECT_TRUE(entry.contains("\nName=Mireka\n"));
    EXPECT_TRUE(QFileInfo(menu).permissions() & QFile::ExeOwner);
    // Not installed: the icon is the program's own, copied beside it; a file dropped on the
    // shortcut opens.
    const QString icon = QString::fromStdString(MakeModulePath("mireka.png"));
    EXPECT_TRUE(entry.contains("\nIcon=" + icon.toUtf8() + "\n")) << entry.toStdString();
    EXPECT_TRUE(ReadBytes(icon).startsWith("\x89PNG"));

    // Installed: the menu's own entry is shown and no second one is made; the icon is the
    // theme's.
    ASSERT_TRUE(QFile::remove(menu));
    ASSERT_TRUE(QDir().mkpath(Path("system/applications")));
    ASSERT_TRUE(QDir().mkpath(Path("system/icons/hicolor/scalable/apps")));
    WriteBytes(Path("system/applications/mireka.desktop"), "[Desktop Entry]\n");
    WriteBytes(Path("system/icons/hicolor/scalable/apps/mireka.svg"), "<svg/>");
    SetDialogRunner([](QDialog& d) {
        auto& dlg = dynamic_cast<CShortcutDlg&>(d);
        EXPECT_TRUE(dlg.Box(CShortcutDlg::kPrograms)->isChecked());
        EXPECT_FALSE(dlg.Box(CShortcutDlg::kPrograms)->isEnabled());
        dlg.Box(CShortcutDlg::kDesktop)->setChecked(true);
        dlg.accept();
        return dlg.result();
    });
    ASSERT_TRUE(Execute(cmd::HelpShortcut));
    EXPECT_FALSE(QFile::exists(menu));
    EXPECT_TRUE(ReadBytes(desktop).contains("\nIcon=mireka\n"));
}

TEST_F(HelpGuiTest, ReadmeLinksCalculatorAndAboutBox) {
    UrlRecorder urls;
    ASSERT_TRUE(Execute(cmd::HelpReadme));
    ASSERT_TRUE(Execute(cmd::HelpHomePage));
    ASSERT_EQ(urls.opened.size(), 2);
    const QString readme = QString::fromStdString(FindDataFile("MIREKA.HTM"));
    EXPECT_EQ(urls.opened[0], QUrl::fromLocalFile(readme));
    EXPECT_EQ(urls.opened[1].fragment(), "links");
    EXPECT_TRUE(ReadBytes(readme).contains("id=\"links\"")) << "the page has the section";
    // The guide says what the program shows and does: a new document is "untitled", and
    // ひな型に追加 takes the whole text.
    const QString guide = QString::fromUtf8(ReadBytes(readme));
    EXPECT_FALSE(guide.contains("無題"));
    EXPECT_FALSE(guide.contains("選んだ範囲を「ひな型に追加」"));
    EXPECT_TRUE(guide.contains("全体を「ひな型に追加」"));
    EXPECT_TRUE(prompts.messages.empty());

    // Without the readme: the message with its full path.
    const QByteArray saved = ReadBytes(readme);
    ASSERT_TRUE(QFile::remove(readme));
    ASSERT_TRUE(Execute(cmd::HelpReadme));
    WriteBytes(readme, saved);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "'" + readme + "' を開くことができません。");
    EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Warning);

    // The first calculator on PATH; none at all is no error.
    ASSERT_TRUE(QDir().mkpath(Path("bin")));
    for (const char* name : {"xcalc", "kcalc"})
        ASSERT_TRUE(test::WriteScript(Path("bin/") + name, QByteArray("#!/bin/sh\necho ") + name +
                                                               " > " + Path("started").toUtf8() +
                                                               "\n"));
    ProgramEnvironment::Instance().Set("PATH", Native(Path("bin")));
    ASSERT_TRUE(Execute(cmd::HelpCalculator));
    MIREKA_WAIT_FOR(QFile::exists(Path("started")), 5000);
    EXPECT_EQ(ReadBytes(Path("started")), "kcalc\n");
    ProgramEnvironment::Instance().Set("PATH", Native(Path("nothing")));
    ASSERT_TRUE(Execute(cmd::HelpCalculator));
    EXPECT_EQ(prompts.messages.size(), 1u);

    SetDialogRunner([](QDialog& d) {
        auto& dlg = dynamic_cast<CAboutDlg&>(d);
        EXPECT_EQ(dlg.windowTitle(), "バージョン情報");
        EXPECT_TRUE(QRegularExpression(R"(^Build: [A-Z][a-z]{2} [ \d]\d \d{4} @ \d\d:\d\d:\d\d$)")
                        .match(dlg.BuildLabel()->text())
                        .hasMatch())
            << dlg.BuildLabel()->text().toStdString();
        // The moment the program was built, not the moment it runs.
        const QDateTime built =
            QLocale::c().toDateTime(dlg.BuildLabel()->text().simplified(),
                                    QStringLiteral("'Build:' MMM d yyyy @ hh:mm:ss"));
        EXPECT_TRUE(built.isValid()) << dlg.BuildLabel()->text().toStdString();
        EXPECT_LE(built,
                  QFileInfo(QCoreApplication::applicationFilePath()).lastModified().addSecs(60));
        return int(QDialog::Accepted);
    });
    ASSERT_TRUE(Execute(cmd::AppAbout));
}

} // namespace
} // namespace mireka

#include "HelpGuiTest.moc"
