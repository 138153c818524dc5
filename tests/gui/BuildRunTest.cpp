// Compile and run through the real application: the stand-in toolchains and the real gcc, the
// transcript in the output window, the commands' states, the terminal and the histories.
#include "core/base/Paths.h"
#include "core/base/Profile.h"
#include "core/document/JumpLine.h"
#include "core/toolchain/BuildText.h"
#include "core/toolchain/Toolchain.h"
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/base/CommandIds.h"
#include "gui/base/DialogRunner.h"
#include "gui/document/MyDoc.h"
#include "gui/document/MyView.h"
#include "gui/document/OutputBar.h"
#include "gui/toolchain/ArgumentsDlg.h"
#include "gui/toolchain/CompilerSettingsDlg.h"

#include "BuildTestSupport.h"
#include "GuiTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace mireka {
namespace {

// The real value, not the constant: a change to the default must be deliberate.
#ifdef _WIN32
constexpr std::string_view kExpectedGccOption = "-Wall -finput-charset=CP932 -fexec-charset=CP932";
#else
constexpr std::string_view kExpectedGccOption = "-Wall -finput-charset=CP932";
#endif

using test::Native;
using test::ReadBytes;
using test::WriteBytes;

constexpr int kBorland = 0, kLsi = 1, kGcc = 3;
constexpr int kLongWaitMs = 60000;

struct ShownText {
    std::string text;
    bool ready;          // the view's flag when it was shown
    bool compileEnabled; // the compile command's state then
};

class BuildRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        env.Set("MIREKA_FIXTURE_LOG", Native(dir.filePath("fixture.log")));
        ASSERT_TRUE(test::WriteScript(dir.filePath("record-terminal"), test::kRecordingTerminal));
        env.Set("MIREKA_TERMINAL", Native(dir.filePath("record-terminal")));
        env.Set("MIREKA_TERMINAL_LOG", Native(dir.filePath("terminal.log")));
        // Every stand-in configured; a selection stored, so nothing is chosen for the test.
        WriteProfileString("Settings", "BCC Compiler", test::Fixture("BCC32.EXE"));
        WriteProfileString("Settings", "Compiler", test::Fixture("LCC.EXE"));
        WriteProfileInt("Settings", "IsLCC", kLsi);
    }
    void TearDown() override {
        CArgumentsDlg::SetDriver({});
        app.reset(); // the view saves its settings into the test's store
    }

    QString Path(const QString& name) const { return dir.filePath(name); }

    void Start(const QString& file, int toolchain) {
        app = std::make_unique<CMyApp>();
        ASSERT_TRUE(app->InitInstance(test::CommandLine(file)));
        Frame().SetToolchain(toolchain);
        View().SetBuildOutputObserver([this](const std::string& text, bool ready) {
            shown.push_back({text, ready, Frame().Commands().State(cmd::BuildCompile).enabled});
        });
    }
    CMainFrame& Frame() { return *app->MainFrame(); }
    CMyView& View() { return *Frame().View(); }
    CMyDoc& Doc() { return *app->Document(); }
    CommandTable& Commands() { return Frame().Commands(); }
    COutputEdit& Output() { return *Frame().OutputBar()->Edit(); }
    QString Pane() { return Frame().PaneText(cmd::IndicatorCompiler); }

    // The menu item's text as the menu shows it after an update.
    QString MenuText(int id) {
        Commands().UpdateAll();
        for (QAction* a : Commands().Actions(id))
            if (a->property("mirekaMenuItem").toBool()) return a->text();
        return {};
    }

    // Presses a key in the editor, as the user does: the window is active and idle time has
    // brought the accelerators' states up to date.
    void Press(Qt::Key key) {
        Commands().UpdateAll();
        Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
        View().setFocus();
        QTest::keyClick(&View(), key);
    }

    bool WaitForBuild(std::size_t shows) {
        return QTest::qWaitFor([&] { return View().IsBuildReady() && shown.size() >= shows; },
                               kLongWaitMs);
    }

    std::vector<test::FixtureCall> Calls() { return test::ReadFixtureLog(Path("fixture.log")); }

    QStringList CaptureFilesLeft() {
        return QDir(QString::fromStdString(GetModuleDir())).entryList({"mrk*"}, QDir::Files);
    }

    QTemporaryDir dir;
    test::EnvironmentReset reset;
    ProgramEnvironment& env = ProgramEnvironment::Instance();
    test::PrivateSettings settings;
    test::FakePrompts prompts;
    std::unique_ptr<CMyApp> app;
    std::vector<ShownText> shown;
};

TEST_F(BuildRunTest, F7CompilesOnAWorkerAndShowsTheTranscriptWhileTheCommandsAreDisabled) {
    WriteBytes(Path("hello.c"),
               "int main(void)\r\n{\r\n#error no semicolon\r\n#warning w\r\n}\r\n");
    Start(Path("hello.c"), kBorland);
    EXPECT_EQ(MenuText(cmd::BuildCompile), "コンパイル(&C) hello.c\tF7");
    EXPECT_EQ(MenuText(cmd::BuildRun), "実行(&X) hello.exe\tF5");

    Press(Qt::Key_F7);
    ASSERT_TRUE(WaitForBuild(3));
    ASSERT_EQ(shown.size(), 3u) << "after the command line, after the start marker, at the end";
    const std::string line = "sh -c BCC32.EXE  \"hello.c\"\r\n";
    EXPECT_EQ(shown[0].text, line);
    EXPECT_EQ(shown[1].text, line + "*** コンパイル開始 ***\r\n");
    EXPECT_EQ(shown[2].text, line + "*** コンパイル開始 ***\r\n"
                                    "Borland C++ 5.5.1 for Win32 Copyright (c) 1993, 2000 Borland\n"
                                    "hello.c:\n"
                                    "Error E2080 hello.c 3: Error directive: no semicolon\n"
                                    "Warning W8065 hello.c 4: w\n"
                                    "*** 1 errors in Compile ***\n"
                                    "*** コンパイル終了 ***\r\n");
    for (const ShownText& s : shown) {
        EXPECT_FALSE(s.ready);
        EXPECT_FALSE(s.compileEnabled) << "no second compile while one runs";
    }
    EXPECT_TRUE(View().IsBuildReady());
    EXPECT_TRUE(Commands().State(cmd::BuildCompile).enabled);
    EXPECT_EQ(prompts.beeps, 1);
    // The output window holds the last text, in its own form.
    EXPECT_EQ(Output().GetWindowText(), OutputDisplayBytes(shown[2].text));
    EXPECT_TRUE(CaptureFilesLeft().isEmpty());

    // The stand-in was started by name in the source's folder with the source's name alone.
    const auto calls = Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].tool, "BCC32.EXE");
    EXPECT_EQ(calls[0].cwd, Native(dir.path()));
    EXPECT_EQ(calls[0].args, (std::vector<std::string>{"hello.c"}));
    // The line of a message is found by the selected toolchain's rule.
    EXPECT_EQ(ParseJumpLine("Error E2080 hello.c 3: Error directive: no semicolon", kBorland), 3);

    // A second compile starts a new transcript instead of extending the old one.
    shown.clear();
    Press(Qt::Key_F7);
    ASSERT_TRUE(WaitForBuild(3));
    EXPECT_EQ(shown[0].text, line);
    EXPECT_EQ(Calls().size(), 2u);
}

