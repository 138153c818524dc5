// Colouring in the window: runs from the lexer, the line-state cache, the switch, selections.
#include "gui/editor/ColorEditView.h"

#include "GuiTestSupport.h"

#include <QApplication>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

namespace mireka {
namespace {

class ProbeView : public CColorEditView {
public:
    std::vector<ColoredRun> Runs(int line, std::size_t from = 0,
                                 std::size_t to = std::string::npos) {
        std::vector<ColoredRun> runs;
        const std::string text = Control().LineText(line);
        LineColors(line, text, from, std::min(to, text.size()), runs);
        return runs;
    }
};

constexpr QRgb kKeyword = qRgb(0, 0, 255);
constexpr QRgb kComment = qRgb(192, 0, 0);
constexpr QRgb kString = qRgb(0, 128, 128);

class ColorEditViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        view.resize(500, 300);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        view.SetColors(0xFF0000, 0x808000, 0x0000C0, 0x000000, 0xFFFFFF);
    }
    test::FakePrompts prompts;
    ProbeView view;
};

TEST_F(ColorEditViewTest, KeywordsCommentsAndStringsGetTheirColours) {
    view.SetWindowText("int x; // int\r\nprintf(\"a\\\"b\");");
    const auto line0 = view.Runs(0);
    ASSERT_EQ(line0.size(), 2u);
    EXPECT_EQ(line0[0].start, 0);
    EXPECT_EQ(line0[0].end, 3);
    EXPECT_EQ(line0[0].color, kKeyword);
    EXPECT_EQ(line0[1].start, 7);
    EXPECT_EQ(line0[1].end, 13);
    EXPECT_EQ(line0[1].color, kComment);
    const auto line1 = view.Runs(1);
    ASSERT_EQ(line1.size(), 1u);
    EXPECT_EQ(line1[0].start, 7);
    EXPECT_EQ(line1[0].end, 13) << "the escaped quote stays inside the string";
    EXPECT_EQ(line1[0].color, kString);
}

TEST_F(ColorEditViewTest, BlockCommentStateIsCarriedDownAndFollowsEdits) {
    view.SetWindowText("int a;\r\nb */ int c;\r\nint d;");
    view.viewport()->repaint();
    EXPECT_EQ(view.LineState(1), 0u);
    // Typing "/*" on the first line: the following lines now begin inside the comment.
    view.SetSel(0, 0);
    QTest::keyClicks(&view, "/*");
    view.viewport()->repaint();
    EXPECT_EQ(view.LineState(1), 8u);
    EXPECT_EQ(view.LineState(2), 0u) << "the comment closes on the second line";
    const auto line1 = view.Runs(1);
    ASSERT_EQ(line1.size(), 2u);
    EXPECT_EQ(line1[0].color, kComment);
    EXPECT_EQ(line1[0].end, 4);
    EXPECT_EQ(line1[1].color, kKeyword);
    // Undo takes the opener away and the states follow on the next paint.
    view.Undo();
    view.viewport()->repaint();
    EXPECT_EQ(view.LineState(1), 0u);
}

TEST_F(ColorEditViewTest, ALongLineIsColouredAgainOnlyWhenItChanges) {
    const std::string body(100 * 1024, 'x'); // long enough to keep its spans between paints
    view.SetWindowText("int " + body + "\r\nint z;");
    auto runs = view.Runs(0);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].color, kKeyword);
    EXPECT_EQ(view.Runs(0).size(), 1u) << "asked again, the same spans";
    // An edit on the line: the comment opener now colours all of it and the next line's start.
    view.SetSel(0, 0);
    view.ReplaceSel("/*");
    runs = view.Runs(0);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].color, kComment);
    EXPECT_EQ(runs[0].end, static_cast<std::int32_t>(body.size() + 6));
    EXPECT_EQ(view.LineState(1), 8u);
    // Taking the opener out again brings the keyword and the next line's state back.
    view.SetSel(0, 2);
    view.ReplaceSel("");
    runs = view.Runs(0);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].color, kKeyword);
    EXPECT_EQ(view.LineState(1), 0u);
}

