// The platform side of building: the program's environment copy, capture files, the capture
// run with real processes, the terminal choice and desktop shortcuts.
#include "core/toolchain/Transcript.h"
#include "platform/Launcher.h"
#include "platform/ProcessRunner.h"
#include "platform/ProgramEnvironment.h"
#include "platform/ShellLinkWriter.h"

#include "BuildTestSupport.h"
#include "GuiTestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>

namespace mireka {
namespace {

using test::Native;

CommandInterpreter Sh() {
    MemoryEnvironment env;
    return GetCommandInterpreter(env);
}

BuildCommand Command(const std::string& text, const std::string& directory = {}) {
    return MakeUserCommand(Sh(), text, directory.empty() ? "" : directory + "/x.c");
}

QStringList CaptureFiles(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList({"mrk*"}, QDir::Files | QDir::Hidden | QDir::System);
}

struct Shown {
    std::vector<std::string> texts;
    std::vector<bool> beeps;
    CaptureCallbacks Callbacks() {
        CaptureCallbacks cb;
        cb.show = [this](const std::string& t, bool beep) {
            texts.push_back(t);
            beeps.push_back(beep);
        };
        return cb;
    }
};

TEST(BuildEnvironment, ChangesStayInTheProgramsCopyAndReachChildren) {
    test::EnvironmentReset reset;
    ProgramEnvironment& env = ProgramEnvironment::Instance();
    ASSERT_TRUE(env.Get("PATH").has_value()) << "read from the process at start";
    EXPECT_EQ(env.Get("PATH"), qgetenv("PATH").toStdString());

    ASSERT_TRUE(PrependToEnvironmentVariable(env, "PATH", "/opt/mireka-test/bin"));
    EXPECT_EQ(env.Get("PATH")->rfind("/opt/mireka-test/bin:", 0), 0u);
    EXPECT_FALSE(qgetenv("PATH").startsWith("/opt/mireka-test/bin"))
        << "the process's own environment is never written";
    EXPECT_TRUE(env.Snapshot().value("PATH").startsWith("/opt/mireka-test/bin:"));

    EXPECT_FALSE(env.Set("A=B", "x")) << "a name holding '=' would make another variable";
    EXPECT_FALSE(env.Set("", "x"));
    EXPECT_TRUE(env.Set("MIREKA_TEST_VAR", "v w"));
    EXPECT_TRUE(env.Unset("MIREKA_TEST_VAR"));
    EXPECT_FALSE(env.Get("MIREKA_TEST_VAR").has_value());

    env.Reload();
    EXPECT_EQ(env.Get("PATH"), qgetenv("PATH").toStdString());
}

TEST(BuildCapture, CaptureFilesAreFreshUnpredictableAndRefuseWhatIsThere) {
    QTemporaryDir dir;
    const std::string folder = Native(dir.path());
    std::string error;
    const auto a = CreateCaptureFile(folder, &error);
    const auto b = CreateCaptureFile(folder, &error);
    ASSERT_TRUE(a && b) << error;
    EXPECT_NE(*a, *b);
    for (const auto& path : {*a, *b}) {
        const QFileInfo info(QString::fromStdString(path));
        EXPECT_EQ(info.absolutePath(), dir.path());
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^mrk[0-9A-F]{4,16}\\.TMP$"))
                        .match(info.fileName())
                        .hasMatch())
            << path;
        EXPECT_EQ(info.size(), 0);
    }