TEST_F(BuildRunTest, ModifiedDocumentsAreSavedFirstAndUntitledOnesAreRefused) {
    Start({}, kBorland);
    EXPECT_EQ(MenuText(cmd::BuildCompile), "コンパイル(&C)\tF7");
    EXPECT_EQ(MenuText(cmd::BuildRun), "実行(&X)\tF5");
    EXPECT_FALSE(Commands().State(cmd::BuildRun).enabled);
    QTest::keyClicks(&View(), "int x;");
    ASSERT_TRUE(Commands().Execute(cmd::BuildCompile)) << "enabled, to say what is missing";
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "まずファイルに名前をつけて保存してください。");
    EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(prompts.fileDialogs.empty()) << "an untitled document is not saved";
    EXPECT_TRUE(shown.empty());

    // A named, modified document is written before the compiler reads it. LSI C-86 places
    // options before and libraries after the source, verbatim.
    WriteBytes(Path("prog.c"), "old\r\n");
    app.reset();
    WriteProfileString("Settings", "Option", "-O");
    WriteProfileString("Settings", "Library", "-lm");
    Start(Path("prog.c"), kLsi);
    View().SetSel(0, View().GetWindowTextLength());
    QTest::keyClicks(&View(), "#error changed");
    ASSERT_TRUE(Doc().IsModified());
    ASSERT_TRUE(Commands().Execute(cmd::BuildCompile));
    ASSERT_TRUE(WaitForBuild(3));
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(ReadBytes(Path("prog.c")), "#error changed");
    EXPECT_EQ(shown[0].text, "sh -c LCC.EXE -O prog.c -lm\r\n");
    EXPECT_NE(shown[2].text.find("prog.c 1: error: #error changed\n"), std::string::npos);

    // A source LSI C-86 does not take: disabled, the plain text.
    WriteBytes(Path("prog.cpp"), "x\r\n");
    ASSERT_TRUE(app->OpenDocumentFile(Native(Path("prog.cpp"))));
    EXPECT_EQ(MenuText(cmd::BuildCompile), "コンパイル(&C)\tF7");
    EXPECT_FALSE(Commands().Execute(cmd::BuildCompile));
    Frame().SetToolchain(kBorland);
    EXPECT_EQ(MenuText(cmd::BuildCompile), "コンパイル(&C) prog.cpp\tF7");
}

TEST_F(BuildRunTest, DebugCompileAddsTheFlagOnlyWhereTheToolchainHasOne) {
    WriteProfileString("Settings", "BCC Option", "-A  ");
    WriteBytes(Path("t.c"), "int main(void){return 0;}\r\n");
    Start(Path("t.c"), kLsi);
    EXPECT_FALSE(Commands().State(cmd::BuildDebugCompile).enabled);
    Frame().SetToolchain(kBorland);
    ASSERT_TRUE(Commands().Execute(cmd::BuildDebugCompile));
    ASSERT_TRUE(WaitForBuild(3));
    EXPECT_EQ(shown[0].text, "sh -c BCC32.EXE -A -v \"t.c\"\r\n");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].args, (std::vector<std::string>{"-A", "-v", "t.c"}));
    EXPECT_EQ(View().GetBuildSettings().m_strBccOption, "-A  ") << "the setting is unchanged";
    // Turbo Debugger sits beside the stand-in driver, and the program now exists.
    EXPECT_TRUE(Commands().State(cmd::BuildDebugger).enabled);
    ASSERT_TRUE(Commands().Execute(cmd::BuildDebugger));
    MIREKA_WAIT_FOR(Calls().size() == 2u, kLongWaitMs);
    EXPECT_EQ(Calls()[1].tool, "TD32.EXE");
    EXPECT_EQ(Calls()[1].args, (std::vector<std::string>{"t.exe"}));
    EXPECT_EQ(Calls()[1].cwd, Native(dir.path()));
}

TEST_F(BuildRunTest, FileNamesWithSpacesAndShellCharactersNeitherBreakNorInject) {
    const QString name = QStringLiteral("my prog $(touch pwned) `touch pwned2`; 'q' & x.c");
    WriteBytes(Path(name), "#error found\r\n");
    Start(Path(name), kBorland);
    ASSERT_TRUE(Commands().Execute(cmd::BuildCompile));
    ASSERT_TRUE(WaitForBuild(3));
    const auto calls = Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args, (std::vector<std::string>{Native(name)}));
    EXPECT_FALSE(QFile::exists(Path("pwned")));
    EXPECT_FALSE(QFile::exists(Path("pwned2")));
    EXPECT_NE(shown[2].text.find("Error E2080 " + Native(name) + " 1: Error directive: found"),
              std::string::npos);
    // The menu shows "&" as itself.
    EXPECT_EQ(MenuText(cmd::BuildCompile),
              "コンパイル(&C) " + QString(name).replace("&", "&&") + "\tF7");
}

TEST_F(BuildRunTest, ResponseFileCompileAndRunUseTheChosenFile) {
    QDir(dir.path()).mkdir("rsp dir");
    WriteBytes(Path("rsp dir/a.c"), "int a;\r\n");
    WriteBytes(Path("rsp dir/prog.rsp"), "a.c\r\n");
    WriteBytes(Path("main.c"), "int main;\r\n");
    Start(Path("main.c"), kBorland);
    EXPECT_FALSE(Commands().State(cmd::RspRun).enabled);
    ASSERT_TRUE(Commands().Execute(cmd::RspCompile));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "レスポンスファイルを指定してください。");

    prompts.files.push_back(FileChoice{Native(Path("rsp dir/prog.rsp")), 1});
    ASSERT_TRUE(Commands().Execute(cmd::RspSpecify));
    EXPECT_EQ(View().GetBuildSettings().m_strResponseFile, Native(Path("rsp dir/prog.rsp")));
    EXPECT_EQ(MenuText(cmd::RspCompile), "コンパイル(&C) prog.rsp");
    EXPECT_EQ(MenuText(cmd::RspRun), "実行(&X) prog.exe");
    ASSERT_TRUE(Commands().Execute(cmd::RspCompile));
    ASSERT_TRUE(WaitForBuild(3));
    EXPECT_EQ(shown[0].text, "sh -c BCC32.EXE  -e\"prog.exe\" @prog.rsp\r\n");
    const auto calls = Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].cwd, Native(Path("rsp dir")));
    EXPECT_EQ(calls[0].args, (std::vector<std::string>{"-eprog.exe", "@prog.rsp"}));
    ASSERT_TRUE(QFile::exists(Path("rsp dir/prog.exe")));

    // The chooser starts where the chosen file is, with it selected; cancelling keeps it.
    ASSERT_TRUE(Commands().Execute(cmd::RspSpecify));
    EXPECT_EQ(prompts.fileDialogs.back().directory, Path("rsp dir"));
    EXPECT_EQ(prompts.fileDialogs.back().initialName, Path("rsp dir/prog.rsp"));
    EXPECT_EQ(View().GetBuildSettings().m_strResponseFile, Native(Path("rsp dir/prog.rsp")));

    ASSERT_TRUE(Commands().Execute(cmd::RspRun));
    MIREKA_WAIT_FOR(ReadBytes(Path("terminal.log")).contains("exit "), kLongWaitMs);
    EXPECT_TRUE(ReadBytes(Path("terminal.log")).startsWith("cwd " + Path("rsp dir").toUtf8()));
    EXPECT_TRUE(ReadBytes(Path("terminal.log.out")).startsWith("Hello from prog.exe\n"));
}

