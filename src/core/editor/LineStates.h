// The per-line cache of the lexer state (normal, or inside a block comment) at each line start.
#pragma once

#include "core/editor/Colorizer.h"

#include <cstdint>
#include <vector>

namespace mireka {

// Entry n is the state at the start of line n. Entries are filled top-down as lines are coloured
// and are not shifted when lines are inserted or removed: a line reached without its predecessor
// having been coloured uses whatever its entry holds (0 when never set). This keeps the work per
// paint proportional to the lines shown, never to the whole text.
class LineStates {
public:
    LineStates() = default;

    [[nodiscard]] int Size() const noexcept { return count_; }
    // Keeps the existing entries; new entries are 0. There is always at least one entry. Costs
    // nothing for lines never coloured: a large file's lines are not all touched at load.
    void Resize(int count);
    // The entry of `line`; 0 when the line has no entry yet.
    [[nodiscard]] std::uint32_t Get(int line) const noexcept;
    // Grows the array when `line` lies beyond it; a negative line is ignored.
    void Set(int line, std::uint32_t state);

private:
    int count_ = 1;
    std::vector<std::uint32_t> states_; // entries beyond its end are 0
};

} // namespace mireka
