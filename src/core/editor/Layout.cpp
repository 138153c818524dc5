// Cell grid arithmetic and word boundaries.
#include "core/editor/Layout.h"

#include "core/base/Dbcs.h"

#include <cstring>

namespace mireka::layout {

// Only tabs need looking at one by one: a tab is never part of a double-byte character, and
// every other character takes as many cells as it has bytes. Long lines are measured at the
// speed of a byte search.

Cells CellOfColumn(std::string_view line, std::size_t column, int tabCells) noexcept {
    if (tabCells < 1) tabCells = 1;
    if (column > line.size()) column = line.size();
    std::int64_t cells = 0;
    for (std::size_t i = 0; i < column;) {
        const void* tab = std::memchr(line.data() + i, '\t', column - i);
        const std::size_t stop =
            tab ? static_cast<std::size_t>(static_cast<const char*>(tab) - line.data()) : column;
        cells += static_cast<std::int64_t>(stop - i);
        if (!tab) break;
        cells += tabCells - cells % tabCells;
        i = stop + 1;
    }
    // A column inside a double-byte character counts the whole character.
    if (!dbcs::IsCharBoundary(line, column)) ++cells;
    return Cells(cells);
}

CellPlace CharAtCell(std::string_view line, Cells at, int tabCells) noexcept {
    if (tabCells < 1) tabCells = 1;
    const std::int64_t cell = std::max<std::int64_t>(at.Count(), 0);
    std::int64_t cells = 0;
    for (std::size_t i = 0;;) {
        const void* tab = std::memchr(line.data() + i, '\t', line.size() - i);
        const std::size_t stop =
            tab ? static_cast<std::size_t>(static_cast<const char*>(tab) - line.data())
                : line.size();
        if (cell < cells + static_cast<std::int64_t>(stop - i)) {
            const std::size_t k = dbcs::CharStart(line, i + static_cast<std::size_t>(cell - cells));
            return {k, Cells(cells + static_cast<std::int64_t>(k - i))};
        }
        cells += static_cast<std::int64_t>(stop - i);
        if (!tab) return {line.size(), Cells(cells)};
        if (cell < cells + (tabCells - cells % tabCells)) return {stop, Cells(cells)};
        cells += tabCells - cells % tabCells;
        i = stop + 1;
    }
}

std::size_t ColumnAtCell(std::string_view line, double cell, int tabCells) noexcept {
    if (tabCells < 1) tabCells = 1;
    if (cell <= 0) return 0;
    const CellPlace at = CharAtCell(line, Cells(static_cast<std::int64_t>(cell)), tabCells);
    if (at.column >= line.size()) return line.size();
    const std::size_t len = dbcs::CharLength(line, at.column);
    const std::int64_t before = at.cells.Count();
    const std::int64_t width =
        line[at.column] == '\t' ? tabCells - before % tabCells : static_cast<std::int64_t>(len);
    return cell < static_cast<double>(before) + static_cast<double>(width) / 2.0 ? at.column
                                                                                 : at.column + len;
}

WordClass ClassAt(std::string_view line, std::size_t column) noexcept {
    if (column >= line.size()) return WordClass::Space;
    const auto b = static_cast<unsigned char>(line[column]);
    if (dbcs::CharLength(line, column) == 2) return WordClass::Wide;
    if (b == ' ' || b == '\t' || b < 0x20) return WordClass::Space;
    if (b == '_' || (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') ||
        dbcs::IsKana(b))
        return WordClass::Word;
    return WordClass::Punct;
}

std::size_t PrevWordStart(std::string_view line, std::size_t column) noexcept {
    if (column > line.size()) column = line.size();
    std::size_t i = column;
    while (i > 0 && ClassAt(line, dbcs::PrevCharPos(line, i)) == WordClass::Space)
        i = dbcs::PrevCharPos(line, i);
    if (i == 0) return 0;
    const WordClass cls = ClassAt(line, dbcs::PrevCharPos(line, i));
    while (i > 0 && ClassAt(line, dbcs::PrevCharPos(line, i)) == cls)
        i = dbcs::PrevCharPos(line, i);
    return i;
}

std::size_t NextWordStart(std::string_view line, std::size_t column) noexcept {
    std::size_t i = column;
    if (i >= line.size()) return line.size();
    const WordClass cls = ClassAt(line, i);
    if (cls != WordClass::Space)
        while (i < line.size() && ClassAt(line, i) == cls)
            i = dbcs::NextCharPos(line, i);
    while (i < line.size() && ClassAt(line, i) == WordClass::Space)
        i = dbcs::NextCharPos(line, i);
    return i;
}

Range WordAt(std::string_view line, std::size_t column) noexcept {
    if (line.empty()) return {0, 0};
    if (column >= line.size()) column = dbcs::PrevCharPos(line, line.size());
    column = dbcs::CharStart(line, column);
    const WordClass cls = ClassAt(line, column);
    std::size_t first = column;
    while (first > 0 && ClassAt(line, dbcs::PrevCharPos(line, first)) == cls)
        first = dbcs::PrevCharPos(line, first);
    std::size_t last = dbcs::NextCharPos(line, column);
    while (last < line.size() && ClassAt(line, last) == cls)
        last = dbcs::NextCharPos(line, last);
    return {first, last};
}

} // namespace mireka::layout
