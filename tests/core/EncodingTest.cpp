// Character rules of UTF-8 beside code page 932, and what a file's bytes say about themselves.
#include "core/base/Encoding.h"

#include "core/base/Dbcs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace mireka {
namespace {

constexpr Encoding kU = Encoding::Utf8;
constexpr Encoding kS = Encoding::Cp932;

// The characters of `s` as a plain walk from its start sees them.
std::vector<std::size_t> Starts(Encoding e, std::string_view s) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < s.size(); i += chars::CharLength(e, s, i))
        starts.push_back(i);
    return starts;
}

TEST(Encoding, Utf8CharactersAndCells) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::size_t> starts;
        std::vector<int> cells;
    };
    const Case cases[] = {
        {"ASCII", "ab", {0, 1}, {1, 1}},
        {"two, three and four bytes", "\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80", {0, 2, 5}, {1, 2, 2}},
        {"the ideographic space is wide", "\xE3\x80\x80", {0}, {2}},
        {"half-width katakana is narrow", "\xEF\xBD\xB1", {0}, {1}},
        {"a lone continuation byte",
         "a\x80"
         "b",
         {0, 1, 2},
         {1, 1, 1}},
        {"a cut sequence before a line break", "\xE6\x97\r\n", {0, 1, 2, 3}, {1, 1, 1, 1}},
        {"an overlong form", "\xC0\x80", {0, 1}, {1, 1}},
        {"a surrogate", "\xED\xA0\x80", {0, 1, 2}, {1, 1, 1}},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", {0, 1, 2, 3}, {1, 1, 1, 1}},
        {"not a lead byte", "\xF8\x88", {0, 1}, {1, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Starts(kU, c.text), c.starts) << c.name;
        std::vector<int> cells;
        for (std::size_t at : c.starts)
            cells.push_back(chars::CharCells(kU, c.text, at));
        EXPECT_EQ(cells, c.cells) << c.name;
    }
    // Code page 932 keeps its own rules: a double-byte character is two cells.
    EXPECT_EQ(Starts(kS, "a\x93\xfa"
                         "b"),
              (std::vector<std::size_t>{0, 1, 3}));
    EXPECT_EQ(chars::CharCells(kS, "\x93\xfa", 0), 2);
    EXPECT_EQ(chars::CharCells(kS, "\xb1", 0), 1);
}

TEST(Encoding, BoundariesAgreeWithAWalkFromTheStart) {
    // Random text from valid and broken pieces: every position agrees with the plain walk, in
    // both encodings.
    const char* const pieces[] = {"a",    "\r\n", "\xC3\xA9", "\xE6\x97\xA5", "\xF0\x9F\x98\x80",
                                  "\x80", "\xE6", "\xF0\x9F", "\x93\xfa",     "\xb1"};
    std::mt19937 random(28);
    for (int round = 0; round < 300; ++round) {
        std::string s;
        for (int k = 0; k < 20; ++k)
            s += pieces[random() % std::size(pieces)];
        for (Encoding e : {kU, kS}) {
            const std::vector<std::size_t> starts = Starts(e, s);
            std::size_t next = 0;
            for (std::size_t pos = 0; pos <= s.size(); ++pos) {
                const bool boundary =
                    pos == s.size() || std::find(starts.begin(), starts.end(), pos) != starts.end();
                ASSERT_EQ(chars::IsCharBoundary(e, s, pos), boundary) << round << " at " << pos;
                if (pos == s.size()) break;
                if (boundary) next = pos;
                ASSERT_EQ(chars::CharStart(e, s, pos), next) << round << " at " << pos;
                ASSERT_EQ(chars::NextCharPos(e, s, next), next + chars::CharLength(e, s, next));
                ASSERT_EQ(chars::PrevCharPos(e, s, pos + 1), chars::CharStart(e, s, pos));
            }
        }
    }
}

TEST(Encoding, WhatAFileSaysAboutItself) {
    struct Case {
        const char* name;
        std::string bytes;
        Encoding encoding;
        bool bom;
    };
    const Case cases[] = {
        {"Japanese in UTF-8", "/* \xE6\x97\xA5\xE6\x9C\xAC */\n", kU, false},
        {"Japanese in Shift_JIS", "/* \x93\xfa\x96\x7b */\r\n", kS, false},
        {"a mark before UTF-8", "\xEF\xBB\xBFint x;\n", kU, true},
        {"a mark before bytes that are not UTF-8", "\xEF\xBB\xBF\x93\xfa", kS, false},
        {"pure ASCII takes the new-document encoding", "int x;\n", kU, false},
        {"one stray byte in UTF-8 is not repaired", "\xE6\x97\xA5\x80", kS, false},
        {"a cut sequence at the end", std::string(100, 'a') + "\xE6\x97", kS, false},
        {"an empty file", "", kU, false},
    };
    for (const Case& c : cases) {
        const DetectedEncoding d = DetectEncoding(c.bytes, kU);
        EXPECT_EQ(d.encoding, c.encoding) << c.name;
        EXPECT_EQ(d.bom, c.bom) << c.name;
    }
    EXPECT_EQ(DetectEncoding("int x;\n", kS).encoding, kS);
    EXPECT_FALSE(CheckUtf8("\xED\xA0\x80").valid);
    EXPECT_TRUE(CheckUtf8(std::string(1000, 'a') + "\xF4\x8F\xBF\xBF").valid);

    EXPECT_EQ(DetectLineEnds("a\nb\n"), LineEnds::Lf);
    EXPECT_EQ(DetectLineEnds("a\r\nb\r\n"), LineEnds::CrLf);
    EXPECT_EQ(DetectLineEnds("a\nb\r\n"), LineEnds::CrLf) << "mixed files are saved as today";
    EXPECT_EQ(DetectLineEnds("a\rb"), std::nullopt);
    EXPECT_EQ(DetectLineEnds(""), std::nullopt);
}

} // namespace
} // namespace mireka