TEST_F(BuildRunTest, F5RunsTheProgramInATerminalWithArgumentsHistoryAndPause) {
    WriteBytes(Path("hello.c"), "int main(void){return 0;}\r\n");
    Start(Path("hello.c"), kBorland);
    ASSERT_TRUE(Commands().Execute(cmd::BuildCompile));
    ASSERT_TRUE(WaitForBuild(3));
    ASSERT_TRUE(QFile::exists(Path("hello.exe")));

    Press(Qt::Key_F5);
    const QString log = Path("terminal.log");

    MIREKA_WAIT_FOR(ReadBytes(log).contains("exit "), kLongWaitMs);
    const QString runFile = QString::fromStdString(MakeModulePath("do_exe.sh"));
    EXPECT_EQ(ReadBytes(log), "cwd " + dir.path().toUtf8() + "\narg -e\narg /bin/sh\narg " +
                                  runFile.toUtf8() + "\nexit 0\n");
    // PAUSE is on by default: the prompt follows the program's output.
    EXPECT_EQ(ReadBytes(log + ".out"),
              "Hello from hello.exe\n続行するには何かキーを押してください . . . \n");
    EXPECT_TRUE(ReadBytes(runFile).contains("'./hello.exe'\n") ||
                ReadBytes(runFile).contains("./hello.exe\n"));

    // Arguments through the dialog; PAUSE off.
    ASSERT_TRUE(Commands().Execute(cmd::BuildPause));
    EXPECT_EQ(Commands().State(cmd::BuildPause).checked, false);
    const auto runWith = [&](const QString& args) {
        QFile::remove(log);
        CArgumentsDlg::SetDriver([&](CArgumentsDlg& d) {
            d.ComboBox()->lineEdit()->selectAll();
            QTest::keyClicks(d.ComboBox()->lineEdit(), args);
            QTest::keyClick(d.ComboBox()->lineEdit(), Qt::Key_Return);
        });
        ASSERT_TRUE(Commands().Execute(cmd::BuildRunWithArgs));
        MIREKA_WAIT_FOR(ReadBytes(log).contains("exit "), kLongWaitMs);
    };
    runWith("a 'b c'");
    EXPECT_EQ(ReadBytes(log + ".out"), "Hello from hello.exe [a] [b c]\n");
    for (const char* a : {"1", "2", "3", "4", "5"})
        runWith(a);
    EXPECT_EQ(GetProfileString("Parameter List", "param1"), "5");
    EXPECT_EQ(GetProfileString("Parameter List", "param5"), "1");
    EXPECT_EQ(GetProfileString("Parameter List", "param6", "<none>"), "<none>");

    // The next time the dialog shows the last arguments and, when opened, the five lines.
    QStringList listed;
    QString initial;
    CArgumentsDlg::SetDriver([&](CArgumentsDlg& d) {
        initial = d.ComboBox()->currentText();
        d.ComboBox()->showPopup();
        listed = d.ListItems();
        d.ComboBox()->hidePopup();
        QTest::keyClick(d.ComboBox()->lineEdit(), Qt::Key_Escape);
    });
    QFile::remove(log);
    ASSERT_TRUE(Commands().Execute(cmd::BuildRunWithArgs));
    EXPECT_EQ(initial, "5");
    EXPECT_EQ(listed, (QStringList{"5", "4", "3", "2", "1"}));
    EXPECT_FALSE(QFile::exists(log)) << "cancel runs nothing";
}

TEST_F(BuildRunTest, RunningWithoutTheProgramSaysSoAndOpensNothing) {
    WriteBytes(Path("kadai4.c"), "int main(void){return 0;}\r\n");
    ASSERT_TRUE(QDir(dir.path()).mkdir("kadai4")); // a folder is no program
    struct Case {
        int toolchain;
        int command;
        QString message;
    };
    const Case cases[] = {
        {kBorland, cmd::BuildRun,
         "実行ファイル kadai4.exe がありません。先にコンパイルしてください。"},
        {kGcc, cmd::BuildRun, "実行ファイル kadai4 がありません。先にコンパイルしてください。"},
        {kLsi, cmd::BuildRunWithArgs,
         "実行ファイル kadai4.exe がありません。先にコンパイルしてください。"},
    };
    Start(Path("kadai4.c"), kBorland);
    CArgumentsDlg::SetDriver(
        [](CArgumentsDlg& d) { QTest::keyClick(d.ComboBox()->lineEdit(), Qt::Key_Return); });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        Frame().SetToolchain(c.toolchain);
        prompts.messages.clear();
        ASSERT_TRUE(Commands().Execute(c.command));
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, c.message);
        EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Warning);
        EXPECT_EQ(prompts.messages[0].caption, "Mireka");
    }
    EXPECT_FALSE(QFile::exists(Path("terminal.log")));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(MakeModulePath("do_exe.sh"))));
}

