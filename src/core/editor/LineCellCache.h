// Cells of one long line measured from checkpoints that outlive the edits after them, so that
// typing in a line of megabytes measures only the part after the last checkpoint before the edit.
#pragma once

#include "core/base/Encoding.h"
#include "core/editor/Layout.h"
#include "core/editor/TextBuffer.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace mireka {

class LineCellCache {
public:
    // Shorter lines are measured whole each time: that is as fast as keeping places.
    static constexpr std::size_t kMinLine = 64 * 1024;
    static constexpr std::size_t kSpacing = 16 * 1024;

    // `text` is line `line` of `b`, or at least its bytes up to `column`.
    [[nodiscard]] Cells CellOf(const TextBuffer& b, Line line, std::string_view text,
                               std::size_t column, int tabCells, Encoding enc);
    // `text` is the whole line.
    [[nodiscard]] layout::CellPlace CharAtCell(const TextBuffer& b, Line line,
                                               std::string_view text, Cells cell, int tabCells,
                                               Encoding enc);
    [[nodiscard]] std::size_t ColumnAtCell(const TextBuffer& b, Line line, std::string_view text,
                                           double cell, int tabCells, Encoding enc);

private:
    struct Point {
        std::size_t column; // a character boundary whatever follows it: after a byte below 0x40
        Cells cells;        // before it
    };
    // Drops the places an edit since they were found may have moved.
    void Follow(const TextBuffer& b, Line line, int tabCells, Encoding enc);
    // The last place at or before `column`, finding places up to there.
    const Point& Before(std::string_view text, std::size_t column);
    [[nodiscard]] const Point& BeforeCell(Cells cell) const;

    Line line_{-1};
    Offset lineStart_ = -1;
    std::uint64_t revision_ = 0;
    int tabCells_ = 0;
    Encoding enc_ = Encoding::Cp932;
    std::vector<Point> points_; // ascending in both; the first is {0, 0}
};

} // namespace mireka
