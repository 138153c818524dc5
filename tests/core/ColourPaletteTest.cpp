// The colour picker's palette and its keyboard movement.
#include "core/widgets/ColourPalette.h"

#include <gtest/gtest.h>

namespace mireka {
namespace {

TEST(ColourPalette, TheTable) {
    const auto& p = Palette();
    EXPECT_EQ(p[0].name, "Black");
    EXPECT_EQ(p[9].colour, 0x2068FFu); // Orange, 255 104 32 as 0x00BBGGRR
    EXPECT_EQ(p[35].name, "Pale green ") << "the name keeps its trailing space";
    EXPECT_EQ(p[39].colour, 0xFFFFFFu);
    EXPECT_EQ(kPaletteRows, 4);
}

TEST(ColourPalette, TheHotCellWhenThePaletteOpens) {
    const PaletteRows both{true, true}, none{false, false};
    EXPECT_EQ(CellOfColour(0x0000FF, both), 16); // red
    EXPECT_EQ(CellOfColour(kAutomaticColour, both), kCellAutomatic);
    EXPECT_EQ(CellOfColour(kAutomaticColour, none), kCellNone);
    EXPECT_EQ(CellOfColour(0x123456, both), kCellCustom);
    EXPECT_EQ(CellOfColour(0x123456, none), kCellNone);
    EXPECT_EQ(ColourOfCell(13, 0x123456), 0xFF0000u); // blue
    EXPECT_EQ(ColourOfCell(kCellCustom, 0x123456), 0x123456u);
    EXPECT_EQ(ColourOfCell(kCellAutomatic, 0x123456), kAutomaticColour);
}

TEST(ColourPalette, ArrowsWalkTheGridAndTheRows) {
    using K = PaletteKey;
    struct Case {
        int from;
        K key;
        PaletteRows rows;
        int to;
    };
    const PaletteRows both{true, true}, none{false, false};
    const Case cases[] = {
        {3, K::Right, both, 4},
        {9, K::Right, both, 10}, // the last column wraps to the next row
        {39, K::Right, both, kCellCustom},
        {kCellCustom, K::Right, both, kCellAutomatic},
        {kCellAutomatic, K::Right, both, 0},
        {0, K::Left, both, kCellAutomatic},
        {kCellAutomatic, K::Left, both, kCellCustom},
        {12, K::Down, both, 22},
        {35, K::Down, both, kCellCustom},
        {5, K::Up, both, kCellAutomatic},
        {kCellAutomatic, K::Down, both, 0},
        {kCellCustom, K::Up, both, 30},
        {kCellCustom, K::Down, both, kCellAutomatic},
        {kCellAutomatic, K::Up, both, kCellCustom},
        {39, K::Right, none, 0},
        {0, K::Left, none, 39},
        {35, K::Down, none, 5},
        {5, K::Up, none, 35},
        {kCellNone, K::Right, both, kCellAutomatic},
        {kCellNone, K::Up, both, kCellCustom},
        {kCellNone, K::Down, none, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MoveCell(c.from, c.key, c.rows), c.to)
            << c.from << " key " << static_cast<int>(c.key);
}

} // namespace
} // namespace mireka