TEST_F(BuildRunTest, RunsFromAProgramFolderWithABlankThroughEitherKindOfTerminal) {
    QDir(dir.path()).mkdir("my src");
    WriteBytes(Path("my src/hello.c"), "int main(void){return 0;}\r\n");
    Start(Path("my src/hello.c"), kBorland);
    // The program's start chose its folders; the per-user one has a blank in its name.
    const ProgramDirectories saved = GetProgramDirectories();
    ASSERT_TRUE(QDir(dir.path()).mkpath("UMO Software/Mireka"));
    ProgramDirectories spaced = saved;
    spaced.writable = Native(Path("UMO Software/Mireka"));
    SetProgramDirectories(spaced);
    struct Restore {
        ProgramDirectories dirs;
        ~Restore() { SetProgramDirectories(dirs); }
    } restore{saved};
    ASSERT_TRUE(Commands().Execute(cmd::BuildPause)); // off: the program's output alone
    ASSERT_TRUE(Commands().Execute(cmd::BuildCompile));
    ASSERT_TRUE(WaitForBuild(3));
    const QString runFile = Path("UMO Software/Mireka/do_exe.sh");

    // The xterm way: each word an argument of its own.
    ASSERT_TRUE(Commands().Execute(cmd::BuildRun));
    MIREKA_WAIT_FOR(ReadBytes(Path("terminal.log")).contains("exit "), kLongWaitMs);
    EXPECT_EQ(ReadBytes(Path("terminal.log")), "cwd " + Path("my src").toUtf8() +
                                                   "\narg -e\narg /bin/sh\narg " +
                                                   runFile.toUtf8() + "\nexit 0\n");
    EXPECT_EQ(ReadBytes(Path("terminal.log.out")), "Hello from hello.exe\n");

    // The Debian choice leading to an emulator that takes the command as one string and
    // splits it the way the shell does.
    ASSERT_TRUE(QDir(dir.path()).mkdir("real"));
    ASSERT_TRUE(test::WriteScript(Path("real/lxterminal"), R"SH(#!/bin/sh
log=${MIREKA_TERMINAL_LOG:?}
printf 'args %d [%s]\n' "$#" "$2" >>"$log"
[ "$1" = "-e" ] && eval "set -- $2"
"$@" >"$log.out" 2>&1 </dev/null
printf 'exit %d\n' "$?" >>"$log"
)SH"));
    ASSERT_TRUE(QFile::link(Path("real/lxterminal"), Path("x-terminal-emulator")));
    env.Set("MIREKA_TERMINAL", Native(Path("x-terminal-emulator")));
    QFile::remove(Path("terminal.log"));
    ASSERT_TRUE(Commands().Execute(cmd::BuildRun));
    MIREKA_WAIT_FOR(ReadBytes(Path("terminal.log")).contains("exit "), kLongWaitMs);
    EXPECT_EQ(ReadBytes(Path("terminal.log")),
              "args 2 [/bin/sh '" + runFile.toUtf8() + "']\nexit 0\n");
    EXPECT_EQ(ReadBytes(Path("terminal.log.out")), "Hello from hello.exe\n");
}

TEST_F(BuildRunTest, CommandRunsInTheSourceFolderAndCancelLeavesEverythingAsItWas) {
    WriteBytes(Path("hello.c"), "x\r\n");
    Start(Path("hello.c"), kBorland);
    // Cancelled: no output, the commands enabled again, the stored line unchanged.
    bool disabledWhileAsking = false;
    CArgumentsDlg::SetDriver([&](CArgumentsDlg& d) {
        disabledWhileAsking = !Commands().State(cmd::BuildCompile).enabled;
        QTest::keyClicks(d.ComboBox()->lineEdit(), "ls");
        d.close();
    });
    ASSERT_TRUE(Commands().Execute(cmd::BuildCommand));
    EXPECT_TRUE(disabledWhileAsking);
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(View().IsBuildReady());
    EXPECT_TRUE(Commands().State(cmd::BuildCommand).enabled);
    EXPECT_EQ(View().GetBuildSettings().m_strCommandLine, "");

    // A line longer than the 253-byte pieces arrives whole.
    const std::string longLine = std::string(599, '0') + "7";
    const std::string command = "pwd; printf '%0600d\\n' 7; echo err >&2";
    CArgumentsDlg::SetDriver([&](CArgumentsDlg& d) {
        QTest::keyClicks(d.ComboBox()->lineEdit(), QString::fromStdString(command));
        QTest::keyClick(d.ComboBox()->lineEdit(), Qt::Key_Return);
    });
    ASSERT_TRUE(Commands().Execute(cmd::BuildCommand));
    ASSERT_TRUE(WaitForBuild(3));
    EXPECT_EQ(shown[2].text, "sh -c " + command + "\r\n*** コマンド開始 ***\r\n" +
                                 Native(dir.path()) + "\n" + longLine +
                                 "\nerr\n*** コマンド終了 ***\r\n");
    EXPECT_EQ(View().GetBuildSettings().m_strCommandLine, command);
    EXPECT_EQ(GetProfileString("Command List", "command1"), command);
    EXPECT_EQ(GetProfileString("Parameter List", "param1", "<none>"), "<none>");

    // The next dialog starts with the stored line; confirming it empty runs nothing.
    QString initial;
    CArgumentsDlg::SetDriver([&](CArgumentsDlg& d) {
        initial = d.ComboBox()->currentText();
        d.ComboBox()->lineEdit()->clear();
        QTest::keyClick(d.ComboBox()->lineEdit(), Qt::Key_Return);
    });
    shown.clear();
    ASSERT_TRUE(Commands().Execute(cmd::BuildCommand));
    EXPECT_EQ(initial, QString::fromStdString(command));
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(View().IsBuildReady());
    EXPECT_EQ(View().GetBuildSettings().m_strCommandLine, "");
}

TEST_F(BuildRunTest, AnInterpreterOrCaptureFileThatFailsEndsWithTheErrorBlockAndReady) {
    WriteBytes(Path("hello.c"), "x\r\n");
    Start(Path("hello.c"), kBorland);
    env.Set("COMSPEC", "/nonexistent/mireka-shell");
    ASSERT_TRUE(Commands().Execute(cmd::BuildCompile));
    ASSERT_TRUE(WaitForBuild(2));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text.rfind("mireka-shell -c BCC32.EXE  \"hello.c\"\r\n"
                                  "*** 拡張エラー情報 ***\r\n",
                                  0),
              0u);
    EXPECT_EQ(shown[1].text.find("コンパイル開始"), std::string::npos);
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_TRUE(Commands().State(cmd::BuildCompile).enabled);

    // A program folder that cannot be written to.
    env.Unset("COMSPEC");
    const ProgramDirectories saved = GetProgramDirectories();
    ProgramDirectories readOnly = saved;
    readOnly.writable = Native(Path("no such folder"));
    SetProgramDirectories(readOnly);
    shown.clear();
    ASSERT_TRUE(Commands().Execute(cmd::BuildCompile));
    ASSERT_TRUE(WaitForBuild(2));
    SetProgramDirectories(saved);
    EXPECT_EQ(
        shown.back().text.rfind("sh -c BCC32.EXE  \"hello.c\"\r\n*** 拡張エラー情報 ***\r\n", 0),
        0u);
    EXPECT_TRUE(Calls().empty()) << "nothing ran";
}

TEST_F(BuildRunTest, ClosingTheWindowDuringACompileNeitherHangsNorCrashes) {
    WriteBytes(Path("hello.c"), "x\r\n");
    Start(Path("hello.c"), kBorland);
    CArgumentsDlg::SetDriver([&](CArgumentsDlg& d) {
        QTest::keyClicks(d.ComboBox()->lineEdit(), "sleep 120.25 & wait");
        QTest::keyClick(d.ComboBox()->lineEdit(), Qt::Key_Return);
    });
    ASSERT_TRUE(Commands().Execute(cmd::BuildCommand));
    MIREKA_WAIT_FOR(shown.size() == 2u, kLongWaitMs); // running
    EXPECT_FALSE(View().IsBuildReady());
    Frame().close();
    app.reset(); // the view goes with the command still running
    EXPECT_EQ(GetProfileString("Settings", "CommandLine"), "sleep 120.25 & wait")
        << "settings were saved";
    EXPECT_NE(QProcess::execute(QStringLiteral("pgrep"), {"-f", "sleep 120\\.25"}), 0)
        << "the command and what it started were stopped";
}

TEST_F(BuildRunTest, ShellWindowOpensTheInterpreterInTheSourceFolder) {
    QDir(dir.path()).mkdir("src");
    WriteBytes(Path("src/a.c"), "x\r\n");
    Start(Path("src/a.c"), kBorland);
    ASSERT_TRUE(Commands().Execute(cmd::BuildDosWindow));
    MIREKA_WAIT_FOR(ReadBytes(Path("terminal.log")).contains("exit "), kLongWaitMs);
    EXPECT_EQ(ReadBytes(Path("terminal.log")),
              "cwd " + Path("src").toUtf8() + "\narg -e\narg /bin/sh\nexit 0\n");

    // No terminal at all: the message, nothing started.
    env.Set("MIREKA_TERMINAL", "/nonexistent/terminal");
    ASSERT_TRUE(Commands().Execute(cmd::BuildDosWindow));
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_EQ(prompts.messages.back().text, "DOS窓を開けません。");
    EXPECT_EQ(prompts.messages.back().icon, QMessageBox::Critical);
    // The PIF command belongs to Windows.
    EXPECT_FALSE(Commands().State(cmd::BuildPif).enabled);
}

