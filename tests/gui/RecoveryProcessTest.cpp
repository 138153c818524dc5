// Recovery end to end with the real program on a real X server: typed text survives SIGKILL,
// the next start restores it (or deletes it), and a running instance's text is left alone.
#include "BuildTestSupport.h"
#include "GuiTestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace mireka {
namespace {

using test::ReadBytes;
using test::WriteBytes;

constexpr int kWaitMs = 30000;

class RecoveryProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("Xvfb").isEmpty() ||
            QStandardPaths::findExecutable("xdotool").isEmpty())
            GTEST_SKIP() << "needs Xvfb and xdotool";
        // A display of its own: Xvfb writes the number it took.
        xvfb.setProgram("Xvfb");
        // No reset when the last client leaves: each xdotool call and each killed program is
        // one, and a server resetting that often was seen to go away under load.
        xvfb.setArguments(
            {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"});
        xvfb.start();
        ASSERT_TRUE(xvfb.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor([&] { return xvfb.canReadLine(); }, kWaitMs));
        display = ":" + QString::fromLatin1(xvfb.readLine().trimmed());
        env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display);
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_DATA_HOME", home.filePath("data"));
        env.insert("XDG_CACHE_HOME", home.filePath("cache"));
        recovery = home.filePath("data/UMO Software/Mireka/recovery");
    }
    void TearDown() override {
        for (auto& p : programs)
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished();
            }
        xvfb.kill();
        xvfb.waitForFinished();
    }

    QProcess& Launch(const QString& file) {
        programs.push_back(std::make_unique<QProcess>());
        QProcess& p = *programs.back();
        p.setProcessEnvironment(env);
        p.setProgram(QStringLiteral(MIREKA_BINARY));
        p.setArguments({file});
        p.start();
        return p;
    }
    // xdotool on the test's display; its output.
    QString Xdo(const QStringList& args) {
        QProcess x;
        x.setProcessEnvironment(env);
        x.start("xdotool", args);
        x.waitForFinished(kWaitMs);
        return QString::fromUtf8(x.readAllStandardOutput()).trimmed();
    }
    // The visible window whose title matches `pattern`, or empty.
    QString Window(const QString& pattern) {
        return Xdo({"search", "--onlyvisible", "--name", pattern}).section('\n', 0, 0);
    }
    QString WaitForWindow(const QString& pattern) {
        QString id;
        (void)QTest::qWaitFor([&] { return !(id = Window(pattern)).isEmpty(); }, kWaitMs);
        // Mapped is not yet ready for keys on a busy machine: the focus is set after the show.
        QTest::qWait(300);
        return id;
    }
    void Keys(const QString& window, const QStringList& keys) {
        Xdo({"windowfocus", "--sync", window});
        for (const QString& k : keys)
            Xdo({"key", "--clearmodifiers", k});
    }
    void Type(const QString& window, const QString& text) {
        Xdo({"windowfocus", "--sync", window});
        Xdo({"type", "--delay", "30", text});
    }
    // What the display and the folder hold, for a failure's message.
    QString Scene() {
        QStringList names;
        for (const QString& id :
             Xdo({"search", "--onlyvisible", "--name", "."}).split('\n', Qt::SkipEmptyParts))
            names << Xdo({"getwindowname", id});
        QStringList running;
        for (const auto& p : programs)
            running << QString::number(p->state()) + ":" +
                           QString::fromLocal8Bit(p->readAllStandardError());
        return "X server " + QString::number(xvfb.state()) + ": " +
               QString::fromLocal8Bit(xvfb.readAllStandardError()) +
               "\nvisible windows: " + names.join(" | ") +
               "\nfolder: " + QDir(recovery).entryList(QDir::Files).join(' ') +
               "\nprograms: " + running.join(" | ");
    }
    QStringList Kept() { return QDir(recovery).entryList({"*.rcv"}, QDir::Files); }
    static void Kill(QProcess& p) {
        p.kill(); // SIGKILL: no chance to clean up
        p.waitForFinished();
    }

    QProcess xvfb;
    QString display;
    QTemporaryDir home;
    QTemporaryDir work;
    QString recovery;
    QProcessEnvironment env;
    std::vector<std::unique_ptr<QProcess>> programs;
};

