// The per-line lexer state cache.
#include "core/editor/LineStates.h"

#include <algorithm>

namespace mireka {

void LineStates::Resize(int count) {
    count_ = std::max(count, 1);
    if (states_.size() > static_cast<std::size_t>(count_))
        states_.resize(static_cast<std::size_t>(count_));
}

std::uint32_t LineStates::Get(int line) const noexcept {
    if (line < 0 || static_cast<std::size_t>(line) >= states_.size()) return kStateNormal;
    return states_[static_cast<std::size_t>(line)];
}

void LineStates::Set(int line, std::uint32_t state) {
    if (line < 0) return;
    count_ = std::max(count_, line + 1);
    if (static_cast<std::size_t>(line) >= states_.size())
        states_.resize(static_cast<std::size_t>(line) + 1, kStateNormal);
    states_[static_cast<std::size_t>(line)] = state;
}

} // namespace mireka