TEST_F(BuildRunTest, SettingsAreReadAtCreationAndWrittenAtDestruction) {
    WriteProfileInt("Settings", "Pause", 0);
    WriteProfileInt("Settings", "16bit", 2); // only 1 is true
    WriteProfileInt("Settings", "TabWidth", 8);
    WriteProfileString("Settings", "Response File", "/r/p.rsp");
    WriteBytes(Path("a.c"), "int main(void){return 0;}\r\n");
    ASSERT_TRUE(test::WriteScript(Path("a.exe"), "#!/bin/sh\nexit 0\n")); // as if compiled
    Start(Path("a.c"), kBorland);
    const BuildSettings& s = View().GetBuildSettings();
    EXPECT_FALSE(s.m_bPause);
    EXPECT_FALSE(s.m_bPif);
    EXPECT_EQ(View().TabWidth(), 8);
    EXPECT_EQ(s.m_strBccPath, test::Fixture("BCC32.EXE"));
    EXPECT_EQ(s.m_strGccOption, kExpectedGccOption);
    EXPECT_EQ(s.m_strGccLibrary, "-lm");
    EXPECT_EQ(Commands().State(cmd::BuildPause).checked, false);
    // The changes of a session reach the store only when the view goes.
    ASSERT_TRUE(Commands().Execute(cmd::BuildPause));
    ASSERT_TRUE(Commands().Execute(cmd::BuildRun));
    const QString runFile = QString::fromStdString(MakeModulePath("do_exe.sh"));
    MIREKA_WAIT_FOR(ReadBytes(Path("terminal.log")).contains("exit "), kLongWaitMs);
    EXPECT_TRUE(QFile::exists(runFile));
    EXPECT_EQ(GetProfileInt("Settings", "Pause", -1), 0);
    app.reset();
    EXPECT_EQ(GetProfileInt("Settings", "Pause", -1), 1);
    EXPECT_EQ(GetProfileInt("Settings", "16bit", -1), 0);
    EXPECT_EQ(GetProfileInt("Settings", "TabWidth", -1), 8);
    EXPECT_EQ(GetProfileString("Settings", "Response File"), "/r/p.rsp");
    EXPECT_EQ(GetProfileString("Settings", "GCC Option"), kExpectedGccOption);
    EXPECT_FALSE(QFile::exists(runFile)) << "the run file goes with the view";
}

TEST_F(BuildRunTest, VisualCppToolkitFoundThroughItsInstallFolderCompilesAndJoinsTheSwitch) {
    const QString vctk = Path("VCTK");
    ASSERT_TRUE(QDir().mkpath(vctk + "/bin"));
    for (const char* f : {"cl.exe", "fixture-lib.sh"})
        ASSERT_TRUE(QFile::copy(QDir(test::FixturesDir()).filePath(f), vctk + "/bin/" + f));
    env.Set("VCToolkitInstallDir", Native(vctk) + "/");
    env.Set("INCLUDE", "/usr/include");
    WriteBytes(Path("w.c"), "int x;\r\n#error not here\r\n");
    Start(Path("w.c"), kBorland);
    EXPECT_EQ(View().GetBuildSettings().m_strVctkClPath, Native(vctk) + "/bin/cl.exe");
    EXPECT_EQ(env.Get("INCLUDE"), Native(vctk) + "/include:/usr/include");
    EXPECT_EQ(env.Get("LIB"), Native(vctk) + "/lib:");

    ASSERT_TRUE(Commands().Execute(cmd::BuildSwitchCompiler));
    EXPECT_EQ(Frame().Toolchain(), 2) << "Borland goes to a usable Visual C++ Toolkit";
    ASSERT_TRUE(Commands().Execute(cmd::BuildCompile));
    ASSERT_TRUE(WaitForBuild(3));
    EXPECT_EQ(shown[0].text, "sh -c cl.exe  \"w.c\"\r\n");
    EXPECT_NE(shown[2].text.find("w.c(2) : fatal error C1189: #error :  not here\n"),
              std::string::npos);
    EXPECT_EQ(ParseJumpLine("w.c(2) : fatal error C1189: #error :  not here", 2), 2);
    EXPECT_FALSE(Commands().State(cmd::BuildDebugCompile).enabled) << "no debug compile";
    EXPECT_FALSE(Commands().State(cmd::BuildDebugger).enabled);
    ASSERT_TRUE(Commands().Execute(cmd::BuildSwitchCompiler));
    EXPECT_EQ(Frame().Toolchain(), kLsi);

    // A second view in the same environment adds nothing twice.
    app.reset();
    Start(Path("w.c"), kBorland);
    EXPECT_EQ(env.Get("INCLUDE"), Native(vctk) + "/include:/usr/include");
}

TEST_F(BuildRunTest, WhileACommandRunsOnlyRunningTheProgramStaysEnabled) {
    WriteBytes(Path("hello.c"), "x\r\n");
    WriteProfileString("Settings", "Response File", Native(Path("p.rsp")));
    Start(Path("hello.c"), kBorland);
    CArgumentsDlg::SetDriver([&](CArgumentsDlg& d) {
        QTest::keyClicks(d.ComboBox()->lineEdit(), "sleep 120");
        QTest::keyClick(d.ComboBox()->lineEdit(), Qt::Key_Return);
    });
    ASSERT_TRUE(Commands().Execute(cmd::BuildCommand));
    MIREKA_WAIT_FOR(shown.size() == 2u, kLongWaitMs);
    for (int id : {cmd::BuildCompile, cmd::BuildDebugCompile, cmd::RspCompile, cmd::BuildCommand,
                   cmd::BuildDebugger})
        EXPECT_FALSE(Commands().State(id).enabled) << id;
    for (int id : {cmd::BuildRun, cmd::BuildRunWithArgs, cmd::RspRun, cmd::BuildDosWindow,
                   cmd::BuildSwitchCompiler, cmd::BuildPause})
        EXPECT_TRUE(Commands().State(id).enabled) << id;
    // The interface stays responsive: a keystroke is handled while the command runs.
    QTest::keyClicks(&View(), "y");
    EXPECT_EQ(View().GetWindowText(), "yx\r\n");
    EXPECT_FALSE(Commands().Execute(cmd::BuildCompile)) << "F7 is not carried out";
}