TEST_F(ColorEditViewTest, AWindowOfALongLineHasTheColoursOfTheWholeLine) {
    // A megabyte line of code; windows anywhere, before and after edits, colour as the whole.
    std::string line;
    while (line.size() < (1u << 20))
        line += "x = y + 1; /* c */ s = \"t\\\"\"; if (a) return; ";
    view.SetWindowText(line + "\r\nint z;");
    auto expect = [&](std::size_t from, std::size_t to) {
        std::vector<ColorSpan> spans;
        ColorizeLine(view.Control().LineText(0), kStateNormal, spans);
        std::vector<ColoredRun> whole;
        for (const ColorSpan& s : spans)
            if (s.cls != ColorClass::Text && s.end > static_cast<std::int32_t>(from) &&
                s.start < static_cast<std::int32_t>(to))
                whole.push_back({s.start, s.end, 0});
        std::vector<ColoredRun> window;
        for (const ColoredRun& r : view.Runs(0, from, to))
            if (r.end > static_cast<std::int32_t>(from) && r.start < static_cast<std::int32_t>(to))
                window.push_back({r.start, r.end, 0});
        ASSERT_EQ(window.size(), whole.size()) << from;
        for (std::size_t i = 0; i < whole.size(); ++i) {
            // The window's first and last spans may be cut at its edges.
            EXPECT_EQ(std::max(window[i].start, std::int32_t(from)),
                      std::max(whole[i].start, std::int32_t(from)));
            EXPECT_EQ(std::min(window[i].end, std::int32_t(to)),
                      std::min(whole[i].end, std::int32_t(to)));
        }
    };
    expect(500000, 500200);
    expect(1000, 1100);
    expect(line.size() - 100, line.size());
    view.SetSel(600000, 600000);
    view.ReplaceSel("\""); // opens a string up to the next quote
    expect(600000, 600300);
    expect(line.size() - 100, line.size() + 1);
    view.SetSel(10, 10);
    view.ReplaceSel("/*"); // everything after is comment until the first closer
    expect(0, 200);
    expect(800000, 800100);
    EXPECT_EQ(view.LineState(1), 0u);

    // The next line's state follows every edit, wherever it is made in the line.
    const auto endState = [&] {
        std::vector<ColorSpan> spans;
        return ColorizeLine(view.Control().LineText(0), kStateNormal, spans);
    };
    const auto lineEnd = [&] { return static_cast<Offset>(view.Control().LineText(0).size()); };
    const std::pair<Offset, std::string> edits[] = {
        {-1, "/*"}, {5, "x"}, {300000, "\""}, {2, "*/"}, {-1, "*/"}, {700000, "//"}, {1, "\""},
    };
    for (const auto& [at, typed] : edits) {
        const Offset pos = at < 0 ? lineEnd() : at;
        view.SetSel(pos, pos);
        view.ReplaceSel(typed);
        expect(static_cast<std::size_t>(pos), static_cast<std::size_t>(pos) + 100);
        EXPECT_EQ(view.LineState(1), endState()) << "after typing at " << pos;
        expect(static_cast<std::size_t>(lineEnd()) - 3000, static_cast<std::size_t>(lineEnd()));
    }
}

TEST_F(ColorEditViewTest, SwitchOffPaintsNothingButKeepsStates) {
    view.SetWindowText("/* a\r\nint b;");
    view.SetHighlight(false);
    view.viewport()->repaint();
    EXPECT_TRUE(view.Runs(0).empty());
    EXPECT_EQ(view.LineState(1), 8u);
    view.SetHighlight(true);
    EXPECT_FALSE(view.Runs(1).empty());
}

TEST_F(ColorEditViewTest, SelectedTextKeepsTheSelectionLook) {
    view.SetWindowText("int");
    view.SetSel(0, 3);
    const QImage selected = view.viewport()->grab().toImage();
    view.SetSel(3, 3);
    const QImage plain = view.viewport()->grab().toImage();
    auto count = [](const QImage& img, QRgb c) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if ((img.pixel(x, y) & 0xFFFFFF) == (c & 0xFFFFFF)) ++n;
        return n;
    };
    EXPECT_GT(count(plain, kKeyword), 0) << "the keyword is painted blue";
    EXPECT_EQ(count(selected, kKeyword), 0) << "selected text is never overpainted";
}

} // namespace
} // namespace mireka
