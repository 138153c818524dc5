// Cell grid arithmetic and word boundaries.
#include "core/editor/Layout.h"

#include "core/base/Dbcs.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace mireka::layout {

// Only tabs need looking at one by one in code page 932: a tab is never part of a double-byte
// character, and every other character takes as many cells as it has bytes. UTF-8 runs between
// tabs go eight ASCII bytes at a time, so long lines are still measured near byte-search speed.

namespace {

// Cells of the characters that start in the tab-free run [from, to) of a UTF-8 line; one that
// `to` cuts counts whole.
std::int64_t Utf8RunCells(std::string_view line, std::size_t from, std::size_t to) noexcept {
    std::int64_t cells = 0;
    for (std::size_t i = from;;) {
        const std::size_t j = SkipAscii(line.substr(0, to), i);
        cells += static_cast<std::int64_t>(j - i);
        if (j >= to) return cells;
        cells += chars::CharCells(Encoding::Utf8, line, j);
        i = j + chars::CharLength(Encoding::Utf8, line, j);
    }
}

// The character of the tab-free run [from, to) that covers `cell`, counting `cells` before
// `from`; none when the run ends first, with `cells` then past the run.
std::optional<CellPlace> CharInRun(Encoding enc, std::string_view line, std::size_t from,
                                   std::size_t to, std::int64_t cell,
                                   std::int64_t& cells) noexcept {
    if (enc == Encoding::Cp932) {
        if (cell < cells + static_cast<std::int64_t>(to - from)) {
            const std::size_t k =
                dbcs::CharStart(line, from + static_cast<std::size_t>(cell - cells));
            return CellPlace{k, Cells(cells + static_cast<std::int64_t>(k - from))};
        }
        cells += static_cast<std::int64_t>(to - from);
        return std::nullopt;
    }
    for (std::size_t i = from; i < to;) {
        const std::size_t j = SkipAscii(line.substr(0, to), i);
        if (cell < cells + static_cast<std::int64_t>(j - i))
            return CellPlace{i + static_cast<std::size_t>(cell - cells), Cells(cell)};
        cells += static_cast<std::int64_t>(j - i);
        if (j >= to) break;
        const int width = chars::CharCells(enc, line, j);
        if (cell < cells + width) return CellPlace{j, Cells(cells)};
        cells += width;
        i = j + chars::CharLength(enc, line, j);
    }
    return std::nullopt;
}

} // namespace

Cells CellOfColumn(std::string_view line, std::size_t column, int tabCells, Encoding enc) noexcept {
    if (column > line.size()) column = line.size();
    std::int64_t cells = CellsFrom(line, 0, Cells(0), column, tabCells, enc).Count();
    // A column inside a double-byte character counts the whole character.
    if (enc == Encoding::Cp932 && !dbcs::IsCharBoundary(line, column)) ++cells;
    return Cells(cells);
}

Cells CellsFrom(std::string_view line, std::size_t from, Cells fromCells, std::size_t column,
                int tabCells, Encoding enc) noexcept {
    if (tabCells < 1) tabCells = 1;
    if (column > line.size()) column = line.size();
    std::int64_t cells = fromCells.Count();
    for (std::size_t i = from; i < column;) {
        const void* tab = std::memchr(line.data() + i, '\t', column - i);
        const std::size_t stop =
            tab ? static_cast<std::size_t>(static_cast<const char*>(tab) - line.data()) : column;
        cells += enc == Encoding::Utf8 ? Utf8RunCells(line, i, stop)
                                       : static_cast<std::int64_t>(stop - i);
        if (!tab) break;
        cells += tabCells - cells % tabCells;
        i = stop + 1;
    }
    return Cells(cells);
}

CellPlace CharAtCell(std::string_view line, Cells at, int tabCells, Encoding enc) noexcept {
    return CharAtCellFrom(line, 0, Cells(0), at, tabCells, enc);
}