TEST_F(BuildRunTest, StopEndsACommandThatNeverEndsFromTheMenuOrCtrlBreak) {
    WriteBytes(Path("hello.c"), "x\r\n");
    Start(Path("hello.c"), kBorland);
    EXPECT_FALSE(Commands().State(cmd::BuildStop).enabled) << "nothing runs";
    const auto runForever = [&] {
        CArgumentsDlg::SetDriver([&](CArgumentsDlg& d) {
            EXPECT_FALSE(Commands().State(cmd::BuildStop).enabled) << "only asked, not running";
            d.ComboBox()->lineEdit()->clear();
            QTest::keyClicks(d.ComboBox()->lineEdit(), "echo begun; while :; do sleep 1; done");
            QTest::keyClick(d.ComboBox()->lineEdit(), Qt::Key_Return);
        });
        shown.clear();
        ASSERT_TRUE(Commands().Execute(cmd::BuildCommand));
        MIREKA_WAIT_FOR(Output().GetWindowText().find("begun") != std::string::npos, kLongWaitMs);
        EXPECT_TRUE(Commands().State(cmd::BuildStop).enabled);
    };
    const auto expectStopped = [&] {
        ASSERT_TRUE(WaitForBuild(3));
        EXPECT_EQ(shown.back().text, "sh -c echo begun; while :; do sleep 1; done\r\n"
                                     "*** コマンド開始 ***\r\nbegun\n*** 中止しました ***\r\n"
                                     "*** コマンド終了 ***\r\n");
        EXPECT_TRUE(View().IsBuildReady());
        EXPECT_FALSE(Commands().State(cmd::BuildStop).enabled);
        EXPECT_TRUE(Commands().State(cmd::BuildCompile).enabled);
        EXPECT_TRUE(CaptureFilesLeft().isEmpty());
    };

    runForever();
    ASSERT_TRUE(Commands().Execute(cmd::BuildStop));
    expectStopped();

    // X11 reports Ctrl+Pause as the Break keysym, which Qt hands on as key 0.
    runForever();
    Commands().UpdateAll();
    QKeyEvent breakKey(QEvent::KeyPress, 0, Qt::ControlModifier, 0x6e, 0xFF6B, 0x04);
    QApplication::sendEvent(&View(), &breakKey);
    expectStopped();
    EXPECT_EQ(View().GetWindowText(), "x\r\n") << "the key typed nothing";
}

TEST_F(BuildRunTest, OutputShowsWhileTheCommandRunsAndTheWindowStaysResponsive) {
    WriteBytes(Path("hello.c"), "x\r\n");
    Start(Path("hello.c"), kBorland);
    const auto run = [&](const char* command) {
        CArgumentsDlg::SetDriver([&](CArgumentsDlg& d) {
            d.ComboBox()->lineEdit()->clear();
            QTest::keyClicks(d.ComboBox()->lineEdit(), QString::fromUtf8(command));
            QTest::keyClick(d.ComboBox()->lineEdit(), Qt::Key_Return);
        });
        shown.clear();
        ASSERT_TRUE(Commands().Execute(cmd::BuildCommand));
    };
    // A line every 200 ms: the first is in the window long before the end.
    run("for i in 1 2 3 4 5 6 7 8 9 10; do echo line$i; sleep 0.2; done");
    MIREKA_WAIT_FOR(Output().GetWindowText().find("line1\r\n") != std::string::npos, kLongWaitMs);
    EXPECT_TRUE(View().IsBuildRunning()) << "shown before the command ended";
    ASSERT_TRUE(WaitForBuild(3));
    EXPECT_EQ(Output().GetWindowText(), OutputDisplayBytes(shown.back().text))
        << "the end display is the whole transcript";

    // Printing without pause: posted events are still answered while it runs.
    run("while :; do echo 0123456789abcdefghijklmnopqrstuvwxyz; done");
    MIREKA_WAIT_FOR(Output().GetLineCount() > 1000, kLongWaitMs);
    qint64 slowest = 0;
    for (int i = 0; i < 20 && View().IsBuildRunning(); ++i) {
        QElapsedTimer posted;
        posted.start();
        bool answered = false;
        QMetaObject::invokeMethod(
            &View(), [&] { answered = true; }, Qt::QueuedConnection);
        MIREKA_WAIT_FOR(answered, kLongWaitMs);
        slowest = std::max(slowest, posted.elapsed());
        QTest::qWait(20);
    }
    // The strict figure is the benchmark's; this catches a window that freezes.
    EXPECT_LT(slowest, 1000);
    ASSERT_TRUE(Commands().Execute(cmd::BuildStop));
    ASSERT_TRUE(WaitForBuild(3));
    EXPECT_NE(shown.back().text.find("*** 中止しました ***"), std::string::npos);
}

TEST_F(BuildRunTest, ExplanationsFollowGccsMessagesInEnglishAndTheSwitchTurnsThemOff) {
    // A GCC stand-in that prints one known message, one unknown, and its locale.
    const QString driver = Path("gcc");
    ASSERT_TRUE(test::WriteScript(driver, R"SH(#!/bin/sh
[ "$1" = "--version" ] && { echo "gcc (stand-in) 1.0"; exit 0; }
echo "hello.c:2:5: error: 'x' undeclared (first use in this function)"
echo "hello.c:3:1: warning: something else"
echo "locale [$LC_MESSAGES] [$LANGUAGE] [$LC_ALL] [$LC_CTYPE]"
exit 1
)SH"));
    WriteProfileString("Settings", "GCC Compiler", Native(driver));
    const QString table = qEnvironmentVariable("MIREKA_PROGRAM_DIR") + "/EXPLAIN.TXT";
    struct RestoreTable {
        QString path;
        QByteArray shipped;
        ~RestoreTable() {
            if (shipped.isEmpty())
                QFile::remove(path);
            else
                test::WriteBytes(path, shipped);
        }
    } restoreTable{table, ReadBytes(table)};
    WriteBytes(table, "; entries\n"
                      "error: '%1' undeclared (first use in this function)\t"
                      "%1 が宣言されていません。\n"
                      "a line without its tab\n");
    env.Set("LANGUAGE", "ja");
    env.Set("LC_ALL", "C.UTF-8");
    env.Unset("LC_CTYPE");
    WriteBytes(Path("hello.c"), "int main(void)\r\n{   x = 1;\r\n}\r\n");
    Start(Path("hello.c"), kGcc);
    ASSERT_TRUE(Commands().State(cmd::ViewExplain).checked.value_or(false)) << "on at first";

    const std::string message = "hello.c:2:5: error: 'x' undeclared (first use in this function)\n";
    const std::string notice =
        "*** 解説ファイル EXPLAIN.TXT の 3 行目は形式が正しくないため、使いませんでした ***\r\n";
    ASSERT_TRUE(Commands().Execute(cmd::BuildCompile));
    ASSERT_TRUE(WaitForBuild(3));
    const std::string& text = shown.back().text;
    EXPECT_NE(text.find(message + "  → x が宣言されていません。\r\nhello.c:3:1: warning: "),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("locale [C] [] [] [C.UTF-8]"), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("*** コンパイル終了 ***\r\n" + notice)) << text;
    // A double-click on the explanation jumps to the message's line.
    COutputEdit& out = Output();
    const int line =
        out.LineFromChar(static_cast<Offset>(out.GetWindowText().find(OutputDisplayBytes("  → "))));
    View().SetSel(0, 0);
    out.SetSel(out.LineIndex(line), out.LineIndex(line));
    QTest::mouseDClick(out.viewport(), Qt::LeftButton, {},
                       out.PosFromChar(out.LineIndex(line) + 3) + QPoint(1, out.LineHeight() / 2));
    EXPECT_EQ(View().LineFromChar(View().Control().SelStart()), 1) << "line 2 of the source";

    shown.clear();
    ASSERT_TRUE(Commands().Execute(cmd::BuildCompile));
    ASSERT_TRUE(WaitForBuild(3));
    EXPECT_EQ(shown.back().text.find("*** 解説ファイル"), std::string::npos) << "said once";

    // Off: the transcript is GCC's own, in the user's locale.
    ASSERT_TRUE(Commands().Execute(cmd::ViewExplain));
    EXPECT_FALSE(Commands().State(cmd::ViewExplain).checked.value_or(true));
    shown.clear();
    ASSERT_TRUE(Commands().Execute(cmd::BuildCompile));
    ASSERT_TRUE(WaitForBuild(3));
    EXPECT_EQ(shown.back().text.find("  → "), std::string::npos);
    EXPECT_NE(shown.back().text.find(message + "hello.c:3:1: warning: something else\n"
                                               "locale [] [ja] [C.UTF-8] []\n"),
              std::string::npos)
        << shown.back().text;
    app.reset();
    EXPECT_EQ(GetProfileInt("Settings", "Explain", -1), 0);
}

// ---- the toolchain selection and GCC ----

class BuildToolchainTest : public BuildRunTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkdir("bin"));
        // A PATH of the test's own: a stand-in gcc and the shell's tools.
        ASSERT_TRUE(test::WriteScript(Path("bin/gcc"), "#!/bin/sh\nexit 0\n"));
        env.Set("PATH", Native(Path("bin")) + ":/usr/bin:/bin");
    }
    int Selection() { return Frame().Toolchain(); }
};