    // No folder, or one that cannot be written: a reason, no file.
    error.clear();
    EXPECT_FALSE(CreateCaptureFile("", &error));
    EXPECT_EQ(error, "書き込めるプログラム フォルダーがありません。");
    EXPECT_FALSE(CreateCaptureFile(folder + "/missing/dir", &error));
    EXPECT_EQ(error, "ファイルまたはフォルダーが見つかりません。");
}

TEST(BuildCapture, TranscriptHoldsCommandLineMarkersAndEverythingWrittenInOrder) {
    QTemporaryDir capture, work;
    Shown shown;
    // Standard error between two lines of standard output, and a line far longer than 253
    // bytes with bytes that are not valid text.
    const std::string longLine(1000, 'x');
    const BuildCommand cmd =
        Command("echo one; echo two >&2; printf '" + longLine + "\\377\\201\\n'; pwd; cat",
                Native(work.path()));
    const CaptureResult r =
        RunCaptured(RunKind::Command, cmd, Sh(), QProcessEnvironment::systemEnvironment(),
                    Native(capture.path()), shown.Callbacks());
    EXPECT_EQ(r, CaptureResult::Finished);
    ASSERT_EQ(shown.texts.size(), 3u) << "after the line, after the start, at the end";
    const std::string line = "sh -c " + cmd.command + "\r\n";
    EXPECT_EQ(shown.texts[0], line);
    EXPECT_EQ(shown.texts[1], line + "*** コマンド開始 ***\r\n");
    // "cat" reads the null device and ends at once instead of waiting for input.
    EXPECT_EQ(shown.texts[2], line + "*** コマンド開始 ***\r\none\ntwo\n" + longLine +
                                  "\377\201\n" + Native(work.path()) +
                                  "\n*** コマンド終了 ***\r\n");
    EXPECT_EQ(shown.beeps, (std::vector<bool>{false, false, true}));
    EXPECT_TRUE(CaptureFiles(capture).isEmpty()) << "the capture file is deleted";
}

TEST(BuildCapture, FailuresEndWithTheErrorBlockAndNoMarkers) {
    QTemporaryDir capture;
    {
        Shown shown;
        CommandInterpreter missing = Sh();
        missing.path = "/nonexistent/mireka-sh";
        const CaptureResult r = RunCaptured(RunKind::Compile, Command("echo hi"), missing,
                                            QProcessEnvironment::systemEnvironment(),
                                            Native(capture.path()), shown.Callbacks());
        EXPECT_EQ(r, CaptureResult::NotStarted);
        ASSERT_EQ(shown.texts.size(), 2u);
        EXPECT_EQ(shown.texts[1],
                  "sh -c echo hi\r\n*** 拡張エラー情報 ***\r\n"
                  "コマンド インタープリター /nonexistent/mireka-sh が見つかりません。\r\n");
        EXPECT_EQ(shown.beeps.back(), true);
        EXPECT_TRUE(CaptureFiles(capture).isEmpty());
    }
    {
        // A working directory that does not exist cannot be entered.
        Shown shown;
        const CaptureResult r = RunCaptured(
            RunKind::Compile, Command("echo hi", Native(capture.path()) + "/gone"), Sh(),
            QProcessEnvironment::systemEnvironment(), Native(capture.path()), shown.Callbacks());
        EXPECT_EQ(r, CaptureResult::NotStarted);
        ASSERT_EQ(shown.texts.size(), 2u);
        EXPECT_EQ(shown.texts[1], "sh -c echo hi\r\n*** 拡張エラー情報 ***\r\n作業フォルダー " +
                                      Native(capture.path()) + "/gone/ が見つかりません。\r\n");
        EXPECT_TRUE(CaptureFiles(capture).isEmpty());
    }
    {
        // No place for the capture file.
        Shown shown;
        const CaptureResult r =
            RunCaptured(RunKind::Command, Command("echo hi"), Sh(),
                        QProcessEnvironment::systemEnvironment(), "", shown.Callbacks());
        EXPECT_EQ(r, CaptureResult::NotStarted);
        ASSERT_EQ(shown.texts.size(), 2u);
        EXPECT_EQ(shown.texts[1], "sh -c echo hi\r\n*** 拡張エラー情報 ***\r\n"
                                  "書き込めるプログラム フォルダーがありません。\r\n");
    }
}

TEST(BuildCapture, AnAbandonedRunEndsItsCommandPromptly) {
    QTemporaryDir capture;
    Shown shown;
    std::atomic<bool> gone{false};
    CaptureCallbacks cb = shown.Callbacks();
    cb.show = [&](const std::string& t, bool) {
        shown.texts.push_back(t);
        if (shown.texts.size() == 2) gone = true; // the view goes once the command runs
    };
    cb.abandoned = [&] { return gone.load(); };
    QElapsedTimer timer;
    timer.start();
    const CaptureResult r =
        RunCaptured(RunKind::Command, Command("sleep 60"), Sh(),
                    QProcessEnvironment::systemEnvironment(), Native(capture.path()), cb);
    EXPECT_EQ(r, CaptureResult::Abandoned);
    EXPECT_LT(timer.elapsed(), 30000) << "the command was ended, not waited for";
    EXPECT_EQ(shown.texts.size(), 2u) << "nothing is shown after the view has gone";
    EXPECT_TRUE(CaptureFiles(capture).isEmpty());
}

TEST(BuildCapture, ACommandPrintingWithoutEndIsEndedAtTheLimitWithEverythingItStarted) {
    QTemporaryDir capture;
    Shown shown;
    CaptureCallbacks cb = shown.Callbacks();
    cb.limit = 64 * 1024;
    // A pipeline: ending only the interpreter would leave "yes" writing.
    const CaptureResult r =
        RunCaptured(RunKind::Command, Command("yes mireka_limit_probe | cat"), Sh(),
                    QProcessEnvironment::systemEnvironment(), Native(capture.path()), cb);
    EXPECT_EQ(r, CaptureResult::Finished);
    ASSERT_EQ(shown.texts.size(), 3u);
    const std::string& text = shown.texts[2];
    // The limit falls inside a line ("mirek"): the end marker still starts a line of its own.
    static_assert(64 * 1024 % std::string_view("mireka_limit_probe\n").size() != 0);
    const std::string tail =
        "\r\n" + std::string(kCommandEndMarker) + std::string(kCaptureLimitNote);
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    const std::string head =
        "sh -c yes mireka_limit_probe | cat\r\n" + std::string(kCommandStartMarker);
    EXPECT_EQ(text.size(), head.size() + static_cast<std::size_t>(cb.limit) + tail.size())
        << "exactly the limit is kept";
    EXPECT_EQ(text.substr(head.size(), 22), "mireka_limit_probe\nmir");
    EXPECT_TRUE(CaptureFiles(capture).isEmpty());
    const auto running = [] {
        return QProcess::execute(QStringLiteral("pgrep"), {"-f", "yes mireka_limit_probe"}) == 0;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return !running(); }, 5000)) << "the pipeline was ended";
}

