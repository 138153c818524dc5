// The cell grid, word steps, character steps over the buffer and selection views.
#include "core/base/Dbcs.h"
#include "core/editor/Layout.h"
#include "core/editor/SelectionOps.h"
#include "core/editor/TextNav.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace mireka {
namespace {

TEST(Layout, CellsFollowTabsAndDoubleByteCharacters) {
    const std::string line = "\tab\x82\xa0z\t!";
    EXPECT_EQ(layout::CellOfColumn(line, 0, 4).Count(), 0);
    EXPECT_EQ(layout::CellOfColumn(line, 1, 4).Count(), 4);
    EXPECT_EQ(layout::CellOfColumn(line, 3, 4).Count(), 6);
    EXPECT_EQ(layout::CellOfColumn(line, 5, 4).Count(), 8);
    EXPECT_EQ(layout::CellOfColumn(line, 6, 4).Count(), 9);
    EXPECT_EQ(layout::CellOfColumn(line, 7, 4).Count(), 12) << "tab to the next stop";
    EXPECT_EQ(layout::LineCells(line, 4).Count(), 13);
    // Nearest boundary; never inside the double-byte character.
    EXPECT_EQ(layout::ColumnAtCell(line, 6.4, 4), 3u);
    EXPECT_EQ(layout::ColumnAtCell(line, 7.1, 4), 5u);
    EXPECT_EQ(layout::ColumnAtCell(line, 1.0, 4), 0u);
    EXPECT_EQ(layout::ColumnAtCell(line, 2.5, 4), 1u);
    EXPECT_EQ(layout::ColumnAtCell(line, 99, 4), line.size());
    EXPECT_EQ(layout::ColumnAtCell(line, -3, 4), 0u);
}

TEST(Layout, WordStepsAndDoubleClickRuns) {
    const std::string line = "int  main(\x93\xfa\x96\x7b) x";
    EXPECT_EQ(layout::NextWordStart(line, 0), 5u);
    EXPECT_EQ(layout::NextWordStart(line, 5), 9u);
    EXPECT_EQ(layout::NextWordStart(line, 9), 10u);
    EXPECT_EQ(layout::NextWordStart(line, 10), 14u);
    EXPECT_EQ(layout::PrevWordStart(line, 14), 10u);
    EXPECT_EQ(layout::PrevWordStart(line, 9), 5u);
    EXPECT_EQ(layout::PrevWordStart(line, 5), 0u);
    const auto wide = layout::WordAt(line, 11); // the trail byte of the first kanji
    EXPECT_EQ(wide.first, 10u);
    EXPECT_EQ(wide.second, 14u);
    const auto word = layout::WordAt(line, line.size());
    EXPECT_EQ(line.substr(word.first, word.second - word.first), "x");
}

TEST(TextNav, StepsTreatCrLfAndDoubleByteCharactersAsOne) {
    TextBuffer b(3);
    b.SetText("a\x95\x5c\r\n\x81\r\n\x88\x9f\x88\x9f");
    EXPECT_EQ(NextCharOffset(b, 0), 1);
    EXPECT_EQ(NextCharOffset(b, 1), 3);
    EXPECT_EQ(NextCharOffset(b, 3), 5);
    EXPECT_EQ(NextCharOffset(b, 5), 6) << "a lone lead byte before CR LF stands alone";
    EXPECT_EQ(PrevCharOffset(b, 12), 10);
    EXPECT_EQ(PrevCharOffset(b, 10), 8);
    EXPECT_EQ(PrevCharOffset(b, 8), 6);
    EXPECT_EQ(PrevCharOffset(b, 6), 5);
    EXPECT_EQ(PrevCharOffset(b, 3), 1);
    EXPECT_FALSE(IsCharBoundaryAt(b, 2));
    EXPECT_FALSE(IsCharBoundaryAt(b, 11));
    EXPECT_TRUE(IsCharBoundaryAt(b, 10));
    EXPECT_EQ(NextCharOffset(b, 12), 12);
    EXPECT_EQ(PrevCharOffset(b, 0), 0);
}

TEST(SelectionOps, LineColumnsContainmentAndLineText) {
    TextControl c(4);
    c.SetText("abc\r\ndefg\r\nhi");
    c.SetSel(9, 1); // caret before the anchor: the view is still start ≤ end
    const SelLineCol sel = GetSelLineCol(c);
    EXPECT_EQ(sel.start, (LineCol{Line(0), 1}));
    EXPECT_EQ(sel.end, (LineCol{Line(1), 4}));
    EXPECT_TRUE(IsLineColInSelection(c, {Line(0), 1}));
    EXPECT_FALSE(IsLineColInSelection(c, {Line(0), 0}));
    EXPECT_TRUE(IsLineColInSelection(c, {Line(1), 4}));
    EXPECT_FALSE(IsLineColInSelection(c, {Line(1), 5}));
    EXPECT_FALSE(IsLineColInSelection(c, {Line(2), 0}));
    EXPECT_EQ(GetSelectedLinesText(c), "bc\r\ndefg");
    // Long lines are not cut: a drag-move must carry the whole selection.
    c.SetText(std::string(5000, 'x') + "\r\ny");
    c.SetSel(0, -1);
    EXPECT_EQ(GetSelectedLinesText(c), c.Text());
    SetCaretLineCol(c, Line(1), 1);
    EXPECT_EQ(c.Caret(), 5003);
    SetCaretLineCol(c, Line(7), 0);
    EXPECT_EQ(c.Caret(), 5002) << "clamped to the last line";
}

} // namespace
} // namespace mireka

