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
        const std::string text = Control().LineText(Line(Line(line)));
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