TEST(BuildCapture, OutputIsHandedOnAsItComesAndAddsUpToTheTranscript) {
    QTemporaryDir capture;
    Shown shown;
    std::string live;
    bool firstBeforeEnd = false;
    CaptureCallbacks cb = shown.Callbacks();
    cb.live = [&](std::string_view bytes) {
        live.append(bytes);
        if (live.find("tick1\n") != std::string::npos && shown.texts.size() == 2)
            firstBeforeEnd = true;
    };
    const CaptureResult r =
        RunCaptured(RunKind::Command, Command("for i in 1 2 3 4; do echo tick$i; sleep 0.2; done"),
                    Sh(), QProcessEnvironment::systemEnvironment(), Native(capture.path()), cb);
    EXPECT_EQ(r, CaptureResult::Finished);
    EXPECT_TRUE(firstBeforeEnd) << "the first line came while the command still ran";
    ASSERT_EQ(shown.texts.size(), 3u) << "the three displays stay";
    // What came live is exactly what lies between the start and end markers, or its start.
    const std::string& text = shown.texts[2];
    const std::size_t from = shown.texts[1].size();
    const std::string captured = text.substr(from, text.size() - from - kCommandEndMarker.size());
    EXPECT_EQ(captured, "tick1\ntick2\ntick3\ntick4\n");
    EXPECT_EQ(captured.rfind(live, 0), 0u);
}