namespace mireka {
namespace {

TEST(Layout, CellsFoundByFastSearchesMatchTheCharacterWalk) {
    struct Pieces {
        Encoding enc;
        std::vector<std::string_view> pieces;
    };
    // UTF-8: wide and narrow characters of two to four bytes, stray bytes and a cut sequence.
    const Pieces sets[] = {
        {Encoding::Cp932, {"a", "\t", "\x88\x9f", "\x81", "\x95\x5c", " ", "\x81\t"}},
        {Encoding::Utf8,
         {"a", "\t", "あ", "😀", "é", "ｱ", "\xE3", "\x81", "\xE3\x81\t", " ", "abcdefghij"}},
    };
    for (const Pieces& set : sets) {
        const Encoding enc = set.enc;
        // The plain walk over characters that the fast searches must agree with.
        auto walk = [enc](std::string_view line, std::size_t column, int tab) {
            std::int64_t cells = 0;
            for (std::size_t i = 0; i < column; i = chars::NextCharPos(enc, line, i))
                cells += line[i] == '\t' ? tab - cells % tab : chars::CharCells(enc, line, i);
            return cells;
        };
        unsigned seed = 5;
        for (int round = 0; round < 200; ++round) {
            std::string line;
            for (int k = 0; k < 30; ++k) {
                seed = seed * 1103515245u + 12345u;
                line += set.pieces[(seed >> 16) % set.pieces.size()];
            }
            const int tab = 1 + round % 8;
            for (std::size_t column = 0; column <= line.size(); ++column)
                ASSERT_EQ(layout::CellOfColumn(line, column, tab, enc).Count(),
                          walk(line, column, tab))
                    << round << " column " << column;
            const std::int64_t total = walk(line, line.size(), tab);
            for (std::int64_t cell = 0; cell <= total + 1; ++cell) {
                const layout::CellPlace at = layout::CharAtCell(line, Cells(cell), tab, enc);
                ASSERT_TRUE(chars::IsCharBoundary(enc, line, at.column));
                ASSERT_EQ(at.cells.Count(), walk(line, at.column, tab));
                if (at.column < line.size()) { // the character found covers the cell
                    ASSERT_GT(walk(line, chars::NextCharPos(enc, line, at.column), tab), cell);
                }
                for (double half : {0.0, 0.25, 0.5, 0.75}) {
                    const std::size_t c =
                        layout::ColumnAtCell(line, static_cast<double>(cell) + half, tab, enc);
                    ASSERT_TRUE(chars::IsCharBoundary(enc, line, c));
                }
            }
        }
    }
}

TEST(Layout, Utf8WordClassesAndSteps) {
    // 日本 wide, é and ｱ (half-width) narrow non-ASCII: words with the letters around them.
    const std::string line = "x=日本 café ｱb;";
    const Encoding u = Encoding::Utf8;
    EXPECT_EQ(layout::ClassAt(line, 2, u), layout::WordClass::Wide);
    EXPECT_EQ(layout::ClassAt(line, 12, u), layout::WordClass::Word); // é
    EXPECT_EQ(layout::ClassAt(line, 15, u), layout::WordClass::Word); // ｱ
    EXPECT_EQ(layout::NextWordStart(line, 2, u), 9u);
    EXPECT_EQ(layout::NextWordStart(line, 9, u), 15u);
    EXPECT_EQ(layout::PrevWordStart(line, 19, u), 15u);
    const auto word = layout::WordAt(line, 13, u); // the second byte of é
    EXPECT_EQ(word.first, 9u);
    EXPECT_EQ(word.second, 14u);
    EXPECT_EQ(layout::LineCells(line, 8, u).Count(), 15);
}

TEST(TextNav, Utf8StepsOverWholeCharacters) {
    TextBuffer b(4);
    b.SetText("a😀\r\nあ\x81"); // a, 4 bytes, CR LF, 3 bytes, a stray byte
    const Encoding u = Encoding::Utf8;
    const Offset next[] = {1, 5, 7, 10, 11, 11};
    Offset pos = 0;
    for (Offset want : next) {
        pos = NextCharOffset(b, pos, u);
        EXPECT_EQ(pos, want);
    }
    const Offset prev[] = {10, 7, 5, 1, 0, 0};
    for (Offset want : prev) {
        pos = PrevCharOffset(b, pos, u);
        EXPECT_EQ(pos, want);
    }
    for (Offset p = 0; p <= b.Length(); ++p)
        EXPECT_EQ(IsCharBoundaryAt(b, p, u), p != 2 && p != 3 && p != 4 && p != 8 && p != 9) << p;
}

} // namespace
} // namespace mireka

