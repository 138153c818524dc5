// The per-line cache of the lexer state (normal, or inside a block comment) at each line start.
#pragma once

#include "core/editor/Colorizer.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mireka {

// Entry n is the state at the start of line n. Entries are filled top-down as lines are coloured
// and are not shifted when lines are inserted or removed: a line reached without its predecessor
// having been coloured uses whatever its entry holds (0 when never set). This keeps the work per
// paint proportional to the lines shown, never to the whole text.
class LineStates {
public:
    // Yields the bytes of `line` without its line break; may fill `scratch` and return a view of
    // it, or return a view of storage that stays valid until the next call.
    using LineSource = std::function<std::string_view(int line, std::string& scratch)>;
    // Receives each coloured line's bytes and spans (empty for an empty line).
    using SpanSink =
        std::function<void(int line, std::string_view text, const std::vector<ColorSpan>& spans)>;

    LineStates() = default;

    [[nodiscard]] int Size() const noexcept { return static_cast<int>(states_.size()); }
    // Keeps the existing entries; new entries are 0. There is always at least one entry.
    void Resize(int count);
    // The entry of `line`; 0 when the line has no entry yet.
    [[nodiscard]] std::uint32_t Get(int line) const noexcept;
    // Grows the array when `line` lies beyond it; a negative line is ignored.
    void Set(int line, std::uint32_t state);

    // Colours lines `first` … `last` of a text of `lineCount` lines, top-down: the array is
    // resized to lineCount + 1 entries, `last` is clamped to the last line, and each line's result
    // becomes the entry of the line after it (an empty line passes its state on unchanged).
    // `sink` may be empty when nothing is to be drawn: the states are maintained all the same.
    void ColorizeLines(int lineCount, int first, int last, const LineSource& source,
                       const SpanSink& sink);

private:
    std::vector<std::uint32_t> states_ = std::vector<std::uint32_t>(1, kStateNormal);
    std::vector<ColorSpan> spans_; // reused from line to line
    std::string scratch_;
};

} // namespace mireka