TEST(BuildCapture, AStopEndsTheWholeGroupPolitelyOrByForceAndSaysSo) {
    struct Case {
        const char* command;
        bool ignoresTerm;
    } cases[] = {
        {"echo started; sleep 61.5 & wait", false},
        // Deaf to the polite request: ended by force after the grace time.
        {"trap '' TERM; echo started; while :; do sleep 61.7; done", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        QTemporaryDir capture;
        Shown shown;
        std::atomic<bool> stop{false};
        CaptureCallbacks cb = shown.Callbacks();
        std::string live;
        cb.live = [&](std::string_view bytes) {
            live.append(bytes);
            if (live.find("started\n") != std::string::npos) stop = true;
        };
        cb.stop = [&] { return stop.load(); };
        QElapsedTimer timer;
        timer.start();
        const CaptureResult r =
            RunCaptured(RunKind::Command, Command(c.command), Sh(),
                        QProcessEnvironment::systemEnvironment(), Native(capture.path()), cb);
        EXPECT_EQ(r, CaptureResult::Stopped);
        if (c.ignoresTerm) {
            EXPECT_GE(timer.elapsed(), 1900) << "the grace time was given";
        }
        EXPECT_LT(timer.elapsed(), 30000);
        ASSERT_EQ(shown.texts.size(), 3u);
        EXPECT_EQ(shown.texts[2], "sh -c " + std::string(c.command) +
                                      "\r\n*** コマンド開始 ***\r\nstarted\n"
                                      "*** 中止しました ***\r\n*** コマンド終了 ***\r\n");
        EXPECT_EQ(shown.beeps.back(), true);
        EXPECT_TRUE(CaptureFiles(capture).isEmpty());
    }
    const auto running = [] {
        return QProcess::execute(QStringLiteral("pgrep"), {"-f", "sleep 61\\.[57]"}) == 0;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return !running(); }, 5000)) << "children were ended too";
}

TEST(BuildLauncher, TerminalIsTheOverrideThenTheDebianChoiceThenTerminalThenXterm) {
    QTemporaryDir bin;
    const auto make = [&](const char* name) {
        test::WriteScript(bin.filePath(name), "#!/bin/sh\n");
        return Native(bin.filePath(name));
    };
    const PathPredicate executable = RealFileProbe().executable;
    MemoryEnvironment env{{"PATH", Native(bin.path())}};
    EXPECT_EQ(FindTerminal(env, executable), "") << "nothing installed";
    const std::string xterm = make("xterm");
    EXPECT_EQ(FindTerminal(env, executable), xterm);
    const std::string kitty = make("kitty");
    env.Set("TERMINAL", "kitty");
    EXPECT_EQ(FindTerminal(env, executable), kitty);
    env.Set("TERMINAL", "/nonexistent/term");
    EXPECT_EQ(FindTerminal(env, executable), xterm) << "a $TERMINAL that is not there";
    const std::string debian = make("x-terminal-emulator");
    env.Set("TERMINAL", "kitty");
    EXPECT_EQ(FindTerminal(env, executable), debian);
    env.Set("MIREKA_TERMINAL", "/tests/record-terminal");
    EXPECT_EQ(FindTerminal(env, executable), "/tests/record-terminal");

    LaunchCommand c;
    c.program = "/bin/sh";
    c.arguments = {"/prog dir/do_exe.sh"};
    c.newTerminal = true;
    const std::optional<ProcessStart> inTerminal = MakeProcessStart(c, xterm);
    ASSERT_TRUE(inTerminal);
    EXPECT_EQ(inTerminal->program, xterm);
    EXPECT_EQ(inTerminal->arguments,
              (std::vector<std::string>{"-e", "/bin/sh", "/prog dir/do_exe.sh"}));
    c.newTerminal = false;
    const std::optional<ProcessStart> direct = MakeProcessStart(c, xterm);
    ASSERT_TRUE(direct);
    EXPECT_EQ(direct->program, "/bin/sh");
    EXPECT_EQ(direct->arguments, c.arguments);
}

