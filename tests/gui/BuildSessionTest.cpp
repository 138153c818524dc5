// The build session on its own, without a view or a frame: its settings' load and save, and a
// command's run from start to stop through its hand-over.
#include "gui/toolchain/BuildSession.h"
#include "core/base/Paths.h"
#include "core/base/Profile.h"
#include "gui/document/OutputBar.h"

#include "BuildTestSupport.h"
#include "GuiTestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace mireka {
namespace {

constexpr int kLongWaitMs = 60000;

struct Shown {
    std::string text;
    bool ready;
};

class BuildSessionTest : public ::testing::Test {
protected:
    // Capture files go to a folder of the test's own, where the commands run.
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ProgramDirectories dirs = saved;
        dirs.writable = test::Native(dir.path());
        SetProgramDirectories(dirs);
    }
    void TearDown() override { SetProgramDirectories(saved); }

    void Run(BuildSession& session, const std::string& line) {
        const CommandInterpreter shell = GetCommandInterpreter(ProgramEnvironment::Instance());
        session.Start(1, RunKind::Command,
                      MakeUserCommand(shell, line, test::Native(dir.filePath("x.c"))),
                      std::nullopt);
    }

    QTemporaryDir dir;
    const ProgramDirectories saved = GetProgramDirectories();
    test::EnvironmentReset reset;
    test::PrivateSettings settings;
    test::FakePrompts prompts;
    QWidget owner; // in no frame: the hand-over tells only the observer
};

TEST_F(BuildSessionTest, SettingsAreLoadedWhenItIsMadeAndSavedWhenItGoes) {
    WriteProfileString("Settings", "CommandLine", "echo stored");
    {
        BuildSession session(owner, &OutputDisplayBytes);
        EXPECT_EQ(session.Settings().m_strCommandLine, "echo stored");
        session.Settings().m_strCommandLine = "echo changed";
        EXPECT_EQ(GetProfileString("Settings", "CommandLine"), "echo stored");
    }
    EXPECT_EQ(GetProfileString("Settings", "CommandLine"), "echo changed");
}

TEST_F(BuildSessionTest, ACommandRunsOnTheWorkerUntilStoppedAndTheSessionIsReadyAgain) {
    BuildSession session(owner, &OutputDisplayBytes);
    std::vector<Shown> shown;
    session.SetOutputObserver([&](const std::string& text, bool ready) {
        shown.push_back({text, ready});
    });
    // Asking for a command line holds the session; letting go makes it ready.
    session.Hold();
    EXPECT_FALSE(session.IsReady());
    session.Release();
    EXPECT_TRUE(session.IsReady());

    const std::string line = "echo begun; while :; do sleep 1; done";
    session.Hold();
    Run(session, line);
    EXPECT_TRUE(session.IsRunning());
    MIREKA_WAIT_FOR(shown.size() == 2u, kLongWaitMs);
    EXPECT_TRUE(session.IsRunning()) << "the command never ends by itself";
    session.Stop();
    MIREKA_WAIT_FOR(session.IsReady(), kLongWaitMs);
    EXPECT_FALSE(session.IsRunning());
    ASSERT_EQ(shown.size(), 3u) << "after the command line, after the start marker, at the end";
    EXPECT_EQ(shown[2].text, "sh -c " + line +
                                 "\r\n*** コマンド開始 ***\r\nbegun\n*** 中止しました ***\r\n"
                                 "*** コマンド終了 ***\r\n");
    for (const Shown& s : shown)
        EXPECT_FALSE(s.ready) << "shown while the worker runs: " << s.text;
    EXPECT_EQ(prompts.beeps, 1) << "the end display beeps";
    EXPECT_TRUE(QDir(dir.path()).entryList({"mrk*"}, QDir::Files).isEmpty());

    // A second run starts afresh: the stop request of the first is forgotten.
    shown.clear();
    Run(session, "echo again");
    MIREKA_WAIT_FOR(session.IsReady() && shown.size() == 3u, kLongWaitMs);
    EXPECT_EQ(shown[2].text, "sh -c echo again\r\n*** コマンド開始 ***\r\nagain\n"
                             "*** コマンド終了 ***\r\n");
}

} // namespace
} // namespace mireka
