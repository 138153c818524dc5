// The per-line lexer state cache.
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

} // namespace mireka
