// The compiler settings dialogs, clicked and typed into, and the configuration files they write.
#include "gui/toolchain/CompilerSettingsDlg.h"
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/base/CommandIds.h"
#include "gui/base/DialogRunner.h"
#include "gui/document/MyView.h"

#include "GuiTestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace mireka {
namespace {

using test::Native;
using test::ReadBytes;
using test::WriteBytes;

// Near the left end: a box is as wide as its column, but only its mark and label take clicks.
void Click(QAbstractButton* button) {
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

class CompilerSettingsDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        QApplication::setQuitOnLastWindowClosed(false);
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override {
        SetDialogRunner({});
        app_.reset();
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    // "<name>/bin", open to the ordinary user the writes run as.
    bool MakeInstallation(const QString& name) {
        if (!QDir(dir.path()).mkpath(name + "/bin")) return false;
        for (const QString& d : {dir.path(), Path(name), Path(name + "/bin")})
            ::chmod(Native(d).c_str(), 0777);
        return true;
    }

    QTemporaryDir dir;
    test::FakePrompts prompts;
    test::PrivateSettings settings;
    std::unique_ptr<CMyApp> app_;
};

TEST_F(CompilerSettingsDlgTest, EachClickRewritesTheTextAndOnlyOkStoresIt) {
    struct Case {
        int command;
        std::string BuildSettings::*member;
        std::string stored;
        QString shown;           // the option field as the dialog opens
        const char* click;       // the box clicked
        QString afterClick;      // the field then
        const char* secondClick; // another box, or null
        QString afterSecond;
    };
    const Case cases[] = {
        {cmd::BuildBccSettings, &BuildSettings::m_strBccOption, "-O2 -A", "-O2 -A", "-C",
         "-O2 -A -C", "-A", "-O2 -C"},
        {cmd::BuildLsicSettings,
         &BuildSettings::m_strLccOption,
         "-j -O",
         "-j -O",
         "-cn",
         "-cn -O",
         nullptr,
         {}},
        {cmd::BuildLsicSettings, &BuildSettings::m_strLccOption, "-OO", "", "-p", "-p", "-p", ""},
        {cmd::BuildVctkSettings, &BuildSettings::m_strVctkOption, "/O1", "/O1", "/O2", "/O1 /O2",
         "/Za", "/Za /O1 /O2"},
        {cmd::BuildGccSettings, &BuildSettings::m_strGccOption, "-Wall -finput-charset=CP932",
         "-Wall -finput-charset=CP932", "-g", "-finput-charset=CP932 -Wall -g", "-Wall",
         "-finput-charset=CP932 -g"},
    };
    app_ = std::make_unique<CMyApp>();
    ASSERT_TRUE(app_->InitInstance({}));
    CMyView& view = *app_->MainFrame()->View();
    view.GetBuildSettings().m_strVctkClPath = "/vctk/bin/cl.exe"; // its command needs it
    CommandTable& commands = app_->MainFrame()->Commands();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        view.GetBuildSettings().*c.member = c.stored;
        for (const bool ok : {false, true}) {
            SetDialogRunner([&](QDialog& d) {
                auto& dlg = dynamic_cast<CCompilerSettingsDlg&>(d);
                dlg.show();
                EXPECT_EQ(dlg.OptionEdit()->text(), c.shown);
                Click(dlg.Box(c.click));
                EXPECT_EQ(dlg.OptionEdit()->text(), c.afterClick);
                if (c.secondClick) {
                    Click(dlg.Box(c.secondClick));
                    EXPECT_EQ(dlg.OptionEdit()->text(), c.afterSecond);
                }
                ok ? dlg.accept() : dlg.reject();
                return dlg.result();
            });
            ASSERT_TRUE(commands.Execute(c.command));
            const QString expected = ok ? (c.secondClick ? c.afterSecond : c.afterClick)
                                        : QString::fromStdString(c.stored);
            EXPECT_EQ(QString::fromStdString(view.GetBuildSettings().*c.member), expected);
        }
    }
    QStringList texts;
    for (const QAction* a : commands.Actions(cmd::BuildGccSettings))
        texts << a->text();
    EXPECT_TRUE(texts.contains("GCC の設定(&E)...")) << texts.join(',').toStdString();
    view.GetBuildSettings().m_strVctkClPath.clear();
    commands.UpdateAll();
    EXPECT_FALSE(commands.State(cmd::BuildVctkSettings).enabled) << "no toolkit, no settings";
    EXPECT_TRUE(commands.State(cmd::BuildLsicSettings).enabled);
    EXPECT_TRUE(commands.State(cmd::BuildGccSettings).enabled);
}

TEST_F(CompilerSettingsDlgTest, LibraryIsLoweredAndFieldsHoldAtMost255Characters) {
    CLsiSettingsDlg dlg;
    BuildSettings s;
    s.m_strLccLibrary = "-LMATHLIB";
    s.m_strLccOption = std::string(256, 'o');
    dlg.SetValues(s);
    dlg.show();
    EXPECT_EQ(dlg.LibraryEdit()->text(), "-lmathlib");
    EXPECT_TRUE(dlg.Box("-lmathlib")->isChecked());
    EXPECT_EQ(dlg.OptionEdit()->text().size(), 256) << "a stored text is shown whole";

    // Too long: the message, and neither the click nor OK goes through.
    Click(dlg.Box("-cn"));
    EXPECT_FALSE(dlg.Box("-cn")->isChecked());
    dlg.accept();
    EXPECT_TRUE(dlg.isVisible());
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[0].text, "255 文字以内で入力してください。");
    EXPECT_EQ(dlg.focusWidget(), dlg.OptionEdit());

