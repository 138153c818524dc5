#include "core/document/ClipboardHistory.h"

#include <gtest/gtest.h>

namespace mireka {
namespace {

TEST(ClipboardHistoryLine, SpellsOutControlsAndNeverSplitsACharacter) {
    struct Case {
        long index;
        std::string text;
        std::string line;
    };
    const Case cases[] = {
        {0, "int a;", "  0: int a;"},
        {99, "a\r\nb\tc", " 99: a\\r\\nb\\tc"},
        {7, "say \"hi\" \\ end", "  7: say \\\"hi\\\" \\\\ end"},
        {1000, "", "1000: "},
        // "表" is 0x95 0x5C: its trail byte is not a backslash to escape.
        {1, "\x95\x5C\x8E\xA6", "  1: \x95\x5C\x8E\xA6"},
        // A lone lead byte at the end is copied as it is.
        {2, "x\x81", "  2: x\x81"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClipboardHistoryLine(c.index, c.text), c.line) << c.text;

    // Cut at 256 bytes: a double-byte character or an escape that would cross it is left out.
    const std::string ascii(300, 'a');
    EXPECT_EQ(ClipboardHistoryLine(0, ascii), "  0: " + std::string(251, 'a'));
    const std::string kana = std::string(250, 'a') + "\x83\x41";
    EXPECT_EQ(ClipboardHistoryLine(0, kana).size(), 255u);
    EXPECT_EQ(ClipboardHistoryLine(0, std::string(250, 'a') + "\n").size(), 255u);
    EXPECT_EQ(ClipboardHistoryLine(0, std::string(249, 'a') + "\x83\x41"),
              "  0: " + std::string(249, 'a') + "\x83\x41");
}

TEST(ClipboardRepeats, ARepeatOfTheNewestWithTheSameOwnerIsNoCopy) {
    using A = ClipboardAnnouncement;
    const std::vector<std::string> text{"text/plain"}, rich{"text/html", "text/plain"};
    struct Step {
        A announced;
        bool onWayland, elsewhere; // taken where focus repeats it, and where it does not
    };
    const Step steps[] = {
        {A{"a", text, false}, true, true},  // the first is always taken
        {A{"a", text, false}, false, true}, // the focus came back: a repeat
        {A{"a", rich, false}, true, true},  // other formats: a new copy
        {A{"a", rich, true}, true, true},   // the same text, now ours: another owner
        {A{"a", rich, true}, false, true},  // our own, repeated
        {A{"a", rich, false}, true, true},  // another program took it again
        {A{"b", rich, false}, true, true},  {A{"", {}, false}, true, true},
        {A{"", {}, false}, false, true},
    };
    ClipboardRepeats wayland(true), x11(false);
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        EXPECT_EQ(wayland.Take(steps[i].announced), steps[i].onWayland) << i;
        EXPECT_EQ(x11.Take(steps[i].announced), steps[i].elsewhere) << i;
    }
}

} // namespace
} // namespace mireka