TEST_F(RecoveryProcessTest, TypedTextSurvivesAKillAndComesBackOnYesOrGoesOnNo) {
    const QString a = work.filePath("a.c");
    for (const bool restore : {true, false}) {
        SCOPED_TRACE(restore);
        WriteBytes(a, "int a;\r\n");
        QProcess& first = Launch(a);
        const QString w = WaitForWindow("^a\\.c - Mireka$");
        ASSERT_FALSE(w.isEmpty());
        Type(w, "abc");
        MIREKA_WAIT_FOR(Kept().size() == 1, kWaitMs);
        Kill(first);
        ASSERT_EQ(Kept().size(), 1) << "the killed instance's file stays";

        QProcess& second = Launch(a);
        const QString question = WaitForWindow("^Mireka$");
        ASSERT_FALSE(question.isEmpty()) << "the question is asked\n" << Scene().toStdString();
        Keys(question, {restore ? "Return" : "Escape"});
        const QString w2 = WaitForWindow("a\\.c");
        ASSERT_FALSE(w2.isEmpty());
        if (restore) {
            Keys(w2, {"ctrl+s"});
            MIREKA_WAIT_FOR(ReadBytes(a) == "abcint a;\r\n", kWaitMs);
        } else {
            MIREKA_WAIT_FOR(Kept().isEmpty(), kWaitMs);
            EXPECT_EQ(ReadBytes(a), "int a;\r\n");
        }
        Keys(w2, {"alt+f", "x"});
        ASSERT_TRUE(second.waitForFinished(kWaitMs)) << "a clean exit";
        EXPECT_TRUE(QDir(recovery).entryList(QDir::Files).isEmpty()) << "nothing left behind";
    }
}

TEST_F(RecoveryProcessTest, ARunningInstancesTextIsNeverOfferedToAnother) {
    const QString a = work.filePath("a.c"), b = work.filePath("b.c");
    WriteBytes(a, "int a;\r\n");
    WriteBytes(b, "int b;\r\n");
    QProcess& first = Launch(a);
    const QString w = WaitForWindow("^a\\.c - Mireka$");
    ASSERT_FALSE(w.isEmpty());
    Type(w, "xyz");
    MIREKA_WAIT_FOR(Kept().size() == 1, kWaitMs);

    QProcess& second = Launch(b);
    const QString w2 = WaitForWindow("^b\\.c - Mireka$");
    ASSERT_FALSE(w2.isEmpty());
    QTest::qWait(500);
    EXPECT_TRUE(Window("^Mireka$").isEmpty()) << "no question while the owner runs";
    Keys(w2, {"alt+f", "x"});
    ASSERT_TRUE(second.waitForFinished(kWaitMs));
    EXPECT_EQ(Kept().size(), 1) << "the other instance's file is untouched";

    Kill(first);
    QProcess& third = Launch(b);
    const QString question = WaitForWindow("^Mireka$");
    ASSERT_FALSE(question.isEmpty()) << Scene().toStdString();
    Keys(question, {"Return"});
    const QString w3 = WaitForWindow("^\\*?a\\.c");
    ASSERT_FALSE(w3.isEmpty()) << "the restored document replaces the one opened";
    Keys(w3, {"ctrl+s"});
    MIREKA_WAIT_FOR(ReadBytes(a) == "xyzint a;\r\n", kWaitMs);
    Keys(w3, {"alt+f", "x"});
    EXPECT_TRUE(third.waitForFinished(kWaitMs));
}

TEST(ProgramSwitches, HelpAndVersionAnswerOnATerminalWithoutAnyDisplay) {
    for (const auto& [word, start] :
         {std::pair{"--version", "Mireka "}, std::pair{"--help", "使い方: mireka [ファイル]"}}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(MIREKA_BINARY), {QString::fromLatin1(word)});
        ASSERT_TRUE(p.waitForFinished(kWaitMs)) << word;
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0) << word;
        EXPECT_TRUE(
            QString::fromUtf8(p.readAllStandardOutput()).startsWith(QString::fromUtf8(start)))
            << word;
    }
}

} // namespace
} // namespace mireka
