// The palette table and the movement between its cells.
#include "core/widgets/ColourPalette.h"

#include <vector>

namespace mireka {

namespace {

constexpr Colour Rgb(unsigned r, unsigned g, unsigned b) noexcept {
    return static_cast<Colour>(r | g << 8 | b << 16);
}

// The cells in the order left and right step through them.
std::vector<int> Cycle(PaletteRows rows) {
    std::vector<int> cells;
    if (rows.automatic) cells.push_back(kCellAutomatic);
    for (int i = 0; i < kPaletteSize; ++i)
        cells.push_back(i);
    if (rows.custom) cells.push_back(kCellCustom);
    return cells;
}

} // namespace

const std::array<PaletteEntry, kPaletteSize>& Palette() noexcept {
    static constexpr std::array<PaletteEntry, kPaletteSize> table = {{
        {Rgb(0, 0, 0), "Black"},
        {Rgb(165, 42, 0), "Brown"},
        {Rgb(0, 64, 64), "Dark Olive Green"},
        {Rgb(0, 85, 0), "Dark Green"},
        {Rgb(0, 0, 94), "Dark Teal"},
        {Rgb(0, 0, 139), "Dark blue"},
        {Rgb(75, 0, 130), "Indigo"},
        {Rgb(40, 40, 40), "Dark grey"},
        {Rgb(139, 0, 0), "Dark red"},
        {Rgb(255, 104, 32), "Orange"},
        {Rgb(139, 139, 0), "Dark yellow"},
        {Rgb(0, 147, 0), "Green"},
        {Rgb(56, 142, 142), "Teal"},
        {Rgb(0, 0, 255), "Blue"},
        {Rgb(123, 123, 192), "Blue-grey"},
        {Rgb(102, 102, 102), "Grey - 40"},
        {Rgb(255, 0, 0), "Red"},
        {Rgb(255, 173, 91), "Light orange"},
        {Rgb(50, 205, 50), "Lime"},
        {Rgb(60, 179, 113), "Sea green"},
        {Rgb(127, 255, 212), "Aqua"},
        {Rgb(125, 158, 192), "Light blue"},
        {Rgb(128, 0, 128), "Violet"},
        {Rgb(127, 127, 127), "Grey - 50"},
        {Rgb(255, 192, 203), "Pink"},
        {Rgb(255, 215, 0), "Gold"},
        {Rgb(255, 255, 0), "Yellow"},
        {Rgb(0, 255, 0), "Bright green"},
        {Rgb(64, 224, 208), "Turquoise"},
        {Rgb(192, 255, 255), "Skyblue"},
        {Rgb(72, 0, 72), "Plum"},
        {Rgb(192, 192, 192), "Light grey"},
        {Rgb(255, 228, 225), "Rose"},
        {Rgb(210, 180, 140), "Tan"},
        {Rgb(255, 255, 224), "Light yellow"},
        {Rgb(152, 251, 152), "Pale green "},
        {Rgb(175, 238, 238), "Pale turquoise"},
        {Rgb(104, 131, 139), "Pale blue"},
        {Rgb(230, 230, 250), "Lavender"},
        {Rgb(255, 255, 255), "White"},
    }};
    return table;
}

int CellOfColour(Colour colour, PaletteRows rows) noexcept {
    if (colour == kAutomaticColour) return rows.automatic ? kCellAutomatic : kCellNone;
    for (int i = 0; i < kPaletteSize; ++i)
        if (Palette()[static_cast<std::size_t>(i)].colour == colour) return i;
    return rows.custom ? kCellCustom : kCellNone;
}

Colour ColourOfCell(int cell, Colour initial) noexcept {
    if (cell >= 0 && cell < kPaletteSize) return Palette()[static_cast<std::size_t>(cell)].colour;
    if (cell == kCellAutomatic) return kAutomaticColour;
    return initial;
}

int MoveCell(int cell, PaletteKey key, PaletteRows rows) noexcept {
    const std::vector<int> cycle = Cycle(rows);
    const bool forward = key == PaletteKey::Right || key == PaletteKey::Down;
    if (cell == kCellNone) return forward ? cycle.front() : cycle.back();
    const bool vertical = key == PaletteKey::Up || key == PaletteKey::Down;
    if (vertical && cell >= 0) {
        const int next = cell + (forward ? kPaletteColumns : -kPaletteColumns);
        if (next >= 0 && next < kPaletteSize) return next;
        if (forward)
            return rows.custom      ? kCellCustom
                   : rows.automatic ? kCellAutomatic
                                    : next - kPaletteSize;
        return rows.automatic ? kCellAutomatic : rows.custom ? kCellCustom : next + kPaletteSize;
    }
    if (vertical) {
        // From a row: down from the automatic row enters the grid at its top, up from the custom
        // row at its bottom; the other ways pass to the other row or round the grid.
        if (cell == kCellAutomatic)
            return forward ? 0 : rows.custom ? kCellCustom : kPaletteSize - kPaletteColumns;
        return forward ? (rows.automatic ? kCellAutomatic : 0) : kPaletteSize - kPaletteColumns;
    }
    std::size_t at = 0;
    while (at < cycle.size() && cycle[at] != cell)
        ++at;
    if (at == cycle.size()) return cycle.front();
    const std::size_t n = cycle.size();
    return cycle[forward ? (at + 1) % n : (at + n - 1) % n];
}

} // namespace mireka
