// Page margins, wrapping on paper and pagination.
#include "core/document/PrintLayout.h"

#include <gtest/gtest.h>

namespace mireka {
namespace {

std::vector<std::string> Rows(const std::string& line, int columns, int tab = 4,
                              Encoding enc = Encoding::Cp932) {
    TextBuffer text;
    text.SetText(line);
    std::vector<PrintRow> rows;
    std::string scratch;
    WrapLineForPrint(text, Line(0), {columns, 60, tab, enc}, rows, scratch);
    std::vector<std::string> out;
    for (const PrintRow& r : rows)
        out.push_back(text.Text(r.start, r.end));
    return out;
}

TEST(PrintLayout, MarginsHeaderAndFooter) {
    // 85 % of the width, 90 % of the height, centred; q is a quarter of the line height.
    const PrintPageLayout l = LayOutPrintPage({0, 0, 1000, 2000}, 40, true);
    EXPECT_EQ(l.margins, (PrintRect{75, 100, 925, 1900}));
    EXPECT_EQ(l.headerTop, 60);
    EXPECT_EQ(l.headerRule, 110);
    EXPECT_EQ(l.text, (PrintRect{75, 160, 925, 1840}));
    EXPECT_EQ(l.footerRule, 1890);
    EXPECT_EQ(l.footerBottom, 1940);
    // Integer arithmetic truncates: 999 × 85 / 100 = 849, (999 − 849) / 2 = 75; 899 and 50.
    EXPECT_EQ(LayOutPrintPage({0, 0, 999, 999}, 40, false).margins, (PrintRect{75, 50, 924, 949}));
    EXPECT_EQ(LayOutPrintPage({0, 0, 999, 999}, 40, false).text.top, 50) << "no header";
}

TEST(PrintLayout, LongLinesWrapAtBlanksOrCharacters) {
    EXPECT_EQ(Rows("", 10), (std::vector<std::string>{""}));
    EXPECT_EQ(Rows("short", 10), (std::vector<std::string>{"short"}));
    EXPECT_EQ(Rows("int value = 42;", 10), (std::vector<std::string>{"int value ", "= 42;"}));
    EXPECT_EQ(Rows("abcdefghijklmno", 10), (std::vector<std::string>{"abcdefghij", "klmno"}));
    // A double-byte character is never split: it moves to the next row.
    EXPECT_EQ(Rows("abcdefghi\x82\xa0x", 10), (std::vector<std::string>{"abcdefghi", "\x82\xa0x"}));
    // A tab reaches the next stop, counted from the row's start: "ab" and a tab are 4 cells.
    EXPECT_EQ(Rows("ab\tcdefgh\tij", 8), (std::vector<std::string>{"ab\t", "cdefgh\t", "ij"}));
    EXPECT_EQ(Rows("x", 1), (std::vector<std::string>{"x"}));
    EXPECT_EQ(Rows("\x82\xa0", 1), (std::vector<std::string>{"\x82\xa0"})) << "at least one";

    // UTF-8: a wide character is two cells and never split, a narrow one is one cell.
    const Encoding u = Encoding::Utf8;
    EXPECT_EQ(Rows("abcdefghiあx", 10, 4, u), (std::vector<std::string>{"abcdefghi", "あx"}));
    EXPECT_EQ(Rows("日本語の😀", 4, 4, u), (std::vector<std::string>{"日本", "語の", "😀"}));
    EXPECT_EQ(Rows("éééééééééé", 5, 4, u), (std::vector<std::string>{"ééééé", "ééééé"}));
    EXPECT_EQ(Rows("日\tx", 4, 4, u), (std::vector<std::string>{"日\t", "x"}));
}

TEST(PrintLayout, PagesAndTheCaretsPage) {
    TextBuffer text;
    std::string s;
    for (int i = 0; i < 10; ++i)
        s += "line " + std::to_string(i) + "\r\n";
    s += std::string(25, 'x'); // the last line wraps into three rows of 10
    text.SetText(s);
    const PrintGeometry g{10, 4, 4};
    const std::vector<Offset> starts = PaginateForPrint(text, g);
    // 10 short rows and 3 wrapped ones: pages of 4, 4, 4 and 1 rows.
    ASSERT_EQ(starts.size(), 4u);
    EXPECT_EQ(starts[1], text.LineStart(Line(4)));
    EXPECT_EQ(starts[2], text.LineStart(Line(8)));
    EXPECT_EQ(starts[3], text.LineStart(Line(10)) + 20);
    const std::vector<PrintRow> third = PrintPageRows(text, starts[2], g);
    ASSERT_EQ(third.size(), 4u);
    EXPECT_EQ(text.Text(third[3].start, third[3].end), std::string(10, 'x'));
    EXPECT_EQ(PrintPageRows(text, starts[3], g).size(), 1u);
    EXPECT_EQ(PageOfOffset(starts, 0), 1);
    EXPECT_EQ(PageOfOffset(starts, text.LineStart(Line(5)) + 2), 2);
    EXPECT_EQ(PageOfOffset(starts, text.Length()), 4);
    TextBuffer empty;
    EXPECT_EQ(PaginateForPrint(empty, g), (std::vector<Offset>{0}));
}

} // namespace
} // namespace mireka
