// Line-end normalisation of loaded files.
#include "core/document/LoadText.h"

#include <cstring>

namespace mireka {

std::string_view CutAtNul(std::string_view bytes) noexcept {
    const void* nul = bytes.empty() ? nullptr : std::memchr(bytes.data(), 0, bytes.size());
    return nul ? bytes.substr(
                     0, static_cast<std::size_t>(static_cast<const char*>(nul) - bytes.data()))
               : bytes;
}

std::size_t NormalizedLength(std::string_view bytes) noexcept {
    std::size_t n = bytes.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i; // already a pair
            else
                ++n; // lone CR gains an LF
        } else if (bytes[i] == '\n') {
            ++n; // lone LF gains a CR
        }
    }
    return n;
}

std::string NormalizeLineEnds(std::string_view bytes) {
    std::string out;
    out.resize(NormalizedLength(bytes));
    char* w = out.data();
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    // The next CR and the next LF are each found once and kept until passed, so a text with
    // only one kind of line end is still scanned in one pass.
    auto next = [end](const char* from, char c) {
        const void* hit = std::memchr(from, c, static_cast<std::size_t>(end - from));
        return hit ? static_cast<const char*>(hit) : end;
    };
    const char* cr = next(p, '\r');
    const char* lf = next(p, '\n');
    while (p < end) {
        if (cr < p) cr = next(p, '\r');
        if (lf < p) lf = next(p, '\n');
        const char* stop = cr < lf ? cr : lf;
        std::memcpy(w, p, static_cast<std::size_t>(stop - p));
        w += stop - p;
        p = stop;
        if (p == end) break;
        *w++ = '\r';
        *w++ = '\n';
        p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
    }
    return out;
}

bool MakeEditorText(std::string& bytes) {
    const std::size_t cut = CutAtNul(bytes).size();
    bytes.resize(cut);
    const std::size_t n = NormalizedLength(bytes);
    if (n > kMaxFileSize) return false;
    if (n != bytes.size()) bytes = NormalizeLineEnds(bytes);
    return true;
}

} // namespace mireka
