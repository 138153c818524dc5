// Checkpoints of a long line's cells.
#include "core/editor/LineCellCache.h"

#include <algorithm>

namespace mireka {

void LineCellCache::Follow(const TextBuffer& b, Line line, int tabCells, Encoding enc) {
    const Offset start = b.LineStart(line);
    if (line != line_ || start != lineStart_ || tabCells != tabCells_ || enc != enc_ ||
        b.FirstChangeSince(revision_) < start) {
        line_ = line;
        lineStart_ = start;
        tabCells_ = tabCells;
        enc_ = enc;
        points_.assign(1, Point{0, Cells(0)});
    } else {
        // Bytes before the first change are as they were, and so is every place among them.
        const auto kept = static_cast<std::size_t>(b.FirstChangeSince(revision_) - start);
        while (points_.size() > 1 && points_.back().column > kept)
            points_.pop_back();
    }
    revision_ = b.Revision();
}

const LineCellCache::Point& LineCellCache::Before(std::string_view text, std::size_t column) {
    column = std::min(column, text.size());
    while (points_.back().column + kSpacing <= column) {
        const Point& last = points_.back();
        // A byte below 0x40 is never part of a multibyte character in either encoding, so the
        // place after it is a boundary that no later byte can move.
        std::size_t at = last.column + kSpacing;
        while (at < column && static_cast<unsigned char>(text[at - 1]) >= 0x40)
            ++at;
        if (at >= column) break;
        const Cells cells = layout::CellsFrom(text, last.column, last.cells, at, tabCells_, enc_);
        points_.push_back(Point{at, cells});
    }
    const auto it = std::upper_bound(points_.begin(), points_.end(), column,
                                     [](std::size_t c, const Point& p) { return c < p.column; });
    return *(it - 1);
}

const LineCellCache::Point& LineCellCache::BeforeCell(Cells cell) const {
    const auto it =
        std::upper_bound(points_.begin(), points_.end(), cell,
                         [](Cells c, const Point& p) { return c.Count() < p.cells.Count(); });
    return it == points_.begin() ? points_.front() : *(it - 1);
}

Cells LineCellCache::CellOf(const TextBuffer& b, Line line, std::string_view text,
                            std::size_t column, int tabCells, Encoding enc) {
    if (text.size() < kMinLine) return layout::CellOfColumn(text, column, tabCells, enc);
    Follow(b, line, tabCells, enc);
    const Point& p = Before(text, column);
    const Cells cells = layout::CellsFrom(text, p.column, p.cells, column, tabCells, enc);
    // A column inside a double-byte character counts the whole character, as CellOfColumn does.
    if (enc == Encoding::Cp932 && column < text.size() && !chars::IsCharBoundary(enc, text, column))
        return cells + Cells(1);
    return cells;
}

layout::CellPlace LineCellCache::CharAtCell(const TextBuffer& b, Line line, std::string_view text,
                                            Cells cell, int tabCells, Encoding enc) {
    if (text.size() < kMinLine) return layout::CharAtCell(text, cell, tabCells, enc);
    Follow(b, line, tabCells, enc);
    (void)Before(text, text.size());
    const Point& p = BeforeCell(cell);
    return layout::CharAtCellFrom(text, p.column, p.cells, cell, tabCells, enc);
}

std::size_t LineCellCache::ColumnAtCell(const TextBuffer& b, Line line, std::string_view text,
                                        double cell, int tabCells, Encoding enc) {
    if (text.size() < kMinLine) return layout::ColumnAtCell(text, cell, tabCells, enc);
    Follow(b, line, tabCells, enc);
    (void)Before(text, text.size());
    const Point& p = BeforeCell(Cells(static_cast<std::int64_t>(std::max(cell, 0.0))));
    return layout::ColumnAtCellFrom(text, p.column, p.cells, cell, tabCells, enc);
}

} // namespace mireka
