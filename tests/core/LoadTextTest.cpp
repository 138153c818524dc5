// Loading: line ends and the NUL cut.
#include "core/document/LoadText.h"

#include <gtest/gtest.h>

namespace mireka {
namespace {

TEST(LoadText, EveryLineEndBecomesOneCrLf) {
    EXPECT_EQ(NormalizeLineEnds("a\nb\rc\r\nd"), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(NormalizeLineEnds("\r\r\n"), "\r\n\r\n"); // CR CR LF is two line ends
    EXPECT_EQ(NormalizeLineEnds("\n\r"), "\r\n\r\n");   // LF then CR: two, not one
    EXPECT_EQ(NormalizeLineEnds("x\r"), "x\r\n");       // trailing lone CR
    EXPECT_EQ(NormalizeLineEnds("\r\n\r\n"), "\r\n\r\n");
    EXPECT_EQ(NormalizeLineEnds(""), "");
    // Trail bytes of double-byte characters are never line ends and stay as they are.
    EXPECT_EQ(NormalizeLineEnds("\x95\x5c\n"), "\x95\x5c\r\n");
    EXPECT_EQ(NormalizedLength("a\nb\rc\r\nd"), 10u);
}

TEST(LoadText, TextEndsAtTheFirstNul) {
    std::string bytes("ab\ncd\0ef\n", 9);
    ASSERT_TRUE(MakeEditorText(bytes));
    EXPECT_EQ(bytes, "ab\r\ncd");
    std::string nulFirst("\0abc", 4);
    ASSERT_TRUE(MakeEditorText(nulFirst));
    EXPECT_EQ(nulFirst, "");
    std::string empty;
    ASSERT_TRUE(MakeEditorText(empty));
    EXPECT_EQ(empty, "");
}

TEST(LoadText, LongRandomMixesMatchASimpleModel) {
    // The byte-by-byte rule with a pending CR, written out plainly.
    auto model = [](const std::string& in) {
        std::string out;
        bool pending = false;
        for (char b : in) {
            if (pending) {
                out += "\r\n";
                if (b == '\n')
                    pending = false;
                else if (b == '\r')
                    pending = true;
                else {
                    out += b;
                    pending = false;
                }
            } else if (b == '\r')
                pending = true;
            else if (b == '\n')
                out += "\r\n";
            else
                out += b;
        }
        if (pending) out += "\r\n";
        return out;
    };
    unsigned seed = 7;
    for (int round = 0; round < 200; ++round) {
        std::string in;
        for (int i = 0; i < 60; ++i) {
            seed = seed * 1103515245u + 12345u;
            in += "ab\r\n\x82"[(seed >> 16) % 5];
        }
        EXPECT_EQ(NormalizeLineEnds(in), model(in)) << round;
    }
}

} // namespace
} // namespace mireka
