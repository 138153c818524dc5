// Character steps over the buffer.
#include "core/editor/TextNav.h"

#include "core/base/Dbcs.h"

#include <algorithm>
#include <string>

namespace mireka {

namespace {

// A UTF-8 character is at most four bytes, so the bytes [pos - 4, pos + 4) decide everything
// about the characters touching `pos`.
struct Utf8Around {
    Utf8Around(const TextBuffer& buffer, Offset pos) {
        start = std::max<Offset>(0, pos - 4);
        const Offset end = std::min(buffer.Length(), pos + 4);
        for (Offset q = start; q < end; ++q)
            bytes.push_back(buffer.At(q));
        at = static_cast<std::size_t>(pos - start);
    }
    Offset start;
    std::string bytes;
    std::size_t at;
};

} // namespace

bool IsCharBoundaryAt(const TextBuffer& buffer, Offset pos, Encoding enc) noexcept {
    if (pos <= 0 || pos >= buffer.Length()) return true;
    if (enc == Encoding::Utf8) {
        const Utf8Around w(buffer, pos);
        return chars::IsCharBoundary(enc, w.bytes, w.at);
    }
    Offset q = pos;
    while (q > 0 && dbcs::IsLeadByte(buffer.At(q - 1)))
        --q;
    if ((pos - q) % 2 == 0) return true;
    return !dbcs::IsTrailByte(buffer.At(pos));
}

Offset NextCharOffset(const TextBuffer& buffer, Offset pos, Encoding enc) noexcept {
    const Offset len = buffer.Length();
    if (pos >= len) return len;
    if (pos < 0) return 0;
    const char c = buffer.At(pos);
    if (pos + 1 < len) {
        const char d = buffer.At(pos + 1);
        if (c == '\r' && d == '\n') return pos + 2;
        if (enc == Encoding::Utf8) {
            if (static_cast<unsigned char>(c) < 0x80) return pos + 1;
            const Utf8Around w(buffer, pos);
            return w.start + static_cast<Offset>(chars::NextCharPos(enc, w.bytes, w.at));
        }
        if (dbcs::IsLeadByte(c) && dbcs::IsTrailByte(d) && IsCharBoundaryAt(buffer, pos))
            return pos + 2;
    }
    return pos + 1;
}

Offset PrevCharOffset(const TextBuffer& buffer, Offset pos, Encoding enc) noexcept {
    if (pos <= 0) return 0;
    if (pos > buffer.Length()) return buffer.Length();
    if (pos >= 2 && buffer.At(pos - 1) == '\n' && buffer.At(pos - 2) == '\r') return pos - 2;
    if (enc == Encoding::Utf8) {
        if (static_cast<unsigned char>(buffer.At(pos - 1)) < 0x80) return pos - 1;
        const Utf8Around w(buffer, pos);
        return w.start + static_cast<Offset>(chars::PrevCharPos(enc, w.bytes, w.at));
    }
    return IsCharBoundaryAt(buffer, pos - 1) ? pos - 1 : pos - 2;
}

} // namespace mireka
