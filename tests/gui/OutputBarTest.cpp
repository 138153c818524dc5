// The output window: text handed over from worker threads, and the jump from a compiler message
// to the source line, by the rule of each toolchain, with real mouse events.
#include "gui/document/OutputBar.h"
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/document/MyView.h"
#include "gui/toolchain/BuildSession.h"

#include "GuiTestSupport.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>

namespace mireka {
namespace {

TEST(OutputDisplayBytes, BuildTextBecomesCodePage932WithCrLf) {
    EXPECT_EQ(OutputDisplayBytes("gcc -c t.c\r\n"), "gcc -c t.c\r\n");
    // The system's UTF-8 (gcc's quotes and our own markers) in the control's code page.
    EXPECT_EQ(OutputDisplayBytes("*** コンパイル開始 ***\r\n"),
              "*** \x83\x52\x83\x93\x83\x70\x83\x43\x83\x8b\x8a\x4a\x8e\x6e ***\r\n");
    // Lone LF and lone CR end lines as CR LF; NUL bytes go.
    EXPECT_EQ(OutputDisplayBytes("a\nb\rc\r\nd"), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(OutputDisplayBytes(std::string("x\0y", 3)), "xy");
    // What the code page cannot show is a "?" each, and the rest of the text stays.
    EXPECT_EQ(OutputDisplayBytes(
                  "t.c:1:1: error: \xe2\x80\x98x\xe2\x80\x99 caf\xc3\xa9 \xf0\x9f\x98\x80\n"
                  "\xe3\x81\x82\n"),
              "t.c:1:1: error: \x81\x65x\x81\x66 caf? ?\r\n\x82\xa0\r\n");
    EXPECT_EQ(OutputDisplayBytes("bad \xff byte"), "bad ? byte");
}

class OutputBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        QApplication::setQuitOnLastWindowClosed(false);
        ASSERT_TRUE(app.InitInstance({}));
        frame = app.MainFrame();
        edit = frame->OutputBar()->Edit();
        QApplication::setActiveWindow(frame);
        frame->resize(800, 600);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
        QApplication::processEvents();
    }
    // A transcript of `lines` numbered lines, each ending in CR LF.
    static std::string Transcript(int lines, const std::string& tag) {
        std::string text;
        for (int i = 1; i <= lines; ++i)
            text += tag + " line " + std::to_string(i) + "\r\n";
        return text;
    }
    // The transcript's last line is in view, at its end.
    bool ShowsTheEnd() const {
        const Offset len = edit->GetWindowTextLength();
        const int last = edit->LineFromChar(len >= 2 ? len - 2 : 0);
        const int first = edit->GetFirstVisibleLine();
        const int rows = edit->viewport()->height() / edit->LineHeight();
        const QPoint end = edit->PosFromChar(len >= 2 ? len - 2 : 0);
        return rows > 0 && first <= last && last < first + rows && end.x() >= 0 &&
               end.x() <= edit->viewport()->width();
    }
    // Double-clicks output line `line` a few characters in.
    void DoubleClickLine(int line, int column = 3) {
        edit->SetSel(edit->LineIndex(line), edit->LineIndex(line));
        edit->ScrollCaret();
        const QPoint p =
            edit->PosFromChar(edit->LineIndex(line) + column) + QPoint(1, edit->LineHeight() / 2);
        QTest::mouseDClick(edit->viewport(), Qt::LeftButton, {}, p);
    }

    test::PrivateSettings settings;
    test::FakePrompts prompts;
    CMyApp app;
    CMainFrame* frame = nullptr;
    COutputEdit* edit = nullptr;
};

TEST_F(OutputBarTest, EachReplacementShowsTheEndOfTheTranscript) {
    std::string text;
    for (int step = 1; step <= 5; ++step) {
        text += Transcript(30, "step " + std::to_string(step));
        frame->ShowBuildOutput(text);
        EXPECT_EQ(edit->GetWindowText(), text);
        EXPECT_EQ(edit->Control().Caret(), static_cast<Offset>(text.size()));
        EXPECT_FALSE(edit->Control().HasSelection());
        EXPECT_GT(edit->verticalScrollBar()->maximum(), 0);
        EXPECT_TRUE(ShowsTheEnd()) << step;
    }
    // A new document empties the window.
    app.OnFileNew();
    EXPECT_EQ(edit->GetWindowText(), "");
}

TEST_F(OutputBarTest, LiveOutputFollowsTheEndUnlessTheUserScrolledUp) {
    frame->ShowBuildOutput("sh -c loop\r\n*** コマンド開始 ***\r\n");
    std::string text = edit->GetWindowText();
    for (int step = 1; step <= 3; ++step) {
        const std::string piece = Transcript(40, "tick " + std::to_string(step));
        frame->AppendBuildOutput(piece);
        text += piece;
        EXPECT_EQ(edit->GetWindowText(), text);
        QApplication::processEvents();
        EXPECT_TRUE(ShowsTheEnd()) << step;
    }
    // The user selects a line near the top and reads there: new output changes neither.
    edit->verticalScrollBar()->setValue(3);
    edit->SetSel(edit->LineIndex(4), edit->LineIndex(5));
    frame->AppendBuildOutput(Transcript(40, "more"));
    EXPECT_EQ(edit->verticalScrollBar()->value(), 3);
    EXPECT_EQ(edit->Control().SelStart(), edit->LineIndex(4));
    EXPECT_EQ(edit->Control().SelEnd(), edit->LineIndex(5));
    // Back at the end, it follows again.
    edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum());
    frame->AppendBuildOutput(Transcript(40, "last"));
    EXPECT_EQ(edit->verticalScrollBar()->value(), edit->verticalScrollBar()->maximum());
    EXPECT_TRUE(ShowsTheEnd());