    // The field's text was selected for the user; typing stops at 255, deleting is allowed.
    EXPECT_EQ(dlg.OptionEdit()->selectedText().size(), 256);
    QTest::keyClick(dlg.OptionEdit(), Qt::Key_End);
    QTest::keyClick(dlg.OptionEdit(), Qt::Key_Backspace);
    QTest::keyClicks(dlg.OptionEdit(), "xy");
    EXPECT_EQ(dlg.OptionEdit()->text(), QString(255, 'o'));
    Click(dlg.Box("-lexpand.obj"));
    EXPECT_EQ(dlg.LibraryEdit()->text(), "-lexpand.obj -lmathlib");
    dlg.accept();
    EXPECT_FALSE(dlg.isVisible());
    dlg.GetValues(s);
    EXPECT_EQ(s.m_strLccOption, std::string(255, 'o'));
    EXPECT_EQ(s.m_strLccLibrary, "-lexpand.obj -lmathlib");
}

TEST_F(CompilerSettingsDlgTest, BrowsePicksTheDriverAndTheFileButtonFollowsTheLocation) {
    CBccSettingsDlg dlg;
    BuildSettings s;
    s.m_strBccPath = Native(Path("old/BCC32.EXE"));
    dlg.SetValues(s);
    dlg.show();
    EXPECT_TRUE(dlg.FileButton()->isEnabled());
    dlg.LocationEdit()->setText(Path("bin/gcc"));
    EXPECT_FALSE(dlg.FileButton()->isEnabled());
    QTest::keyClicks(dlg.LocationEdit(), "/bcc32.exe");
    EXPECT_TRUE(dlg.FileButton()->isEnabled()) << "the driver's name without regard to case";

    prompts.files.push_back(FileChoice{Native(Path("borland/bin/bcc32.exe")), 1});
    Click(dlg.BrowseButton());
    ASSERT_EQ(prompts.fileDialogs.size(), 1u);
    EXPECT_EQ(prompts.fileDialogs[0].initialName, Path("bin/gcc/bcc32.exe"));
    EXPECT_EQ(dlg.LocationEdit()->text(), Path("borland/bin/bcc32.exe"));
    EXPECT_EQ(dlg.LocationEdit()->selectedText(), dlg.LocationEdit()->text());
    Click(dlg.BrowseButton()); // cancelled: nothing changes
    EXPECT_EQ(dlg.LocationEdit()->text(), Path("borland/bin/bcc32.exe"));
    dlg.accept();
    dlg.GetValues(s);
    EXPECT_EQ(s.m_strBccPath, Native(Path("borland/bin/bcc32.exe")));
}

