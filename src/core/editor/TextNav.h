// Character steps over the buffer: a CR LF and a double-byte character are one step each.
#pragma once

#include "core/editor/TextBuffer.h"

namespace mireka {

// True when `pos` lies between two characters. Only the run of lead-range bytes before `pos`
// is read, and a line start always ends such a run.
[[nodiscard]] bool IsCharBoundaryAt(const TextBuffer& buffer, Offset pos) noexcept;
[[nodiscard]] Offset NextCharOffset(const TextBuffer& buffer, Offset pos) noexcept;
[[nodiscard]] Offset PrevCharOffset(const TextBuffer& buffer, Offset pos) noexcept;

} // namespace mireka
