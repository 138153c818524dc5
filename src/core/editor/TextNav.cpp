// Character steps over the buffer.
#include "core/editor/TextNav.h"

#include "core/base/Dbcs.h"

namespace mireka {

bool IsCharBoundaryAt(const TextBuffer& buffer, Offset pos) noexcept {
    if (pos <= 0 || pos >= buffer.Length()) return true;
    Offset q = pos;
    while (q > 0 && dbcs::IsLeadByte(buffer.At(q - 1)))
        --q;
    if ((pos - q) % 2 == 0) return true;
    return !dbcs::IsTrailByte(buffer.At(pos));
}

Offset NextCharOffset(const TextBuffer& buffer, Offset pos) noexcept {
    const Offset len = buffer.Length();
    if (pos >= len) return len;
    if (pos < 0) return 0;
    const char c = buffer.At(pos);
    if (pos + 1 < len) {
        const char d = buffer.At(pos + 1);
        if (c == '\r' && d == '\n') return pos + 2;
        if (dbcs::IsLeadByte(c) && dbcs::IsTrailByte(d) && IsCharBoundaryAt(buffer, pos))
            return pos + 2;
    }
    return pos + 1;
}

Offset PrevCharOffset(const TextBuffer& buffer, Offset pos) noexcept {
    if (pos <= 0) return 0;
    if (pos > buffer.Length()) return buffer.Length();
    if (pos >= 2 && buffer.At(pos - 1) == '\n' && buffer.At(pos - 2) == '\r') return pos - 2;
    return IsCharBoundaryAt(buffer, pos - 1) ? pos - 1 : pos - 2;
}

} // namespace mireka
