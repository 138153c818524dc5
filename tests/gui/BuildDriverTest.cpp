// The gcc driver that is really clang, and the environment report, which asks the driver too.
#include "core/toolchain/Clang.h"
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/base/CommandIds.h"
#include "gui/base/DialogRunner.h"
#include "gui/document/MyView.h"
#include "gui/toolchain/ReportDlg.h"
#include "platform/DriverProbe.h"

#include "BuildTestSupport.h"
#include "GuiTestSupport.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <memory>

namespace mireka {
namespace {

using test::Native;
using test::ReadBytes;
using test::WriteBytes;

constexpr int kGcc = 3;
constexpr int kLongWaitMs = 60000;

class BuildDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ForgetDriverProbes();
        WriteProfileInt("Settings", "IsLCC", kGcc);
    }
    void TearDown() override {
        SetDialogRunner({});
        app.reset();
        ForgetDriverProbes();
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    void Start(const QString& file = {}) {
        app = std::make_unique<CMyApp>();
        ASSERT_TRUE(app->InitInstance(test::CommandLine(file)));
    }
    CommandTable& Commands() { return app->MainFrame()->Commands(); }
    CMyView& View() { return *app->MainFrame()->View(); }

    QTemporaryDir dir;
    test::EnvironmentReset reset;
    test::PrivateSettings settings;
    test::FakePrompts prompts;
    std::unique_ptr<CMyApp> app;
};

TEST_F(BuildDriverTest, ReportCommandShowsEveryRowReadOnlyAndAHangingGccIsNotWaitedFor) {
    // gcc that never answers; an _LCC in Shift_JIS beside LCC.EXE.
    ASSERT_TRUE(QDir(dir.path()).mkpath("BIN"));
    ASSERT_TRUE(test::WriteScript(Path("gcc"), "#!/bin/sh\nsleep 10\n"));
    WriteBytes(Path("BIN/_LCC"), "-I\\lsic86\\include\r\n; \x83\x65\x83\x58\x83\x67\r\n");
    WriteProfileString("Settings", "GCC Compiler", Native(Path("gcc")));
    WriteProfileString("Settings", "Compiler", Native(Path("BIN/LCC.EXE")));
    WriteProfileString("Settings", "VCTK Option", "");
    Start();
    EXPECT_TRUE(Commands().State(cmd::HelpReport).enabled);

    QString shown, title;
    bool readOnly = false, wraps = true;
    SetDialogRunner([&](QDialog& d) {
        auto* report = qobject_cast<CReportDlg*>(&d);
        if (!report) return int(QDialog::Rejected);
        title = d.windowTitle();
        shown = report->ReportField()->toPlainText();
        readOnly = report->ReportField()->isReadOnly();
        wraps = report->ReportField()->lineWrapMode() != QPlainTextEdit::NoWrap;
        return int(QDialog::Accepted);
    });
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(Commands().Execute(cmd::HelpReport));
    EXPECT_LT(clock.elapsed(), 9000) << "the sleeping driver was ended, not waited for";
    EXPECT_EQ(title, "レポート");
    EXPECT_TRUE(readOnly);
    EXPECT_FALSE(wraps);
    const QStringList lines = shown.split('\n');
    ASSERT_GE(lines.size(), 20);
    EXPECT_TRUE(lines[0].startsWith("[App Path] /")) << lines[0].toStdString();
    EXPECT_EQ(lines[1], "[App Version] 0.1.0.0");
    EXPECT_TRUE(lines[2].startsWith("[OS Version] ")) << lines[2].toStdString();
    EXPECT_TRUE(lines[3].startsWith("[Physical Memory] ") && lines[3].endsWith(" MB"));
    EXPECT_EQ(lines.mid(4, 3),
              (QStringList{"[ComSpec] /bin/sh", "[Mode] Pause:On, Pif:Off, GCC", ""}));
    EXPECT_TRUE(shown.contains("[Lcc Path] " + Path("BIN/LCC.EXE") + "\n"));
    EXPECT_TRUE(shown.contains("\n[VCTK Option] \n[Gcc Path] " + Path("gcc") + "\n"));
    EXPECT_TRUE(shown.contains("\n[Gcc Version] \n\n[_LCC]\n-I\\lsic86\\include\n; テスト"))
        << shown.toStdString();
    EXPECT_FALSE(shown.contains("[bcc32.cfg]"));
    EXPECT_FALSE(shown.contains('\r'));
}

TEST_F(BuildDriverTest, ADriverIsAskedAgainOnlyWhenItsFileChanges) {
    const QString gcc = Path("gcc");
    const QDateTime installed = QDateTime::currentDateTimeUtc().addDays(-30);
    // Each answer is counted in asked.log.
    const auto install = [&](const QByteArray& version, const QDateTime& when) {
        ASSERT_TRUE(test::WriteScript(gcc, "#!/bin/sh\necho x >>\"$(dirname \"$0\")/asked.log\"\n"
                                           "echo 'gcc (Stand-in) " +
                                               version + "'\n"));
        QFile file(gcc);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    };
    struct Step {
        QByteArray version; // empty: the file is left as it is
        QDateTime when;
        std::string answer;
        int asked;
    };
    const Step steps[] = {
        {"12.2.0", installed, "gcc (Stand-in) 12.2.0\n", 1},
        {{}, {}, "gcc (Stand-in) 12.2.0\n", 1},
        // An upgrade of the same size, or one of another size at the same time.
        {"13.1.0", installed.addSecs(60), "gcc (Stand-in) 13.1.0\n", 2},
        {"14.10.1", installed.addSecs(60), "gcc (Stand-in) 14.10.1\n", 3},
        {{}, {}, "gcc (Stand-in) 14.10.1\n", 3},
    };
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const Step& step : steps) {
        SCOPED_TRACE(step.answer);
        if (!step.version.isEmpty()) install(step.version, step.when);
        EXPECT_EQ(DriverVersionText(Native(gcc), env), step.answer);
        EXPECT_EQ(ReadBytes(Path("asked.log")).count('x'), step.asked);
    }
}

