// The manual viewer's pieces, index lines, incremental search, copied text and find word.
#include "core/app/Manual.h"

#include <gtest/gtest.h>

namespace mireka {
namespace {

std::vector<std::string> Pieces(std::string bytes) {
    const ManualLines lines(std::move(bytes));
    std::vector<std::string> out;
    for (std::size_t i = 0; i < lines.size(); ++i)
        out.emplace_back(lines.Line(i));
    return out;
}

TEST(Manual, TextIsCutAsATextModeReadOf254BytePiecesCuts) {
    using V = std::vector<std::string>;
    const std::string x254(254, 'x');
    const struct {
        std::string bytes;
        V pieces;
    } cases[] = {
        {"", V{}},
        {"a\r\nb\n", V{"a", "b"}},
        {"a\n\nb", V{"a", "", "b"}}, // the last line keeps its characters without a line feed
        {"a\rb\r\n", V{"a\rb"}},     // a lone CR is data
        {std::string(600, 'y'),
         V{std::string(254, 'y'), std::string(254, 'y'), std::string(92, 'y')}},
        // A line of exactly one piece: its line feed ends a piece of its own.
        {x254 + "\nz\n", V{x254, "", "z"}},
        {std::string(253, 'x') + "\r\n", V{std::string(253, 'x')}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Pieces(c.bytes), c.pieces) << c.bytes.size();
        std::string lf = c.bytes;
        for (std::size_t p; (p = lf.find("\r\n")) != std::string::npos;)
            lf.erase(p, 1);
        EXPECT_EQ(CountManualPieces(lf), c.pieces.size());
    }
    // A 1 MB line is many pieces, none longer than a piece.
    const ManualLines big(std::string(1 << 20, 'q') + "\nend");
    EXPECT_EQ(big.size(), (std::size_t(1 << 20) + 253) / 254 + 1);
    EXPECT_EQ(big.WidestLine(), 254u);
    EXPECT_EQ(big.Line(big.size() - 1), "end");
}

TEST(Manual, ItemsAreNumberedAndCopiedWithoutNumberOrOuterBlanks) {
    EXPECT_EQ(FormatManualItem(0, "title"), "00000| title");
    EXPECT_EQ(FormatManualItem(123, ""), "00123| ");
    EXPECT_EQ(FormatManualItem(1234567, "x"), "1234567| x");
    EXPECT_EQ(ManualCopyText("   int printf(const char *fmt, ...);\t "),
              "int printf(const char *fmt, ...);");
    EXPECT_EQ(ManualCopyText(" \t "), "");
    EXPECT_EQ(ManualCopyText("\x95\x5c\x8e\xa6 "), "\x95\x5c\x8e\xa6"); // 表示
}

// What a search through every listed line finds: the plain way that the quick one must match.
std::optional<std::size_t> ListedNumber(std::size_t count, std::size_t from,
                                        std::string_view digits, bool whole, bool wrap) {
    for (std::size_t i = 0; i < count && from < count; ++i) {
        const std::size_t n = (from + i) % count;
        if (n < from && !wrap) break;
        const std::string item = FormatManualItem(static_cast<long>(n), "");
        const std::string_view number = std::string_view(item).substr(0, item.size() - 2);
        if (whole ? number == digits : number.starts_with(digits)) return n;
    }
    return std::nullopt;
}

TEST(Manual, ATypedNumberFindsTheLineThatTheListShowsWithoutListingAny) {
    constexpr auto none = std::nullopt;
    const struct {
        std::size_t count, from;
        const char* digits;
        bool whole, wrap;
        std::optional<std::size_t> found;
    } cases[] = {
        {200, 50, "0012", false, true, 120},
        {200, 150, "0012", false, true, 120},
        {200, 150, "0012", false, false, none},
        {200, 0, "00123", true, true, 123},
        {200, 0, "123", true, true, none},
        {200, 0, "1", false, true, none},
        {200, 0, "0", false, true, 0},
        {200, 0, "x", false, true, none},
        {123457, 0, "12345", false, true, 12345},
        {123457, 12346, "12345", false, true, 123450},
        {123450, 123400, "12345", false, true, 12345},
        {123450, 123400, "12345", false, false, none},
        {123457, 0, "123456", true, true, 123456},
        {123457, 0, "1234567", false, true, none},
        {0, 0, "0", false, true, none},
        {5, 9, "0", false, true, none},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindManualNumber(c.count, c.from, c.digits, c.whole, c.wrap), c.found)
            << c.count << " " << c.from << " " << c.digits << " " << c.whole << c.wrap;
    // Across the widths of number, from every kind of place, as the whole list would answer.
    for (const std::size_t count : {12u, 100001u, 100234u})
        for (const std::size_t from : {std::size_t{0}, std::size_t{99999}, count - 1})
            for (const char* digits : {"0", "00", "00000", "000000", "00012", "1", "12", "10",
                                       "1002", "10023", "100233", "100234", "99999", "9"})
                for (const bool whole : {false, true})
                    for (const bool wrap : {false, true})
                        ASSERT_EQ(FindManualNumber(count, from, digits, whole, wrap),
                                  ListedNumber(count, from, digits, whole, wrap))
                            << count << " " << from << " " << digits << " " << whole << wrap;
}

TEST(Manual, IndexLinesAreReadAsNumberCommaWord) {
    const struct {
        const char* line;
        std::optional<long> number;
        const char* text;
    } cases[] = {
        {"123,printf", 123, "printf"},
        {"  7,  puts  rest ignored", 7, "puts"}, // only up to the first white space
        {"-3,neg", -3, "neg"},
        {"+4,pos", 4, "pos"},
        {"0,\x95\x5c\x8e\xa6", 0, "\x95\x5c\x8e\xa6"},
        {"12 ,x", std::nullopt, ""}, // the comma must follow the number
        {"abc,x", std::nullopt, ""},
        {"12,", std::nullopt, ""}, // no text
        {"12,   ", std::nullopt, ""},
        {",x", std::nullopt, ""},
        {"", std::nullopt, ""},
        {"99999999999999999999999,x", std::nullopt, ""}, // does not fit
    };
    for (const auto& c : cases) {
        const std::optional<ManualIndexEntry> e = ParseManualIndexLine(c.line);
        ASSERT_EQ(e.has_value(), c.number.has_value()) << c.line;
        if (!e) continue;
        EXPECT_EQ(e->line, *c.number) << c.line;
        EXPECT_EQ(e->text, c.text) << c.line;
    }
    const ManualIndex index = ParseManualIndex("1,a\r\nbad line\r\n2,b\n\n3,c");
    ASSERT_EQ(index.entries.size(), 3u);
    EXPECT_EQ(index.entries[2].text, "c");
    EXPECT_EQ(index.entries[2].line, 3);
    EXPECT_EQ(index.skipped, 2u);
}

TEST(Manual, SearchFindsTheFirstEntryBeginningWithTheTextWithoutCase) {
    const std::vector<ManualIndexEntry> entries = {
        {0, "abs"},
        {1, "Printer"},
        {2, "printf"},
        {3, "sprintf"},
        {4, "\x83\x41"}, // ア, whose trail byte is "A"
        {5, "\x83\x61"}, // ャ, whose trail byte is "a"
        {6, "\x83\x41\x83\x43"},
    };
    const ManualIndexSearch search(entries);
    const struct {
        const char* typed;
        std::optional<std::size_t> found;
    } cases[] = {
        {"pri", 1},
        {"PRINTF", 2},
        {"printf", 2},
        {"Sp", 3},
        {"", {}},
        {"x", {}},
        {"printfx", {}},
        {"\x83\x61", 5},      // not taken for ア by folding its trail byte
        {"\x83\x41\x83", {}}, // half a character matches no whole one
        {"\x83\x41\x83\x43", 6},
    };
    for (const auto& c : cases)
        EXPECT_EQ(search.FindPrefix(c.typed), c.found) << c.typed;
}

TEST(Manual, FindWordIsTheIdentifierAtOrJustBeforeTheCaret) {
    const std::string line = "  n = printf(\"%d\", x_1);\x83\x41"
                             "bc";
    const struct {
        std::size_t column;
        const char* word;
    } cases[] = {
        {0, ""},
        {2, "n"},
        {3, "n"},
        {4, ""},
        {6, "printf"},
        {9, "printf"},
        {12, "printf"},
        {13, ""},
        {19, "x_1"},
        {22, "x_1"},
        {23, ""},
        // After ア (a trail byte "A"): only "bc", never the trail byte.
        {26, "bc"},
        {27, "bc"},
        {500, "bc"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IdentifierAt(line, c.column), c.word) << c.column;
}

} // namespace
} // namespace mireka
