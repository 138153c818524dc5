// The saved bar list and the check that rejects a layout naming bars that do not exist.
#include "core/widgets/BarState.h"

#include <gtest/gtest.h>

#include <vector>

namespace mireka {
namespace {

constexpr int kToolBar = 59392;
constexpr int kStatusBar = 59393;
constexpr int kOutput = 124;
const std::vector<int> kExisting = {kToolBar, kStatusBar, kOutput};

bool Valid(std::string_view value) {
    const auto ids = ParseBarIds(value);
    return ids && SavedBarsExist(*ids, kExisting);
}

TEST(BarState, ListRoundTripsAndRejectsAnythingButNumbers) {
    const std::vector<int> ids = {kToolBar, kStatusBar, kOutput};
    EXPECT_EQ(FormatBarIds(ids), "59392,59393,124");
    EXPECT_EQ(ParseBarIds(FormatBarIds(ids)), (std::vector<long long>{59392, 59393, 124}));
    EXPECT_EQ(ParseBarIds(" 124 ,\t0"), (std::vector<long long>{124, 0}));
    for (std::string_view bad : {"", "  ", "124,", ",124", "124,,0", "-124", "+124", "12a", "0x7C",
                                 "124;0", "12345678901"})
        EXPECT_EQ(ParseBarIds(bad), std::nullopt) << bad;
}

TEST(BarState, EveryListedBarMustExist) {
    EXPECT_TRUE(Valid("59392,124"));
    EXPECT_TRUE(Valid("124"));
    // Row separators are skipped; placeholders name the bar in their low 16 bits.
    EXPECT_TRUE(Valid("59392,0,124"));
    EXPECT_TRUE(Valid("0"));
    EXPECT_TRUE(Valid("65660"));      // 0x1007C, a placeholder of 124
    EXPECT_TRUE(Valid("4294901884")); // 0xFFFF007C
    // One unknown bar rejects the whole layout.
    EXPECT_FALSE(Valid("59392,125"));
    EXPECT_FALSE(Valid("65661"));
    EXPECT_FALSE(Valid("65535"));
    EXPECT_FALSE(Valid("65536")); // a placeholder of id 0, which no bar has
    EXPECT_FALSE(Valid("not a list"));
}

TEST(BarState, HexTextIsAnEvenRunOfHexDigits) {
    EXPECT_TRUE(IsHexText(""));
    EXPECT_TRUE(IsHexText("00fFa9"));
    EXPECT_FALSE(IsHexText("abc"));
    EXPECT_FALSE(IsHexText("0g"));
    EXPECT_FALSE(IsHexText("00 11"));
}

} // namespace
} // namespace mireka
