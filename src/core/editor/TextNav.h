// Character steps over the buffer: a CR LF and a multibyte character are one step each.
#pragma once

#include "core/base/Encoding.h"
#include "core/editor/TextBuffer.h"

namespace mireka {

// True when `pos` lies between two characters. Code page 932 reads only the run of lead-range
// bytes before `pos`, and a line start always ends such a run; UTF-8 reads at most four bytes
// on either side.
[[nodiscard]] bool IsCharBoundaryAt(const TextBuffer& buffer, Offset pos,
                                    Encoding enc = Encoding::Cp932) noexcept;
[[nodiscard]] Offset NextCharOffset(const TextBuffer& buffer, Offset pos,
                                    Encoding enc = Encoding::Cp932) noexcept;
[[nodiscard]] Offset PrevCharOffset(const TextBuffer& buffer, Offset pos,
                                    Encoding enc = Encoding::Cp932) noexcept;

} // namespace mireka
