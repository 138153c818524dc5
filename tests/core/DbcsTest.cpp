// Character boundaries in code page 932.
#include "core/base/Dbcs.h"

#include <gtest/gtest.h>

namespace mireka::dbcs {
namespace {

// Forward scan from the start: the definition the fast check must agree with.
std::vector<bool> Boundaries(std::string_view s) {
    std::vector<bool> b(s.size() + 1, false);
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i))
        b[i] = true;
    b[s.size()] = true;
    return b;
}

TEST(Dbcs, ByteClasses) {
    EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(0x81)));
    EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(0x9F)));
    EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(0xE0)));
    EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(0xFC)));
    EXPECT_FALSE(IsLeadByte(static_cast<unsigned char>(0xA0)));
    EXPECT_FALSE(IsLeadByte(static_cast<unsigned char>(0xB1)));
    EXPECT_TRUE(IsTrailByte(static_cast<unsigned char>(0x5C)));
    EXPECT_FALSE(IsTrailByte(static_cast<unsigned char>(0x7F)));
    EXPECT_FALSE(IsTrailByte(static_cast<unsigned char>('\r')));
    EXPECT_TRUE(IsKana(static_cast<unsigned char>(0xB1)));
    EXPECT_TRUE(IsPrintableSingle(' '));
    EXPECT_FALSE(IsPrintableSingle('\t'));
}

TEST(Dbcs, BoundaryCheckAgreesWithForwardScan) {
    const std::string samples[] = {
        "\x95\x5c\x8e\xa6",         // 表示: the second byte of 表 is a backslash
        "\x88\x9f\x88\x9f\x88\x9f", // 亜亜亜: every byte is in the lead range
        "a\x82\xa0\xb1\x81",        // a, あ, kana, lone lead at the end
        "\x81\r\n\x82",             // lone lead before CR LF
        "\x81\x81\x81",             // odd run of lead bytes
        "\x81\x7f\x81\x40",         // invalid trail 0x7F, then a valid pair
    };
    for (const std::string& s : samples) {
        const auto expect = Boundaries(s);
        for (std::size_t p = 0; p <= s.size(); ++p)
            EXPECT_EQ(IsCharBoundary(s, p), expect[p])
                << "sample size " << s.size() << " pos " << p;
    }
}

TEST(Dbcs, TrailByteEqualToADelimiterNeverMatches) {
    const std::string path = "C:\\\x95\x5c\\a.c"; // C:\表\a.c
    EXPECT_EQ(FindLastChar(path, '\\'), 5u);
    EXPECT_EQ(FindChar(path, '\\', 3), 5u);
    EXPECT_EQ(FindLastOf("x\x95\x5c", "\\"), std::string_view::npos);
    EXPECT_TRUE(IsTrailAt(path, 4));
    EXPECT_TRUE(IsLeadAt(path, 3));
    EXPECT_EQ(PrevCharPos(path, 5), 3u);
    EXPECT_EQ(NextCharPos(path, 3), 5u);
}

TEST(Dbcs, LoneLeadByteNeverSwallowsALineBreak) {
    const std::string s = "\x81\r\n";
    EXPECT_EQ(CharLength(s, 0), 1u);
    EXPECT_TRUE(IsCharBoundary(s, 1));
    EXPECT_FALSE(IsLeadAt(s, 0));
}

} // namespace
} // namespace mireka::dbcs
