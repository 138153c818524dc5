// The frame's settings: exact text forms, what malformed values do, and store round trips.
#include "core/app/FrameSettings.h"

#include "core/base/Profile.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

namespace mireka {
namespace {

class FakeStore : public SettingsStore {
public:
    using Key = std::pair<std::string, std::string>;
    std::map<Key, std::string> strings;
    std::map<Key, int> ints;
    std::vector<std::string> writes; // entries in the order written
    bool failWrites = false;

    std::optional<int> ReadInt(std::string_view s, std::string_view e) const override {
        auto it = ints.find(Key(s, e));
        if (it == ints.end()) return std::nullopt;
        return it->second;
    }
    std::optional<std::string> ReadString(std::string_view s, std::string_view e) const override {
        auto it = strings.find(Key(s, e));
        if (it == strings.end()) return std::nullopt;
        return it->second;
    }
    bool WriteInt(std::string_view s, std::string_view e, int value) override {
        writes.emplace_back(e);
        if (failWrites) return false;
        ints[Key(s, e)] = value;
        return true;
    }
    bool WriteString(std::string_view s, std::string_view e, std::string_view value) override {
        writes.emplace_back(e);
        if (failWrites) return false;
        strings[Key(s, e)] = std::string(value);
        return true;
    }
    bool DeleteEntry(std::string_view, std::string_view) override { return false; }
    bool DeleteSection(std::string_view) override { return false; }