CellPlace CharAtCellFrom(std::string_view line, std::size_t from, Cells fromCells, Cells at,
                         int tabCells, Encoding enc) noexcept {
    if (tabCells < 1) tabCells = 1;
    const std::int64_t cell = std::max<std::int64_t>(at.Count(), 0);
    std::int64_t cells = fromCells.Count();
    if (cell < cells) return {from, fromCells};
    for (std::size_t i = from;;) {
        const void* tab = std::memchr(line.data() + i, '\t', line.size() - i);
        const std::size_t stop =
            tab ? static_cast<std::size_t>(static_cast<const char*>(tab) - line.data())
                : line.size();
        if (const auto place = CharInRun(enc, line, i, stop, cell, cells)) return *place;
        if (!tab) return {line.size(), Cells(cells)};
        if (cell < cells + (tabCells - cells % tabCells)) return {stop, Cells(cells)};
        cells += tabCells - cells % tabCells;
        i = stop + 1;
    }
}

std::size_t ColumnAtCell(std::string_view line, double cell, int tabCells, Encoding enc) noexcept {
    return ColumnAtCellFrom(line, 0, Cells(0), cell, tabCells, enc);
}

std::size_t ColumnAtCellFrom(std::string_view line, std::size_t from, Cells fromCells, double cell,
                             int tabCells, Encoding enc) noexcept {
    if (tabCells < 1) tabCells = 1;
    if (cell <= 0) return 0;
    const CellPlace at = CharAtCellFrom(line, from, fromCells,
                                        Cells(static_cast<std::int64_t>(cell)), tabCells, enc);
    if (at.column >= line.size()) return line.size();
    const std::size_t len = chars::CharLength(enc, line, at.column);
    const std::int64_t before = at.cells.Count();
    const std::int64_t width = line[at.column] == '\t' ? tabCells - before % tabCells
                                                       : chars::CharCells(enc, line, at.column);
    return cell < static_cast<double>(before) + static_cast<double>(width) / 2.0 ? at.column
                                                                                 : at.column + len;
}

WordClass ClassAt(std::string_view line, std::size_t column, Encoding enc) noexcept {
    if (column >= line.size()) return WordClass::Space;
    const auto b = static_cast<unsigned char>(line[column]);
    if (enc == Encoding::Utf8) {
        if (b >= 0x80)
            return chars::CharCells(enc, line, column) == 2 ? WordClass::Wide : WordClass::Word;
    } else if (dbcs::CharLength(line, column) == 2) {
        return WordClass::Wide;
    }
    if (b == ' ' || b == '\t' || b < 0x20) return WordClass::Space;
    if (b == '_' || (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') ||
        (enc == Encoding::Cp932 && dbcs::IsKana(b)))
        return WordClass::Word;
    return WordClass::Punct;
}

std::size_t PrevWordStart(std::string_view line, std::size_t column, Encoding enc) noexcept {
    if (column > line.size()) column = line.size();
    const auto prev = [&](std::size_t i) { return chars::PrevCharPos(enc, line, i); };
    std::size_t i = column;
    while (i > 0 && ClassAt(line, prev(i), enc) == WordClass::Space)
        i = prev(i);
    if (i == 0) return 0;
    const WordClass cls = ClassAt(line, prev(i), enc);
    while (i > 0 && ClassAt(line, prev(i), enc) == cls)
        i = prev(i);
    return i;
}

std::size_t NextWordStart(std::string_view line, std::size_t column, Encoding enc) noexcept {
    std::size_t i = column;
    if (i >= line.size()) return line.size();
    const WordClass cls = ClassAt(line, i, enc);
    if (cls != WordClass::Space)
        while (i < line.size() && ClassAt(line, i, enc) == cls)
            i = chars::NextCharPos(enc, line, i);
    while (i < line.size() && ClassAt(line, i, enc) == WordClass::Space)
        i = chars::NextCharPos(enc, line, i);
    return i;
}

Range WordAt(std::string_view line, std::size_t column, Encoding enc) noexcept {
    if (line.empty()) return {0, 0};
    if (column >= line.size()) column = chars::PrevCharPos(enc, line, line.size());
    column = chars::CharStart(enc, line, column);
    const WordClass cls = ClassAt(line, column, enc);
    std::size_t first = column;
    while (first > 0 && ClassAt(line, chars::PrevCharPos(enc, line, first), enc) == cls)
        first = chars::PrevCharPos(enc, line, first);
    std::size_t last = chars::NextCharPos(enc, line, column);
    while (last < line.size() && ClassAt(line, last, enc) == cls)
        last = chars::NextCharPos(enc, line, last);
    return {first, last};
}

} // namespace mireka::layout
