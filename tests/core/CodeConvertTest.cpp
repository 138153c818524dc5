// Japanese code detection, EUC-JP and JIS to Shift_JIS, and the strict UTF-8 check.
#include "core/document/CodeConvert.h"

#include <gtest/gtest.h>

#if __has_include(<iconv.h>)
#include <iconv.h>
#define MIREKA_HAVE_ICONV 1
#endif

namespace mireka {
namespace {

using E = JapaneseEncoding;

std::string Euc(std::string text) {
    EucToShiftJis(text);
    return text;
}

std::string Jis(std::string text) {
    JisToShiftJis(text);
    return text;
}

TEST(CodeConvert, DetectionStopsAtTheFirstDecisiveByte) {
    struct Case {
        std::string text;
        E expected;
    };
    const Case cases[] = {
        {"", E::None},
        {"int main(void) { return 0; }\r\n", E::None},
        {"a\x1b(B", E::None},         // ESC without "$" decides nothing
        {"a\x1b", E::None},           // an ESC at the very end
        {"x\x1b$B$\"\x1b(B", E::Jis}, // JIS
        {"\x82\xa0", E::ShiftJis},    // a Shift_JIS lead byte
        {"\xa4\xa2", E::EucJp},       // EUC hiragana
        {"\xb1\x82\xa0", E::EucJp},   // half-width katakana first: EUC-JP
        {"\xe0\x40", E::ShiftJis},    // next byte 0xA0 or below
        {"\xe0\xa1", E::EucJp},       // undecided, then 0xA1 decides on its own
        {"\xfd\xfd", E::EucJp},
        {"\xe0\xe0\xe0", E::ShiftJis}, // undecided twice, then the terminator
        {std::string(5000, 'a') + "\xa4\xa2", E::EucJp},
        {std::string(4099, 'a') + "\x1b$B", E::Jis},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DetectJapaneseEncoding(c.text), c.expected) << testing::PrintToString(c.text);
}

TEST(CodeConvert, EucJpBecomesShiftJis) {
    EXPECT_EQ(Euc("\xa4\xa2"), "\x82\xa0");                               // あ
    EXPECT_EQ(Euc("a\xb4\xc1\xbb\xfa.c\r\n"), "a\x8a\xbf\x8e\x9a.c\r\n"); // 漢字
    EXPECT_EQ(Euc("\x8e\xb1\x8e\x31"), "\xb1\xb1");         // half-width katakana, both forms
    EXPECT_EQ(Euc("\xde\xa1\xdf\xa1"), "\x9f\x9f\xe0\x40"); // rows 0x5E and 0x5F
    EXPECT_EQ(Euc("\x8f\xa4\xa2"), "\x8f\xa4\xa2");         // 0x8F starts a pair, outside the table
    EXPECT_EQ(Euc("ab\xa4"), "ab\xa4");                     // a lone last byte stays
    EXPECT_EQ(Euc(""), "");
    const std::string nul("a\0\xa4\xa2", 4);
    EXPECT_EQ(Euc(nul), std::string("a\0\x82\xa0", 4)) << "nothing after a NUL is lost";
}

TEST(CodeConvert, JisBecomesShiftJis) {
    EXPECT_EQ(Jis("\x1b$B$\"\x1b(B"), "\x82\xa0");
    EXPECT_EQ(Jis("x\x1b$@4A;z\x1b(Jy"), "x\x8a\xbf\x8e\x9ay"); // old JIS and Roman escapes
    EXPECT_EQ(Jis("\x1b$B^!_!\x1b(B"), "\x9f\x9f\xe0\x40");
    EXPECT_EQ(Jis("\x0e\x31\x32\x0fz"), "\xb1\xb2z");         // SO/SI katakana
    EXPECT_EQ(Jis("\x1b(I\x31\r\x1b(B\r\n"), "\xb1\x8d\r\n"); // every byte, controls too
    EXPECT_EQ(Jis("\x1b$B$\"\r\n"), "\x82\xa0\r\n");          // CR LF is no pair: it stays
    EXPECT_EQ(Jis("\x1b$B$"), "$");                           // a lone last byte
    EXPECT_EQ(Jis("a\x1b(Z\x1b"), "a\x1b(Z\x1b");             // unknown escapes stay text
    EXPECT_EQ(Jis(""), "");
}

// Byte arithmetic that wraps must never make a NUL (the next open would stop there) nor bytes
// that are no character: such a pair keeps its bytes.
TEST(CodeConvert, PairsOutsideTheTableKeepTheirBytes) {
    EXPECT_EQ(Euc("\xb1"
                  "abc"),
              "\xb1"
              "abc"); // half-width katakana then ASCII, taken for EUC
    EXPECT_EQ(Euc("\xb1`abc"), "\xb1`abc");
    EXPECT_EQ(Jis("\x0e\x80\xb1\x0f"), "\x80\xb1"); // katakana mode: 0x80 would wrap to NUL
    const auto isPair = [](std::string_view s) {
        const auto l = static_cast<unsigned char>(s[0]), t = static_cast<unsigned char>(s[1]);
        return ((l >= 0x81 && l <= 0x9F) || (l >= 0xE0 && l <= 0xFC)) &&
               ((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC));
    };
    for (unsigned b = 0x80; b <= 0xFF; ++b) {
        for (unsigned c = 1; c <= 0xFF; ++c) {
            const std::string in{static_cast<char>(b), static_cast<char>(c)};
            const std::string euc = Euc(in);
            if (b != 0x8E) {
                ASSERT_TRUE(euc == in || isPair(euc)) << std::hex << b << ' ' << c;
            }
            ASSERT_EQ(euc.find('\0'), std::string::npos) << std::hex << b << ' ' << c;
            const unsigned j1 = b - 0x80;
            const auto shift = [](unsigned x) { return x == 0x1B || x == 0x0E || x == 0x0F; };
            if (j1 == 0 || shift(j1) || shift(c)) continue;
            const std::string pair{static_cast<char>(j1), static_cast<char>(c)};
            const std::string jis = Jis("\x1b$B" + pair);
            ASSERT_TRUE(jis == pair || isPair(jis)) << std::hex << j1 << ' ' << c;
        }
    }
}

TEST(CodeConvert, TheCommandConvertsOnlyJisAndEuc) {
    std::string text = "plain";
    EXPECT_FALSE(ConvertJapaneseText(text));
    text = "\x82\xa0\xb1"; // Shift_JIS with a kanji first
    EXPECT_FALSE(ConvertJapaneseText(text));
    EXPECT_EQ(text, "\x82\xa0\xb1");
    text = "\xb1\xb1\x82\xa0"; // Shift_JIS with half-width katakana first: taken for EUC-JP
    EXPECT_TRUE(ConvertJapaneseText(text));
    EXPECT_EQ(text, "\x89\x50\x82\xa0"); // garbled; Undo brings it back
    text = "\x1b$B$\"\x1b(B";
    EXPECT_TRUE(ConvertJapaneseText(text));
    EXPECT_EQ(text, "\x82\xa0");
}

#ifdef MIREKA_HAVE_ICONV
// Every character of JIS X 0208 that the system's converter knows comes out as it says.
TEST(CodeConvert, EveryJisX0208CharacterMatchesTheSystemConverter) {
    iconv_t cd = iconv_open("SHIFT_JIS", "EUC-JP");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    int compared = 0;
    for (unsigned row = 0x21; row <= 0x7E; ++row) {
        for (unsigned cell = 0x21; cell <= 0x7E; ++cell) {
            char in[2] = {static_cast<char>(row | 0x80), static_cast<char>(cell | 0x80)};
            char out[8];
            char* ip = in;
            char* op = out;
            std::size_t il = 2, ol = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1)) continue;
            const std::string expected(out, static_cast<std::size_t>(op - out));
            ASSERT_EQ(Euc(std::string(in, 2)), expected) << std::hex << row << ' ' << cell;
            const std::string jis =
                std::string("\x1b$B") + static_cast<char>(row) + static_cast<char>(cell) + "\x1b(B";
            ASSERT_EQ(Jis(jis), expected) << std::hex << row << ' ' << cell;
            ++compared;
        }
    }
    iconv_close(cd);
    EXPECT_GT(compared, 6000);
}
#endif

