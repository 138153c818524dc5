// The colour picker's palette and its keyboard movement.
#include "core/widgets/ColourPalette.h"

#include <gtest/gtest.h>

namespace mireka {
namespace {

TEST(ColourPalette, TheTable) {
    struct Entry {
        std::string_view name;
        unsigned r, g, b;
    };
    // In cell order; entry 35's name keeps its trailing space.
    const Entry table[] = {
        {"Black", 0, 0, 0},
        {"Brown", 165, 42, 0},
        {"Dark Olive Green", 0, 64, 64},
        {"Dark Green", 0, 85, 0},
        {"Dark Teal", 0, 0, 94},
        {"Dark blue", 0, 0, 139},
        {"Indigo", 75, 0, 130},
        {"Dark grey", 40, 40, 40},
        {"Dark red", 139, 0, 0},
        {"Orange", 255, 104, 32},
        {"Dark yellow", 139, 139, 0},
        {"Green", 0, 147, 0},
        {"Teal", 56, 142, 142},
        {"Blue", 0, 0, 255},
        {"Blue-grey", 123, 123, 192},
        {"Grey - 40", 102, 102, 102},
        {"Red", 255, 0, 0},
        {"Light orange", 255, 173, 91},
        {"Lime", 50, 205, 50},
        {"Sea green", 60, 179, 113},
        {"Aqua", 127, 255, 212},
        {"Light blue", 125, 158, 192},
        {"Violet", 128, 0, 128},
        {"Grey - 50", 127, 127, 127},
        {"Pink", 255, 192, 203},
        {"Gold", 255, 215, 0},
        {"Yellow", 255, 255, 0},
        {"Bright green", 0, 255, 0},
        {"Turquoise", 64, 224, 208},
        {"Skyblue", 192, 255, 255},
        {"Plum", 72, 0, 72},
        {"Light grey", 192, 192, 192},
        {"Rose", 255, 228, 225},
        {"Tan", 210, 180, 140},
        {"Light yellow", 255, 255, 224},
        {"Pale green ", 152, 251, 152},
        {"Pale turquoise", 175, 238, 238},
        {"Pale blue", 104, 131, 139},
        {"Lavender", 230, 230, 250},
        {"White", 255, 255, 255},
    };
    const auto& p = Palette();
    ASSERT_EQ(std::size(p), std::size(table));
    for (std::size_t i = 0; i < std::size(table); ++i) {
        EXPECT_EQ(p[i].name, table[i].name) << i;
        EXPECT_EQ(p[i].colour, table[i].b << 16 | table[i].g << 8 | table[i].r) << i; // 0x00BBGGRR
    }
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
