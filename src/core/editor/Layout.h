// The fixed cell grid of the edit control: a tab runs to the next tab stop, every other character
// takes the cells its encoding's rules give it (code page 932: one per byte; UTF-8: two for a
// wide character, else one). Columns are byte offsets inside a line.
#pragma once

#include "core/base/Encoding.h"
#include "core/base/Units.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace mireka::layout {

// Cells taken by the bytes [0, column) of `line`.
[[nodiscard]] Cells CellOfColumn(std::string_view line, std::size_t column, int tabCells,
                                 Encoding enc = Encoding::Cp932) noexcept;

// Cells taken by the whole line.
[[nodiscard]] inline Cells LineCells(std::string_view line, int tabCells,
                                     Encoding enc = Encoding::Cp932) noexcept {
    return CellOfColumn(line, line.size(), tabCells, enc);
}

// The character boundary nearest to the cell position `cell` (fractional: a point inside a
// character picks the boundary on the nearer side). Never lands inside a character.
[[nodiscard]] std::size_t ColumnAtCell(std::string_view line, double cell, int tabCells,
                                       Encoding enc = Encoding::Cp932) noexcept;

// The character that covers cell `cell` (the line's end when none does), and the cells before
// it.
struct CellPlace {
    std::size_t column;
    Cells cells;
};
[[nodiscard]] CellPlace CharAtCell(std::string_view line, Cells cell, int tabCells,
                                   Encoding enc = Encoding::Cp932) noexcept;

// The same resumed at `from`, a character boundary with `fromCells` cells before it, for callers
// that keep such places of long lines (the cell a tab reaches depends on all cells before it).
[[nodiscard]] Cells CellsFrom(std::string_view line, std::size_t from, Cells fromCells,
                              std::size_t column, int tabCells, Encoding enc) noexcept;
[[nodiscard]] CellPlace CharAtCellFrom(std::string_view line, std::size_t from, Cells fromCells,
                                       Cells cell, int tabCells, Encoding enc) noexcept;
[[nodiscard]] std::size_t ColumnAtCellFrom(std::string_view line, std::size_t from, Cells fromCells,
                                           double cell, int tabCells, Encoding enc) noexcept;

// Character classes for word movement and double-click selection. A character of two cells is
// Wide; in UTF-8 any other non-ASCII character is Word.
enum class WordClass { Space, Word, Punct, Wide };
[[nodiscard]] WordClass ClassAt(std::string_view line, std::size_t column,
                                Encoding enc = Encoding::Cp932) noexcept;

// Start of the word that ends the previous word step before `column` (Ctrl+Left inside a line).
[[nodiscard]] std::size_t PrevWordStart(std::string_view line, std::size_t column,
                                        Encoding enc = Encoding::Cp932) noexcept;
// Start of the next word after `column` (Ctrl+Right inside a line); line size when none.
[[nodiscard]] std::size_t NextWordStart(std::string_view line, std::size_t column,
                                        Encoding enc = Encoding::Cp932) noexcept;
// The run of one class around `column` (double-click selection): [first, second).
struct Range {
    std::size_t first;
    std::size_t second;
};
[[nodiscard]] Range WordAt(std::string_view line, std::size_t column,
                           Encoding enc = Encoding::Cp932) noexcept;

} // namespace mireka::layout