    void Set(std::string_view entry, std::string value) {
        strings[Key("Settings", entry)] = std::move(value);
    }
    void SetInt(std::string_view entry, int value) { ints[Key("Settings", entry)] = value; }
    int Int(std::string_view entry) const { return ReadInt("Settings", entry).value_or(-1); }
    std::string Str(std::string_view entry) const {
        return ReadString("Settings", entry).value_or("(none)");
    }
};

LogFont SampleFont() {
    LogFont f;
    f.height = -19;
    f.width = 0;
    f.escapement = 0;
    f.orientation = 0;
    f.weight = 700;
    f.italic = 255;
    f.underline = 1;
    f.strikeOut = 0;
    f.charSet = 128; // the Shift_JIS character set: must come back unsigned
    f.outPrecision = 3;
    f.clipPrecision = 2;
    f.quality = 1;
    f.pitchAndFamily = 49;
    return f;
}

TEST(FrameSettings, FontIsWrittenInTheThirteenNumberFormatAndReadBack) {
    const LogFont f = SampleFont();
    EXPECT_EQ(FormatFont(f), "-19,0,0,0,700,255,1,0,128,3,2,1,49");
    EXPECT_EQ(ParseFont(FormatFont(f)), f);

    LogFont extremes;
    extremes.height = INT32_MIN;
    extremes.width = INT32_MAX;
    extremes.pitchAndFamily = 255;
    EXPECT_EQ(FormatFont(extremes), "-2147483648,2147483647,0,0,0,0,0,0,0,0,0,0,255");
    EXPECT_EQ(ParseFont(FormatFont(extremes)), extremes);
}

TEST(FrameSettings, FontAcceptsWhatScanfAcceptsBeforeEachNumber) {
    // White space before a number and a sign are part of %ld; trailing blanks are harmless.
    auto f = ParseFont(" -19,\t+0, 0,0,700,0,0,0,128,3,2,1,49  ");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->height, -19);
    EXPECT_EQ(f->weight, 700);
    EXPECT_EQ(f->charSet, 128);
    EXPECT_EQ(f->faceName, "");
    // Leading zeros are decimal, not octal.
    auto z = ParseFont("010,0,0,0,0,0,0,0,0,0,0,0,0");
    ASSERT_TRUE(z);
    EXPECT_EQ(z->height, 10);
}

TEST(FrameSettings, MalformedFontValuesAreRejectedAsAWhole) {
    EXPECT_FALSE(ParseFont(""));
    EXPECT_FALSE(ParseFont("   "));
    EXPECT_FALSE(ParseFont("-19,0,0,0,700,0,0,0,128,3,2,1"));      // 12 numbers
    EXPECT_FALSE(ParseFont("-19,0,0,0,700,0,0,0,128,3,2,1,49,7")); // 14 numbers
    EXPECT_FALSE(ParseFont("-19,0,0,0,700,0,0,0,128,3,2,1,49,"));  // dangling comma
    EXPECT_FALSE(ParseFont("-19,0,0,0,700,0,0,0,128,3,2,1,49 x")); // trailing text
    EXPECT_FALSE(ParseFont("-19,0,0,0,700,0,0,0,128,3,2,1,4x"));
    EXPECT_FALSE(ParseFont("a,0,0,0,700,0,0,0,128,3,2,1,49"));    // letters
    EXPECT_FALSE(ParseFont("-19,,0,0,700,0,0,0,128,3,2,1,49"));   // empty field
    EXPECT_FALSE(ParseFont("-19 ,0,0,0,700,0,0,0,128,3,2,1,49")); // blank before a comma
    EXPECT_FALSE(ParseFont("-19;0;0;0;700;0;0;0;128;3;2;1;49"));
    EXPECT_FALSE(ParseFont("0x10,0,0,0,700,0,0,0,128,3,2,1,49"));       // no hexadecimal
    EXPECT_FALSE(ParseFont("- 19,0,0,0,700,0,0,0,128,3,2,1,49"));       // sign apart from digits
    EXPECT_FALSE(ParseFont("2147483648,0,0,0,700,0,0,0,128,3,2,1,49")); // beyond 32 bits
    EXPECT_FALSE(ParseFont("-2147483649,0,0,0,700,0,0,0,128,3,2,1,49"));
    EXPECT_FALSE(ParseFont("99999999999999999999999,0,0,0,0,0,0,0,0,0,0,0,0"));
    EXPECT_FALSE(ParseFont("-19,0,0,0,700,0,0,0,256,3,2,1,49"));  // byte field too big
    EXPECT_FALSE(ParseFont("-19,0,0,0,700,-1,0,0,128,3,2,1,49")); // byte field negative
    EXPECT_FALSE(ParseFont("-19,0,0,0,700,0,0,0,128,3,2,1,-49"));
}

TEST(FrameSettings, FaceNameIsCutToItsFieldWithoutSplittingACharacter) {
    EXPECT_EQ(TruncateFaceName("MS Gothic"), "MS Gothic");
    EXPECT_EQ(TruncateFaceName(std::string(31, 'a')), std::string(31, 'a'));
    EXPECT_EQ(TruncateFaceName(std::string(40, 'a')), std::string(31, 'a'));
    // 30 single bytes, then a double-byte character at bytes 30 and 31: it does not fit.
    std::string name = std::string(30, 'a') + "\x83\x5C" + "b";
    EXPECT_EQ(TruncateFaceName(name), std::string(30, 'a'));
    // 16 double-byte characters are 32 bytes: 15 of them fit.
    std::string wide;
    for (int i = 0; i < 16; ++i)
        wide += "\x82\x60";
    EXPECT_EQ(TruncateFaceName(wide), wide.substr(0, 30));
    EXPECT_EQ(TruncateFaceName(std::string("ab\0cd", 5)), "ab");
}

TEST(FrameSettings, ColoursParseOnlyWhenEveryNumberDoes) {
    EditorColours c;
    ASSERT_TRUE(ParseColors("0000FF,00ff00,0", c));
    EXPECT_EQ(c.keyword, 0x0000FFu);
    EXPECT_EQ(c.comment, 0x00FF00u);
    EXPECT_EQ(c.string, 0u);
    EXPECT_EQ(c.text, 0x000000u); // "Colors" leaves the editor colours alone
    ASSERT_TRUE(ParseEditorColors(" C0C0C0, 123456 ", c));
    EXPECT_EQ(c.text, 0xC0C0C0u);
    EXPECT_EQ(c.background, 0x123456u);

    const EditorColours before = c;
    for (const char* bad :
         {"", "FF0000,0000C0", "FF0000,0000C0,808000,000000", "FF0000,0000C0,", "FF0000,XYZ,808000",
          "FF0000,0000C0,8080G0", "1000000,0,0", "FF0000,-1,0", "0x0000FF,0,0",
          "FF0000 ,0000C0,808000", "FF0000,0000C0,808000 junk"}) {
        EXPECT_FALSE(ParseColors(bad, c)) << bad;
        EXPECT_EQ(c, before) << bad;
    }
    for (const char* bad : {"", "FFFFFF", "000000,FFFFFF,000000", "000000,", "zzzzzz,FFFFFF"}) {
        EXPECT_FALSE(ParseEditorColors(bad, c)) << bad;
        EXPECT_EQ(c, before) << bad;
    }
}

TEST(FrameSettings, ColoursAreWrittenAsSixUpperCaseDigits) {
    EditorColours c;
    c.keyword = 0xabcdef;
    c.text = 0x1;
    c.background = 0xFF123456; // stray high bits would make the value unreadable next time
    EXPECT_EQ(FormatColors(c), "ABCDEF,0000C0,808000");
    EXPECT_EQ(FormatEditorColors(c), "000001,123456");
    EditorColours back;
    ASSERT_TRUE(ParseColors(FormatColors(c), back));
    ASSERT_TRUE(ParseEditorColors(FormatEditorColors(c), back));
    EXPECT_EQ(back.keyword, 0xABCDEFu);
    EXPECT_EQ(back.background, 0x123456u);
}

TEST(FrameSettings, WindowPosNeedsExactlyFiveNumbers) {
    auto p = ParseWindowPos("3,-8,-8,1288,1008");
    ASSERT_TRUE(p);
    EXPECT_EQ(*p, (WindowPlacement{3, -8, -8, 1288, 1008}));
    EXPECT_TRUE(ParseWindowPos(" 1, 10, 20, 810, 620"));
    EXPECT_FALSE(ParseWindowPos(""));
    EXPECT_FALSE(ParseWindowPos("1,10,20,810"));
    EXPECT_FALSE(ParseWindowPos("1,10,20,810,620,5"));
    EXPECT_FALSE(ParseWindowPos("-1,10,20,810,620")); // %u would turn this into 4294967295
    EXPECT_FALSE(ParseWindowPos("1,10,20,810,2147483648"));
    EXPECT_FALSE(ParseWindowPos("1,10,20,810,six"));
}

TEST(FrameSettings, MinimisedWindowIsWrittenAsNormalMaximisedStays) {
    EXPECT_EQ(FormatWindowPos({kShowMaximized, -8, -8, 1288, 1008}), "3,-8,-8,1288,1008");
    EXPECT_EQ(FormatWindowPos({kShowNormal, 10, 20, 810, 620}), "1,10,20,810,620");
    EXPECT_EQ(FormatWindowPos({kShowMinimized, 10, 20, 810, 620}), "1,10,20,810,620");
    EXPECT_EQ(FormatWindowPos({6, 10, 20, 810, 620}), "1,10,20,810,620");
    EXPECT_EQ(FormatWindowPos({7, 10, 20, 810, 620}), "1,10,20,810,620");

    EXPECT_EQ(ShowStateOf(kShowMaximized), WindowShowState::Maximized);
    EXPECT_EQ(ShowStateOf(kShowNormal), WindowShowState::Normal);
    EXPECT_EQ(ShowStateOf(kShowMinimized), WindowShowState::Minimized);
    // A stored hide command must not leave the only window invisible.
    EXPECT_EQ(ShowStateOf(kShowHide), WindowShowState::Normal);
    EXPECT_EQ(ShowStateOf(4000000000u), WindowShowState::Normal);
}

TEST(FrameSettings, FirstStartGivesTheDefaults) {
    FakeStore store;
    FrameSettings s = LoadFrameSettings(store);
    EXPECT_FALSE(s.font);
    EXPECT_EQ(FormatColors(s.colours), "FF0000,0000C0,808000");
    EXPECT_EQ(FormatEditorColors(s.colours), "000000,FFFFFF");
    EXPECT_FALSE(s.windowPos);
    EXPECT_FALSE(s.topMost);
    EXPECT_EQ(s.toolchain, 1);
}

TEST(FrameSettings, StoredValuesAreReadWithTheirFallbacks) {
    FakeStore store;
    store.Set("Font", "-19,0,0,0,400,0,0,0,128,3,2,1,49");
    store.Set("Font-Family", std::string(40, 'F'));
    store.Set("Colors", "FF0000,0000C0"); // unparsable: all three keep their defaults
    store.Set("Editor", "FFFFFF,000000");
    store.Set("WindowPos", "2,1,2,3,4");
    store.SetInt("TopMost", 5);
    store.SetInt("IsLCC", 2);
    FrameSettings s = LoadFrameSettings(store);
    ASSERT_TRUE(s.font);
    EXPECT_EQ(s.font->weight, 400);
    EXPECT_EQ(s.font->faceName, std::string(31, 'F'));
    EXPECT_EQ(s.colours.keyword, 0xFF0000u);
    EXPECT_EQ(s.colours.text, 0xFFFFFFu);
    EXPECT_EQ(s.colours.background, 0x000000u);
    ASSERT_TRUE(s.windowPos);
    EXPECT_EQ(s.windowPos->showCmd, 2u);
    EXPECT_TRUE(s.topMost);    // any non-zero value, not only 8
    EXPECT_EQ(s.toolchain, 2); // kept as stored; mapping is the reader's business

    // Twelve numbers fall back to the default font even with a face name stored.
    store.Set("Font", "-19,0,0,0,400,0,0,0,128,3,2,1");
    store.Set("Font-Family", "MS Gothic");
    EXPECT_FALSE(LoadFrameSettings(store).font);
    // A face name alone is no font.
    store.Set("Font", "");
    EXPECT_FALSE(ReadFontSetting(store));
}

TEST(FrameSettings, CloseWritesTopMostThenToolchainDestroyWritesTheRest) {
    FakeStore store;
    ASSERT_TRUE(SaveCloseSettings(store, true, 0));
    EXPECT_EQ(store.writes, (std::vector<std::string>{"TopMost", "IsLCC"}));
    EXPECT_EQ(store.Int("TopMost"), 8);
    EXPECT_EQ(store.Int("IsLCC"), 0);
    ASSERT_TRUE(SaveCloseSettings(store, false, 3));
    EXPECT_EQ(store.Int("TopMost"), 0);

    store.writes.clear();
    FrameSettings s;
    s.font = SampleFont();
    s.font->faceName = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e"; // ＭＳ ゴシック
    s.colours.keyword = 0x112233;
    s.colours.background = 0xEEEEEE;
    s.windowPos = WindowPlacement{kShowMinimized, 5, 6, 700, 500};
    ASSERT_TRUE(SaveDestroySettings(store, s));
    EXPECT_EQ(store.writes,
              (std::vector<std::string>{"Font", "Font-Family", "Colors", "Editor", "WindowPos"}));
    EXPECT_EQ(store.Str("Colors"), "112233,0000C0,808000");
    EXPECT_EQ(store.Str("Editor"), "000000,EEEEEE");
    EXPECT_EQ(store.Str("WindowPos"), "1,5,6,700,500");

    FrameSettings back = LoadFrameSettings(store);
    EXPECT_EQ(back.font, s.font);
    EXPECT_EQ(back.colours, s.colours);
    EXPECT_EQ(back.windowPos, (WindowPlacement{kShowNormal, 5, 6, 700, 500}));
    EXPECT_FALSE(back.topMost);
    EXPECT_EQ(back.toolchain, 3);
}

TEST(FrameSettings, MissingFontAndPlacementAreNotWrittenAndFailuresReported) {
    FakeStore store;
    FrameSettings s; // no font, no placement
    ASSERT_TRUE(SaveDestroySettings(store, s));
    EXPECT_EQ(store.writes, (std::vector<std::string>{"Colors", "Editor"}));

    FakeStore broken;
    broken.failWrites = true;
    s.font = SampleFont();
    s.windowPos = WindowPlacement{};
    EXPECT_FALSE(SaveDestroySettings(broken, s));
    // A failed write does not stop the ones after it.
    EXPECT_EQ(broken.writes.size(), 5u);
}

} // namespace
} // namespace mireka
