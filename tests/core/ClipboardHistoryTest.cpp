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

} // namespace
} // namespace mireka
