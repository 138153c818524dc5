// The per-line lexer state cache and the top-down colouring of a range of lines.
#include "core/editor/LineStates.h"

#include <algorithm>

namespace mireka {

void LineStates::Resize(int count) {
    states_.resize(static_cast<std::size_t>(std::max(count, 1)), kStateNormal);
}

std::uint32_t LineStates::Get(int line) const noexcept {
    if (line < 0 || line >= Size()) return kStateNormal;
    return states_[static_cast<std::size_t>(line)];
}

void LineStates::Set(int line, std::uint32_t state) {
    if (line < 0) return;
    if (line >= Size()) Resize(line + 1);
    states_[static_cast<std::size_t>(line)] = state;
}

void LineStates::ColorizeLines(int lineCount, int first, int last, const LineSource& source,
                               const SpanSink& sink) {
    lineCount = std::max(lineCount, 0);
    Resize(lineCount + 1);
    first = std::max(first, 0);
    last = std::min(last, lineCount - 1);
    for (int n = first; n <= last; ++n) {
        const auto at = static_cast<std::size_t>(n);
        const std::string_view text = source(n, scratch_);
        if (text.empty()) {
            states_[at + 1] = states_[at];
            spans_.clear();
        } else {
            states_[at + 1] = ColorizeLine(text, states_[at], spans_);
        }
        if (sink) sink(n, text, spans_);
    }
}

} // namespace mireka