TEST_F(BuildToolchainTest, FreshStartWithGccSelectsItAndTheSwitchHasNowhereElseToGo) {
    app = std::make_unique<CMyApp>();
    ASSERT_TRUE(app->InitInstance({}));
    EXPECT_EQ(View().GetBuildSettings().m_strGccPath, Native(Path("bin/gcc")));
    // The choice is made once the window is shown, which InitInstance did.
    EXPECT_EQ(Selection(), kGcc);
    EXPECT_TRUE(prompts.messages.empty()) << "gcc is configured: no first-use message";
    EXPECT_EQ(Commands().State(cmd::BuildSwitchCompiler).text, "コンパイラの切り替え(&T)");

    EXPECT_EQ(Pane(), "GCC");
    for (int press = 1; press <= 2; ++press) {
        ASSERT_TRUE(Commands().Execute(cmd::BuildSwitchCompiler));
        EXPECT_EQ(Selection(), kGcc) << "no compiler F7 could not use";
        EXPECT_EQ(Pane(), "GCC");
        EXPECT_EQ(prompts.beeps, press);
        EXPECT_EQ(Frame().MessageText(), "切り替えられるコンパイラがありません。");
    }
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(BuildToolchainTest, TheSwitchPassesOverCompilersThatCannotRunHere) {
    // An MS-DOS LSI C-86 and a Borland stand-in that does run (a script).
    ASSERT_TRUE(QDir(dir.path()).mkpath("LSIC86/BIN"));
    WriteBytes(Path("LSIC86/BIN/LCC.EXE"), QByteArray("MZ\x90\0\3\0\0\0", 8));
    WriteProfileString("Settings", "Compiler", Native(Path("LSIC86/BIN/LCC.EXE")));
    WriteProfileString("Settings", "BCC Compiler", test::Fixture("BCC32.EXE"));
    WriteProfileInt("Settings", "IsLCC", kGcc);
    app = std::make_unique<CMyApp>();
    ASSERT_TRUE(app->InitInstance({}));
    QStringList panes;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(Commands().Execute(cmd::BuildSwitchCompiler));
        panes << Pane();
    }
    EXPECT_EQ(panes, (QStringList{"BCC55", "GCC", "BCC55"}));
    EXPECT_EQ(prompts.beeps, 0);
}

TEST_F(BuildToolchainTest, WithoutGccTheSwitchStaysAndTheFirstUseMessageNamesAllFour) {
    env.Set("PATH", "/usr/sbin:/sbin"); // no gcc or cc here
    app = std::make_unique<CMyApp>();
    ASSERT_TRUE(app->InitInstance({}));
    EXPECT_EQ(View().GetBuildSettings().m_strGccPath, "");
    EXPECT_EQ(Selection(), kLsi);
    MIREKA_WAIT_FOR(prompts.messages.size() == 1u, kLongWaitMs);
    EXPECT_EQ(prompts.messages[0].text, QString::fromUtf8(kFirstUseMessage.data()));
    EXPECT_TRUE(prompts.messages[0].text.contains("GCC の設定"));
    EXPECT_EQ(prompts.messages[0].icon, QMessageBox::NoIcon);
    EXPECT_FALSE(Commands().State(cmd::BuildCompile).enabled) << "nothing is configured";

    EXPECT_EQ(Pane(), "LSIC86");
    ASSERT_TRUE(Commands().Execute(cmd::BuildSwitchCompiler));
    EXPECT_EQ(Selection(), kLsi) << "no compiler to switch to";
    EXPECT_EQ(prompts.beeps, 1);
    app.reset();
    EXPECT_EQ(GetProfileString("Settings", "GCC Compiler", "<none>"), "<none>")
        << "an empty path found by nobody is not stored, so a later gcc is still found";
}

TEST_F(BuildToolchainTest, WithoutGccOnPathANewUserPicksTheCompilerAndCompiles) {
    env.Set("PATH", "/usr/sbin:/sbin");
    WriteBytes(Path("hello.c"), "#include <stdio.h>\r\nint main(void) { return 0; }\r\n");
    Start(Path("hello.c"), kLsi);
    MIREKA_WAIT_FOR(prompts.messages.size() == 1u, kLongWaitMs); // the first-use message
    prompts.files.push_back(FileChoice{"/usr/bin/gcc", 1});
    SetDialogRunner([](QDialog& d) {
        auto& dlg = dynamic_cast<CCompilerSettingsDlg&>(d);
        dlg.show();
        EXPECT_EQ(dlg.windowTitle(), "GCC の設定");
        QTest::mouseClick(dlg.BrowseButton(), Qt::LeftButton);
        dlg.accept();
        return dlg.result();
    });
    ASSERT_TRUE(Commands().Execute(cmd::BuildGccSettings));
    SetDialogRunner({});
    EXPECT_EQ(View().GetBuildSettings().m_strGccPath, "/usr/bin/gcc");
    ASSERT_TRUE(Commands().Execute(cmd::BuildSwitchCompiler));
    EXPECT_EQ(Pane(), "GCC");
    ASSERT_TRUE(Commands().Execute(cmd::BuildCompile));
    ASSERT_TRUE(WaitForBuild(2));
    EXPECT_TRUE(shown.back().text.ends_with("*** コンパイル終了 ***\r\n")) << shown.back().text;
    EXPECT_TRUE(QFile::exists(Path("hello"))) << shown.back().text;
}