    // The end display: the whole transcript, whether the window holds its start (only the rest
    // is added) or something else came in between (it is replaced).
    const std::string held = edit->GetWindowText();
    const std::string whole = held + "end\r\n";
    for (const bool cutIn : {false, true}) {
        frame->ShowBuildDisplay(held, std::nullopt);
        if (cutIn) frame->ShowBuildDisplay("new document\r\n", std::nullopt);
        frame->ShowBuildDisplay(whole, held.size());
        EXPECT_EQ(edit->GetWindowText(), whole) << cutIn;
        EXPECT_EQ(edit->Control().Caret(), static_cast<Offset>(whole.size()));
        EXPECT_TRUE(ShowsTheEnd());
    }
}

TEST_F(OutputBarTest, ReplacementsFromSeveralThreadsNeverInterleave) {
    BuildLink& handOver = frame->View()->Build().Output();
    constexpr int kThreads = 4;
    constexpr int kCalls = 25;
    std::set<std::string> submitted;
    for (int t = 0; t < kThreads; ++t)
        for (int c = 0; c < kCalls; ++c)
            submitted.insert(Transcript(40 + c, "thread " + std::to_string(t)));

    std::mutex shownMutex;
    std::multiset<std::string> shown;
    int badReplacements = 0;
    QObject::connect(edit, &COutputEdit::Replaced, edit, [&] {
        const std::string text = edit->GetWindowText();
        if (!submitted.count(text) || edit->Control().Caret() != Offset(text.size()) ||
            !ShowsTheEnd())
            ++badReplacements;
        const std::lock_guard lock(shownMutex);
        shown.insert(text);
    });

    std::atomic<int> finished = 0;
    std::atomic<int> returnedEarly = 0;
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t) {
        workers.emplace_back([&, t] {
            for (int c = 0; c < kCalls; ++c) {
                const std::string text = Transcript(40 + c, "thread " + std::to_string(t));
                BuildLink::Display display{text, OutputDisplayBytes(text), std::nullopt, false};
                handOver.Show(display);
                // The call returns only once its text has been shown.
                const std::lock_guard lock(shownMutex);
                if (!shown.count(text)) ++returnedEarly;
            }
            ++finished;
        });
    }
    while (finished < kThreads)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    for (std::thread& w : workers)
        w.join();
    EXPECT_EQ(badReplacements, 0);
    EXPECT_EQ(returnedEarly, 0);
    EXPECT_EQ(shown.size(), static_cast<std::size_t>(kThreads * kCalls));
}

TEST_F(OutputBarTest, DoubleClickJumpsByTheRuleOfTheSelectedToolchain) {
    CMyView* view = frame->View();
    std::string source;
    for (int i = 1; i <= 30; ++i)
        source += "int v" + std::to_string(i) + ";\r\n";
    view->SetWindowText(source);
    const std::string transcript = "Error E2379 hello.c 5: Statement missing ; in function main\r\n"
                                   "hello.c(12) : error C2143: syntax error : missing ';'\r\n"
                                   "hello.c:7:3: error: expected ';' before 'return'\r\n"
                                   "t.c 1: first line\r\n"
                                   "t.c 99: past the end\r\n"
                                   "x y: z\r\n";
    frame->ShowBuildOutput(transcript);

    struct Case {
        int toolchain;
        int outputLine;
        int editorLine; // 0-based; -1: the caret stays
    };
    const Case cases[] = {
        {1, 0, 4},  {0, 0, 4},  {2, 1, 11}, {3, 2, 6},  {1, 3, 0},
        {1, 4, -1}, {0, 2, -1}, {2, 0, -1}, {1, 5, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "toolchain " << c.toolchain << ", output line " << c.outputLine);
        frame->SetToolchain(c.toolchain);
        view->SetSel(3, 3);
        view->setFocus();
        DoubleClickLine(c.outputLine);
        const Offset expected = c.editorLine < 0 ? 3 : view->LineIndex(c.editorLine);
        EXPECT_EQ(view->Control().SelStart(), expected);
        EXPECT_EQ(view->Control().SelEnd(), expected);
        if (c.editorLine >= 0) {
            EXPECT_TRUE(view->hasFocus());
        }
    }
    EXPECT_EQ(view->GetWindowText(), source) << "a jump never changes the text";
    EXPECT_EQ(edit->GetWindowText(), transcript);

    // A line with a number selects the clicked word as usual; one without the separators does
    // nothing at all.
    frame->SetToolchain(1);
    DoubleClickLine(5, 0); // "x y: z": separators, but a word where the number should be
    EXPECT_EQ(edit->Control().SelectedText(), "x");
    DoubleClickLine(2, 0); // GCC's form read by the LSI C-86 rule
    EXPECT_FALSE(edit->Control().HasSelection());
}

TEST_F(OutputBarTest, TheJumpScrollsALineFarDownIntoView) {
    CMyView* view = frame->View();
    std::string source;
    for (int i = 1; i <= 500; ++i)
        source += "x;\r\n";
    view->SetWindowText(source);
    frame->SetToolchain(3);
    frame->ShowBuildOutput("main.c:400:1: warning: here\n");
    DoubleClickLine(0);
    EXPECT_EQ(view->Control().Caret(), view->LineIndex(399));
    const int first = view->GetFirstVisibleLine();
    EXPECT_LE(first, 399);
    EXPECT_GT(first + view->viewport()->height() / view->LineHeight(), 399);
}

} // namespace
} // namespace mireka