// Writes happen as an ordinary user would, so that a read-only file or folder is refused even
// when the tests run as root; the saved user stays root to come back.
struct AsOrdinaryUser {
    AsOrdinaryUser() {
        if (geteuid() == 0) dropped = setresuid(65534, 65534, 0) == 0;
    }
    ~AsOrdinaryUser() {
        if (dropped) (void)setresuid(0, 0, 0);
    }
    bool dropped = false;
};

TEST_F(CompilerSettingsDlgTest, LccIsRewrittenInPlaceOrNotAtAll) {
    ASSERT_TRUE(MakeInstallation("LSIC86"));
    const QString lcc = Path("LSIC86/bin/_LCC");
    const QString base = Path("LSIC86/");
    CLsiSettingsDlg dlg;
    BuildSettings s;
    s.m_strLccPath = Native(Path("LSIC86/bin/lcc.exe"));
    dlg.SetValues(s);
    dlg.show();
    ASSERT_TRUE(dlg.FileButton()->isEnabled());

    struct Step {
        QByteArray before; // null: no file
        mode_t mode;
        QString message;
        QByteArray after;
        mode_t folderMode = 0777;
    };
    constexpr mode_t rw = 0666;
    const QByteArray old = "-IC:\\OLD\\INCLUDE -LC:\\OLD\\LIB # paths\r\n-v\n";
    const QByteArray rewritten =
        "-I" + base.toUtf8() + "include\r\n-L" + base.toUtf8() + "lib\r\n# paths\r\n-v\r\n";
    const Step steps[] = {
        {{}, rw, "_LCC が見つからないか、あるいは、読み出しモードで開けません。", {}},
        {old, rw, "_LCC を変更しました。", rewritten},
        {QByteArray("-I\0x", 4), rw, "_LCC はテキスト ファイルではないため、変更しませんでした。",
         QByteArray("-I\0x", 4)},
        {old, 0444, "_LCC を書き込みモードで開けません。", old},
        {old, rw, "_LCC を書き込みモードで開けません。", old, 0555},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.message.toStdString());
        QFile::remove(lcc);
        if (!step.before.isNull()) {
            WriteBytes(lcc, step.before);
            ::chmod(Native(lcc).c_str(), step.mode);
        }
        prompts.messages.clear();
        ::chmod(Native(Path("LSIC86/bin")).c_str(), step.folderMode);
        {
            AsOrdinaryUser user;
            Click(dlg.FileButton());
        }
        ::chmod(Native(Path("LSIC86/bin")).c_str(), 0777);
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, step.message);
        const bool done = step.message.endsWith("変更しました。");
        EXPECT_EQ(prompts.messages[0].caption, done ? "完了" : "エラー");
        EXPECT_EQ(prompts.messages[0].icon, done ? QMessageBox::NoIcon : QMessageBox::Critical);
        if (!step.after.isNull()) {
            EXPECT_EQ(ReadBytes(lcc), step.after);
        }
        EXPECT_EQ(QDir(Path("LSIC86/bin")).entryList(QDir::Files | QDir::Hidden).size(),
                  step.before.isNull() ? 0 : 1)
            << "no temporary file is left beside it";
    }
}

