// The colouring cache: long lines coloured in windows as the whole line, through edits.
#include "core/editor/Highlighter.h"

#include "core/editor/TextControl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

namespace mireka {
namespace {

// A text as a view shows it: every edit reaches the highlighter as it would from the view.
class Shown : public TextControlListener {
public:
    Shown() { control.SetListener(this); }

    // The coloured spans of [from, to) of `line`.
    std::vector<ColorSpan> Spans(int line, std::size_t from = 0,
                                 std::size_t to = std::string::npos) {
        const std::string text = control.LineText(Line(line));
        highlighter.SetLineCount(control.LineCount());
        highlighter.ColourLine(line, text, from, std::min(to, text.size()));
        std::vector<ColorSpan> spans;
        for (const ColorSpan& s : highlighter.Spans())
            if (s.cls != ColorClass::Text) spans.push_back(s);
        return spans;
    }
    void Replace(Offset start, Offset end, std::string_view text) {
        control.SetSel(start, end);
        control.ReplaceSel(text);
    }

    TextControl control;
    Highlighter highlighter;

private:
    void OnTextReplaced(Offset pos, Offset removed, Offset inserted, int linesBefore) override {
        highlighter.SetLineCount(control.LineCount());
        highlighter.TextReplaced(control.Buffer(), pos, removed, inserted,
                                 control.LineCount() != linesBefore);
    }
    void OnSelectionChanged() override {}
    void OnScrollCaretRequested() override {}
};

TEST(Highlighter, ALongLineIsColouredAgainOnlyWhenItChanges) {
    Shown shown;
    const std::string body(100 * 1024, 'x'); // long enough to keep its resume points
    shown.control.SetText("int " + body + "\r\nint z;");
    auto spans = shown.Spans(0);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].cls, ColorClass::Keyword);
    EXPECT_EQ(shown.Spans(0).size(), 1u) << "asked again, the same spans";
    // An edit on the line: the comment opener now colours all of it and the next line's start.
    shown.Replace(0, 0, "/*");
    spans = shown.Spans(0);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].cls, ColorClass::Comment);
    EXPECT_EQ(spans[0].end, static_cast<std::int32_t>(body.size() + 6));
    EXPECT_EQ(shown.highlighter.LineState(1), 8u);
    // Taking the opener out again brings the keyword and the next line's state back.
    shown.Replace(0, 2, "");
    spans = shown.Spans(0);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].cls, ColorClass::Keyword);
    EXPECT_EQ(shown.highlighter.LineState(1), 0u);
}

TEST(Highlighter, AWindowOfALongLineHasTheColoursOfTheWholeLine) {
    // A megabyte line of code; windows anywhere, before and after edits, colour as the whole.
    Shown shown;
    std::string line;
    while (line.size() < (1u << 20))
        line += "x = y + 1; /* c */ s = \"t\\\"\"; if (a) return; ";
    shown.control.SetText(line + "\r\nint z;");
    const auto inWindow = [](std::size_t from, std::size_t to) {
        return [from, to](const ColorSpan& s) {
            return s.end > static_cast<std::int32_t>(from) &&
                   s.start < static_cast<std::int32_t>(to);
        };
    };
    auto expect = [&](std::size_t from, std::size_t to) {
        std::vector<ColorSpan> spans;
        ColorizeLine(shown.control.LineText(Line(0)), kStateNormal, spans);
        std::vector<ColorSpan> whole;
        for (const ColorSpan& s : spans)
            if (s.cls != ColorClass::Text && inWindow(from, to)(s)) whole.push_back(s);
        std::vector<ColorSpan> window;
        for (const ColorSpan& s : shown.Spans(0, from, to))
            if (inWindow(from, to)(s)) window.push_back(s);
        ASSERT_EQ(window.size(), whole.size()) << from;
        for (std::size_t i = 0; i < whole.size(); ++i) {
            // The window's first and last spans may be cut at its edges.
            EXPECT_EQ(std::max(window[i].start, std::int32_t(from)),
                      std::max(whole[i].start, std::int32_t(from)));
            EXPECT_EQ(std::min(window[i].end, std::int32_t(to)),
                      std::min(whole[i].end, std::int32_t(to)));
            EXPECT_EQ(window[i].cls, whole[i].cls);
        }
    };
    expect(500000, 500200);
    expect(1000, 1100);
    expect(line.size() - 100, line.size());
    shown.Replace(600000, 600000, "\""); // opens a string up to the next quote
    expect(600000, 600300);
    expect(line.size() - 100, line.size() + 1);
    shown.Replace(10, 10, "/*"); // everything after is comment until the first closer
    expect(0, 200);
    expect(800000, 800100);
    EXPECT_EQ(shown.highlighter.LineState(1), 0u);

    // The next line's state follows every edit, wherever it is made in the line.
    const auto endState = [&] {
        std::vector<ColorSpan> spans;
        return ColorizeLine(shown.control.LineText(Line(0)), kStateNormal, spans);
    };
    const auto lineEnd = [&] {
        return static_cast<Offset>(shown.control.LineText(Line(0)).size());
    };
    const std::pair<Offset, std::string> edits[] = {
        {-1, "/*"}, {5, "x"}, {300000, "\""}, {2, "*/"}, {-1, "*/"}, {700000, "//"}, {1, "\""},
    };
    for (const auto& [at, typed] : edits) {
        const Offset pos = at < 0 ? lineEnd() : at;
        shown.Replace(pos, pos, typed);
        expect(static_cast<std::size_t>(pos), static_cast<std::size_t>(pos) + 100);
        EXPECT_EQ(shown.highlighter.LineState(1), endState()) << "after typing at " << pos;
        expect(static_cast<std::size_t>(lineEnd()) - 3000, static_cast<std::size_t>(lineEnd()));
    }
}

} // namespace
} // namespace mireka