#include "core/editor/LineCellCache.h"

#include <random>

namespace mireka {
namespace {

TEST(LineCellCache, AgreesWithAWholeMeasureAcrossEdits) {
    // Edits anywhere in a long line (and before it) between measures; each measure must equal
    // measuring the whole line afresh.
    const std::string_view pieces[] = {"abc ", "\t", "日本", "😀", "é;", "\xE3", " x = 1;"};
    for (const Encoding enc : {Encoding::Utf8, Encoding::Cp932}) {
        SCOPED_TRACE(enc == Encoding::Utf8 ? "UTF-8" : "code page 932");
        std::mt19937 rng(7);
        TextBuffer b;
        std::string line;
        while (line.size() < LineCellCache::kMinLine * 3)
            line += pieces[rng() % std::size(pieces)];
        b.SetText("first\r\n" + line + "\r\nlast");
        LineCellCache cache;
        for (int round = 0; round < 60; ++round) {
            const Line l(1);
            const Offset start = b.LineStart(l);
            if (round % 3 != 0) {
                const Offset at =
                    round % 7 == 0 ? 2 : start + static_cast<Offset>(rng() % b.LineLength(l));
                if (round % 2 != 0)
                    b.Insert(at, pieces[rng() % std::size(pieces)]);
                else
                    b.Erase(at, at + static_cast<Offset>(rng() % 9));
            }
            const std::string text = b.LineText(b.LineFromOffset(b.LineStart(l)));
            const int tab = 1 + round % 5;
            for (int k = 0; k < 4; ++k) {
                const std::size_t column = rng() % (text.size() + 1);
                ASSERT_EQ(cache.CellOf(b, l, text, column, tab, enc).Count(),
                          layout::CellOfColumn(text, column, tab, enc).Count())
                    << round;
                const Cells cell(static_cast<std::int64_t>(rng() % (text.size() + 8)));
                const layout::CellPlace got = cache.CharAtCell(b, l, text, cell, tab, enc);
                const layout::CellPlace want = layout::CharAtCell(text, cell, tab, enc);
                ASSERT_EQ(got.column, want.column) << round;
                ASSERT_EQ(got.cells.Count(), want.cells.Count()) << round;
                const double at = static_cast<double>(cell.Count()) + 0.6;
                ASSERT_EQ(cache.ColumnAtCell(b, l, text, at, tab, enc),
                          layout::ColumnAtCell(text, at, tab, enc))
                    << round;
            }
        }
    }
}

} // namespace
} // namespace mireka