TEST_F(BuildToolchainTest, AStoredSelectionOrLsiPathKeepsTheSelection) {
    WriteProfileString("Settings", "Compiler", test::Fixture("LCC.EXE"));
    app = std::make_unique<CMyApp>();
    ASSERT_TRUE(app->InitInstance({}));
    EXPECT_EQ(View().GetBuildSettings().m_strGccPath, Native(Path("bin/gcc")));
    EXPECT_EQ(Selection(), kLsi) << "an LSI C-86 user keeps LSI C-86";
    app.reset();
    settings.store.DeleteEntry("Settings", "Compiler");
    WriteProfileInt("Settings", "IsLCC", kBorland);
    app = std::make_unique<CMyApp>();
    ASSERT_TRUE(app->InitInstance({}));
    EXPECT_NE(Selection(), kGcc) << "a stored selection is the user's";
}

// ---- the real gcc ----

class BuildGccTest : public BuildRunTest {
protected:
    void SetUp() override {
        BuildRunTest::SetUp();
        const std::string gcc =
            FindOnPath("gcc", env.Get("PATH").value_or(""), RealFileProbe().executable);
        if (gcc.empty()) GTEST_SKIP() << "no gcc on PATH";
    }
};

TEST_F(BuildGccTest, BrokenSourceShowsGccsDiagnosticsWhoseLinesTheJumpRuleFinds) {
    WriteBytes(Path("hello.c"), "#include <stdio.h>\r\n"
                                "\r\n"
                                "int main(void)\r\n"
                                "{\r\n"
                                "    printf(\"hi\\n\")\r\n"
                                "    return 0;\r\n"
                                "}\r\n");
    Start(Path("hello.c"), kGcc);
    EXPECT_EQ(MenuText(cmd::BuildCompile), "コンパイル(&C) hello.c\tF7");
    EXPECT_EQ(MenuText(cmd::BuildRun), "実行(&X) hello\tF5");
    Press(Qt::Key_F7);
    ASSERT_TRUE(WaitForBuild(3));
    const std::string& text = shown[2].text;
    EXPECT_EQ(shown[0].text,
              "sh -c gcc -Wall -finput-charset=CP932 \"hello.c\" -lm -o \"hello\"\r\n");
    // Every diagnostic of the source's line 5 or 6 names its line by the GCC rule.
    bool sawError = false;
    std::size_t start = 0;
    for (std::size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1) {
        const std::string line = text.substr(start, nl - start);
        if (line.rfind("hello.c:", 0) != 0 || line.find("error") == std::string::npos) continue;
        sawError = true;
        const auto number = ParseJumpLine(line, kGcc);
        ASSERT_TRUE(number.has_value()) << line;
        EXPECT_TRUE(*number == 5 || *number == 6) << line;
    }
    EXPECT_TRUE(sawError) << text;
    EXPECT_FALSE(QFile::exists(Path("hello")));

    // Double-clicking gcc's messages in the output window, or their explanations, moves the
    // caret to their line.
    COutputEdit& out = Output();
    const std::string explanation = OutputDisplayBytes("  → ");
    int jumps = 0, explained = 0;
    std::string above;
    for (int line = 0; line < out.GetLineCount(); ++line) {
        std::string message = out.Control().LineText(Line(Line(line)));
        if (message.rfind(explanation, 0) == 0) {
            ++explained;
            message = above;
        } else {
            above = message;
        }
        const bool located = message.rfind("hello.c:", 0) == 0 && ParseJumpLine(message, kGcc);
        View().SetSel(0, 0);
        out.SetSel(out.LineIndex(line), out.LineIndex(line));
        out.ScrollCaret();
        const QPoint p = out.PosFromChar(out.LineIndex(line) + 2) + QPoint(1, out.LineHeight() / 2);
        QTest::mouseDClick(out.viewport(), Qt::LeftButton, {}, p);
        const int caretLine = View().LineFromChar(View().Control().SelStart());
        if (located) {
            EXPECT_EQ(caretLine, *ParseJumpLine(message, kGcc) - 1) << message;
            ++jumps;
        } else {
            EXPECT_EQ(caretLine, 0) << "no jump from: " << message;
        }
    }
    EXPECT_GT(jumps, 0);
    EXPECT_GT(explained, 0) << "explanations are on at first";
    EXPECT_EQ(ParseJumpLine("hello.c: In function 'main':", kGcc), std::nullopt);
}

TEST_F(BuildGccTest, HelloCompilesAndRunsEndToEnd) {
    WriteBytes(Path("hello.c"),
               "#include <stdio.h>\r\n"
               "#include <math.h>\r\n"
               "int main(int argc, char **argv)\r\n"
               "{\r\n"
               "    printf(\"Hello, %s %d\\n\", argc > 1 ? argv[1] : \"world\",\r\n"
               "           (int)sqrt(16.0));\r\n"
               // "表示" in code page 932: the first trail byte is a backslash.
               "    printf(\"\x95\x5c\x8e\xa6\\n\");\r\n"
               "    return 0;\r\n"
               "}\r\n");
    Start(Path("hello.c"), kGcc);
    Press(Qt::Key_F7);
    ASSERT_TRUE(WaitForBuild(3));
    EXPECT_EQ(shown[2].text,
              "sh -c gcc -Wall -finput-charset=CP932 \"hello.c\" -lm -o \"hello\"\r\n"
              "*** コンパイル開始 ***\r\n"
              "*** コンパイル終了 ***\r\n")
        << "no warning of an unknown escape";
    ASSERT_TRUE(QFileInfo(Path("hello")).isExecutable());

    ASSERT_TRUE(Commands().Execute(cmd::BuildPause)); // off: the output alone
    Press(Qt::Key_F5);
    MIREKA_WAIT_FOR(ReadBytes(Path("terminal.log")).contains("exit "), kLongWaitMs);
    EXPECT_EQ(ReadBytes(Path("terminal.log.out")), "Hello, world 4\n表示\n")
        << "Japanese reaches the terminal in its character set";

    // The debug compile adds -g, and gdb is started on the program in a terminal.
    shown.clear();
    ASSERT_TRUE(Commands().Execute(cmd::BuildDebugCompile));
    ASSERT_TRUE(WaitForBuild(3));
    EXPECT_EQ(shown[0].text,
              "sh -c gcc -Wall -finput-charset=CP932 -g \"hello.c\" -lm -o \"hello\"\r\n");
    const std::string gdb =
        FindOnPath("gdb", env.Get("PATH").value_or(""), RealFileProbe().executable);
    if (gdb.empty()) return;
    // The recording terminal runs gdb in batch mode on the null device: it loads and quits.
    QFile::remove(Path("terminal.log"));
    ASSERT_TRUE(Commands().Execute(cmd::BuildDebugger));
    MIREKA_WAIT_FOR(ReadBytes(Path("terminal.log")).contains("exit "), kLongWaitMs);
    EXPECT_TRUE(ReadBytes(Path("terminal.log"))
                    .startsWith("cwd " + dir.path().toUtf8() + "\narg -e\narg " +
                                QByteArray::fromStdString(gdb) + "\narg ./hello\n"));
}

TEST_F(BuildGccTest, DebuggerWithoutTheProgramSaysSo) {
    WriteBytes(Path("never.c"), "int main(void){return 0;}\r\n");
    Start(Path("never.c"), kGcc);
    ASSERT_TRUE(Commands().State(cmd::BuildDebugger).enabled);
    ASSERT_TRUE(Commands().Execute(cmd::BuildDebugger));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "never が有りません！");
    EXPECT_FALSE(QFile::exists(Path("terminal.log")));
}

} // namespace
} // namespace mireka