TEST(BuildLauncher, TheDebianChoiceIsTakenForTheEmulatorItsLinksLeadTo) {
    // x-terminal-emulator -> alternatives/x-terminal-emulator -> ../real/xfce4-terminal.wrapper
    QTemporaryDir root;
    QDir dir(root.path());
    ASSERT_TRUE(dir.mkpath("bin") && dir.mkpath("alternatives") && dir.mkpath("real"));
    ASSERT_TRUE(test::WriteScript(dir.filePath("real/xfce4-terminal.wrapper"), "#!/bin/sh\n"));
    ASSERT_TRUE(QFile::link("../real/xfce4-terminal.wrapper",
                            dir.filePath("alternatives/x-terminal-emulator")));
    ASSERT_TRUE(QFile::link(dir.filePath("alternatives/x-terminal-emulator"),
                            dir.filePath("bin/x-terminal-emulator")));
    const std::string terminal = Native(dir.filePath("bin/x-terminal-emulator"));
    EXPECT_EQ(TerminalNames(terminal),
              (std::vector<std::string>{"x-terminal-emulator", "x-terminal-emulator",
                                        "xfce4-terminal.wrapper"}));
    MemoryEnvironment env{{"PATH", Native(dir.filePath("bin"))}};
    EXPECT_EQ(FindTerminal(env, RealFileProbe().executable), terminal);

    LaunchCommand c;
    c.program = "/bin/sh";
    c.arguments = {"/home/u/UMO Software/Mireka/do_exe.sh"};
    c.newTerminal = true;
    const std::optional<ProcessStart> start = MakeProcessStart(c, terminal);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->program, terminal) << "started by the name it was found by";
    EXPECT_EQ(start->arguments,
              (std::vector<std::string>{"-e", "/bin/sh '/home/u/UMO Software/Mireka/do_exe.sh'"}));

    // A loop of links ends; a bare name is not looked at.
    ASSERT_TRUE(QFile::link(dir.filePath("loop-b"), dir.filePath("loop-a")));
    ASSERT_TRUE(QFile::link(dir.filePath("loop-a"), dir.filePath("loop-b")));
    EXPECT_EQ(TerminalNames(Native(dir.filePath("loop-a"))).size(), 17u);
    EXPECT_EQ(TerminalNames("konsole"), (std::vector<std::string>{"konsole"}));
}

TEST(BuildLauncher, StartsInItsDirectoryWithTheProgramsEnvironmentWithoutWaiting) {
    test::EnvironmentReset reset;
    QTemporaryDir dir;
    const QString terminal = dir.filePath("record-terminal");
    const QString log = dir.filePath("terminal.log");
    ASSERT_TRUE(test::WriteScript(terminal, test::kRecordingTerminal));
    ProgramEnvironment& env = ProgramEnvironment::Instance();
    env.Set("MIREKA_TERMINAL", Native(terminal));
    env.Set("MIREKA_TERMINAL_LOG", Native(log));
    env.Set("MIREKA_ONLY_IN_COPY", "seen");
    QDir(dir.path()).mkdir("work dir");

    LaunchCommand c;
    c.program = "/bin/sh";
    c.arguments = {"-c", "echo \"$MIREKA_ONLY_IN_COPY\" \"$1\"", "sh", "a b"};
    c.directory = Native(dir.filePath("work dir")) + "/";
    c.newTerminal = true;
    std::string error;
    ASSERT_TRUE(StartDetached(c, env, env.Snapshot(), &error)) << error;
    MIREKA_WAIT_FOR(test::ReadBytes(log).contains("exit 0"), 20000);
    const QByteArray recorded = test::ReadBytes(log);
    EXPECT_TRUE(recorded.startsWith("cwd " + dir.filePath("work dir").toUtf8() + "\narg -e\n"))
        << recorded.constData();
    EXPECT_EQ(test::ReadBytes(log + ".out"), "seen a b\n");

    env.Set("MIREKA_TERMINAL", "/nonexistent/terminal");
    error.clear();
    EXPECT_FALSE(StartDetached(c, env, env.Snapshot(), &error));
    EXPECT_FALSE(error.empty());
}

TEST(BuildShellLink, WritesAnExecutableDesktopEntryAndReplacesAnOldOne) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(kShortcutFileName.data()));
    test::WriteBytes(path, "old");
    ShellLink link;
    link.name = "Mireka";
    link.target = "/opt/mireka dir/mireka";
    link.description = "C 言語の学習用統合環境";
    ASSERT_TRUE(CreateShellLink(Native(path), link));
    const QByteArray text = test::ReadBytes(path);
    EXPECT_EQ(QByteArray::fromStdString(MakeDesktopEntry(link)), text);
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(QFileInfo(path).permissions() & QFileDevice::ExeOwner);
    EXPECT_FALSE(CreateShellLink(Native(dir.filePath("missing/Mireka.desktop")), link));
    EXPECT_FALSE(CreateShellLink("", link));

    // The folders follow the XDG variables the test's start-up points at temporary folders.
    const auto desktop = ShellFolderPath("Desktop");
    const auto programs = ShellFolderPath("Programs");
    ASSERT_TRUE(desktop && programs);
    EXPECT_EQ(*programs, Native(qEnvironmentVariable("XDG_DATA_HOME") + "/applications"));
    EXPECT_FALSE(ShellFolderPath("SendTo").has_value());
}

} // namespace
} // namespace mireka
