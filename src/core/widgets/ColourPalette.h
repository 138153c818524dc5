// The colour picker's palette: forty named colours in ten columns, an automatic row above the
// grid and a custom row below it, and how the arrow keys move between them.
#pragma once

#include "core/base/Colour.h"

#include <array>
#include <string_view>

namespace mireka {

// No explicit colour: the swatch shows the button face, a caption black.
inline constexpr Colour kAutomaticColour = 0xFF000000;

struct PaletteEntry {
    Colour colour; // 0x00BBGGRR
    std::string_view name;
};

inline constexpr int kPaletteSize = 40;
inline constexpr int kPaletteColumns = 10;
inline constexpr int kPaletteRows = (kPaletteSize + kPaletteColumns - 1) / kPaletteColumns;

// Cells: 0 … 39 the palette; these three the rows and nothing.
inline constexpr int kCellNone = -1;
inline constexpr int kCellCustom = -2;
inline constexpr int kCellAutomatic = -3;

[[nodiscard]] const std::array<PaletteEntry, kPaletteSize>& Palette() noexcept;

// Which rows the palette has: a row whose label is empty is left out.
struct PaletteRows {
    bool automatic = true;
    bool custom = true;
};

// The cell that is hot when the palette opens on `colour`: its palette cell; the automatic row
// for the automatic colour; the custom row for any other colour; none where that row is missing.
[[nodiscard]] int CellOfColour(Colour colour, PaletteRows rows) noexcept;

// The colour a cell stands for: the custom row keeps `initial` (until the colour dialog has
// spoken), the automatic row is kAutomaticColour.
[[nodiscard]] Colour ColourOfCell(int cell, Colour initial) noexcept;

enum class PaletteKey { Left, Right, Up, Down };

// The arrow keys: left and right step through automatic, 0 … 39, custom and round again; up and
// down move a row within the grid and leave it for the automatic row above and the custom row
// below. From no cell, right and down start at the first cell, left and up at the last.
[[nodiscard]] int MoveCell(int cell, PaletteKey key, PaletteRows rows) noexcept;

} // namespace mireka