TEST(CodeConvert, StrictUtf8) {
    struct Case {
        std::string text;
        bool valid;
        bool multibyte;
    };
    const Case cases[] = {
        {"", true, false},
        {"int x;\r\n", true, false},
        {"\xe3\x81\x82", true, true},       // あ
        {"\xef\xbb\xbfx", true, true},      // with a byte-order mark
        {"\xf0\x9f\x98\x80", true, true},   // beyond the basic plane
        {"\x82\xa0", false, false},         // Shift_JIS
        {"\xc0\xaf", false, false},         // overlong "/"
        {"\xe0\x80\xaf", false, false},     // overlong, three bytes
        {"\xed\xa0\x80", false, false},     // a surrogate
        {"\xf4\x90\x80\x80", false, false}, // above U+10FFFF
        {"\xe3\x81", false, false},         // cut at the end
        {"\xe3\x81"
         "a",
         false, false}, // cut inside
        {std::string(100, 'a') + "\xe3\x81\x82" + std::string(3, 'b'), true, true},
    };
    for (const Case& c : cases) {
        const Utf8Check r = CheckUtf8(c.text);
        EXPECT_EQ(r.valid, c.valid) << testing::PrintToString(c.text);
        if (c.valid) {
            EXPECT_EQ(r.multibyte, c.multibyte) << testing::PrintToString(c.text);
        }
    }
    EXPECT_TRUE(CheckUtf8("\xef\xbb\xbfx").bom);
    EXPECT_FALSE(CheckUtf8("x\xef\xbb\xbf").bom);
}

} // namespace
} // namespace mireka