TEST_F(CompilerSettingsDlgTest, LccRewrittenTwiceIsTheSameOrRefusedBeforeItIsTouched) {
    const QByteArray old = "-IC:\\OLD\\INCLUDE -XC:\\OLD\\BIN\r\n";
    const QByteArray root = dir.path().toUtf8();
    struct Case {
        QString folder, driver;
        QByteArray after; // empty: refused
    };
    const Case cases[] = {
        // A blank would split each folder into two tokens at the next rewrite.
        {"LSI C86/bin", "lcc.exe", {}},
        // No BIN folder: the driver's own folder, as the report reads it.
        {"Tools/lsic", "lcc.exe", "-I" + root + "/Tools/include\r\n-X" + root + "/Tools/lsic\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder.toStdString());
        ASSERT_TRUE(QDir(dir.path()).mkpath(c.folder));
        const QString lcc = Path(c.folder + "/_LCC");
        WriteBytes(lcc, old);
        CLsiSettingsDlg dlg;
        BuildSettings s;
        s.m_strLccPath = Native(Path(c.folder + "/" + c.driver));
        dlg.SetValues(s);
        dlg.show();
        for (int press = 0; press < 2; ++press) {
            prompts.messages.clear();
            Click(dlg.FileButton());
            ASSERT_EQ(prompts.messages.size(), 1u);
            const auto& told = prompts.messages[0];
            if (c.after.isEmpty()) {
                EXPECT_EQ(told.text, "コンパイラの位置に空白か # を含むフォルダー名があるため、"
                                     "_LCC を変更できません。");
                EXPECT_EQ(told.caption, "エラー");
                EXPECT_EQ(told.icon, QMessageBox::Critical);
            } else {
                EXPECT_EQ(told.text, "_LCC を変更しました。");
            }
            EXPECT_EQ(ReadBytes(lcc), c.after.isEmpty() ? old : c.after) << press;
        }
    }
}

TEST_F(CompilerSettingsDlgTest, BorlandFilesAskBeforeOverwriting) {
    ASSERT_TRUE(MakeInstallation("bcc55"));
    const QString bcc = Path("bcc55/bin/bcc32.cfg");
    const QString ilink = Path("bcc55/bin/ilink32.cfg");
    const QByteArray base = Path("bcc55/").toUtf8();
    const QByteArray libraries = "-L\"" + base + "lib;" + base + "lib/PSDK\"\r\n";
    CBccSettingsDlg dlg;
    BuildSettings s;
    s.m_strBccPath = Native(Path("bcc55/bin/BCC32.EXE"));
    dlg.SetValues(s);
    dlg.show();

    // Neither there: both written without a question.
    Click(dlg.FileButton());
    EXPECT_EQ(ReadBytes(bcc), "-I\"" + base + "include\"\r\n" + libraries);
    EXPECT_EQ(ReadBytes(ilink), libraries);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "bcc32.cfg と ilink32.cfg を作成しました。");
    EXPECT_EQ(prompts.messages[0].caption, "完了");

    // bcc32.cfg kept with No, ilink32.cfg absent: only it is written.
    WriteBytes(bcc, "mine");
    QFile::remove(ilink);
    prompts.messages.clear();
    prompts.answers = {QMessageBox::No};
    Click(dlg.FileButton());
    EXPECT_EQ(ReadBytes(bcc), "mine");
    EXPECT_EQ(ReadBytes(ilink), libraries);
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[0].text, "既に bcc32.cfg が存在します。上書きしますか？");
    EXPECT_EQ(prompts.messages[0].caption, "確認");
    EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Information);
    EXPECT_EQ(prompts.messages[1].text, "bcc32.cfg と ilink32.cfg を作成しました。");

    // Yes, then No for the second: nothing more is said.
    prompts.messages.clear();
    prompts.answers = {QMessageBox::Yes, QMessageBox::No};
    WriteBytes(ilink, "linker");
    Click(dlg.FileButton());
    EXPECT_EQ(ReadBytes(bcc), "-I\"" + base + "include\"\r\n" + libraries);
    EXPECT_EQ(ReadBytes(ilink), "linker");
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[1].text, "既に ilink32.cfg が存在します。上書きしますか？");

    // A read-only bcc32.cfg: its message, and the linker's file is not touched.
    ::chmod(Native(bcc).c_str(), 0444);
    prompts.messages.clear();
    prompts.answers = {QMessageBox::Yes, QMessageBox::Yes};
    {
        AsOrdinaryUser user;
        Click(dlg.FileButton());
    }
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[1].text, "bcc32.cfg を書き込みモードで開けません。");
    EXPECT_EQ(prompts.messages[1].caption, "エラー");
    EXPECT_EQ(ReadBytes(ilink), "linker");
}

} // namespace
} // namespace mireka