TEST_F(BuildDriverTest, ClangBehindTheGccDriverCompilesWithoutCharsetOptionsAndSaysSoOnce) {
    // A "cc" that answers like clang and, as clang does, refuses -finput-charset.
    ASSERT_TRUE(test::WriteScript(Path("cc"), R"SH(#!/bin/sh
if [ "$1" = "--version" ]; then echo "clang version 14.0.6 (stand-in)"; exit 0; fi
printf '%s\n' "$@" >>"$(dirname "$0")/cc.log"
for a in "$@"; do
    case $a in -finput-charset=*) echo "clang: error: invalid value in '$a'"; exit 1;; esac
done
: >hello
)SH"));
    WriteProfileString("Settings", "GCC Compiler", Native(Path("cc")));
    WriteBytes(Path("hello.c"), "int main(void){return 0;}\r\n");
    Start(Path("hello.c"));
    std::vector<std::string> shown;
    View().SetBuildOutputObserver([&](const std::string& text, bool) { shown.push_back(text); });
    const auto compile = [&] {
        shown.clear();
        ASSERT_TRUE(Commands().Execute(cmd::BuildCompile));
        MIREKA_WAIT_FOR(View().IsBuildReady() && shown.size() >= 3, kLongWaitMs);
    };
    compile();
    const std::string line = "sh -c cc -Wall \"hello.c\" -lm -o \"hello\"\r\n";
    EXPECT_EQ(shown.back(), line + "*** コンパイル開始 ***\r\n*** コンパイル終了 ***\r\n" +
                                std::string(kClangNotice));
    EXPECT_EQ(ReadBytes(Path("cc.log")), "-Wall\nhello.c\n-lm\n-o\nhello\n");
    EXPECT_EQ(View().GetBuildSettings().m_strGccOption, "-Wall -finput-charset=CP932")
        << "the setting itself is kept";
    compile();
    EXPECT_EQ(shown.back(), line + "*** コンパイル開始 ***\r\n*** コンパイル終了 ***\r\n")
        << "the notice is given once";
}

TEST_F(BuildDriverTest, RealClangAsCcBuildsTheJapaneseHelloWithItsWarnings) {
    const std::string clang =
        FindOnPath("clang", ProgramEnvironment::Instance().Get("PATH").value_or(""),
                   RealFileProbe().executable);
    if (clang.empty()) GTEST_SKIP() << "no clang on PATH";
    ASSERT_TRUE(QFile::link(QString::fromStdString(clang), Path("cc")));
    WriteProfileString("Settings", "GCC Compiler", Native(Path("cc")));
    // "こんにちは" and "表示" in code page 932; the trail byte of "表" is a backslash.
    WriteBytes(Path("hello.c"), "#include <stdio.h>\r\nint main(void)\r\n{\r\n"
                                "    printf(\"\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd\\n\");\r\n"
                                "    printf(\"\x95\x5c\x8e\xa6\\n\");\r\n"
                                "    return 0;\r\n}\r\n");
    Start(Path("hello.c"));
    std::string last;
    View().SetBuildOutputObserver([&](const std::string& text, bool) { last = text; });
    ASSERT_TRUE(Commands().Execute(cmd::BuildCompile));
    MIREKA_WAIT_FOR(View().IsBuildReady() && last.ends_with(kClangNotice), kLongWaitMs);
    EXPECT_TRUE(last.starts_with("sh -c cc -Wall \"hello.c\" -lm -o \"hello\"\r\n")) << last;
    // clang takes the bytes as they are and says that they are not UTF-8.
    EXPECT_NE(last.find("-Winvalid-source-encoding"), std::string::npos) << last;
    EXPECT_TRUE(QFileInfo(Path("hello")).isExecutable()) << last;
}

} // namespace
} // namespace mireka
