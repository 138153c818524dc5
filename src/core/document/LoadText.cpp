// Line-end normalisation of loaded files.
#include "core/document/LoadText.h"

#include <algorithm>
#include <cstring>

namespace mireka {

std::string_view CutAtNul(std::string_view bytes) noexcept {
    const void* nul = bytes.empty() ? nullptr : std::memchr(bytes.data(), 0, bytes.size());
    return nul ? bytes.substr(
                     0, static_cast<std::size_t>(static_cast<const char*>(nul) - bytes.data()))
               : bytes;
}

bool EditorTextLoader::Feed(std::string_view piece) {
    if (ended_) return false;
    const std::string_view text = CutAtNul(piece);
    utf8_.Feed(text);
    if (scratch_.size() < 2 * text.size() + 2) scratch_.resize(2 * text.size() + 2);
    char* const out = scratch_.data();
    char* w = out;
    const char* p = text.data();
    const char* const end = p + text.size();
    if (pendingCr_ && p < end) {
        *w++ = '\r';
        *w++ = '\n';
        if (*p == '\n') ++p;
        pendingCr_ = false;
    }
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
        if (*p == '\r' && p + 1 == end) { // the LF may come with the next piece
            pendingCr_ = true;
            break;
        }
        *w++ = '\r';
        *w++ = '\n';
        p += (*p == '\r' && p[1] == '\n') ? 2 : 1;
    }
    if (!Emit(static_cast<std::size_t>(w - out))) return false;
    if (text.size() < piece.size()) { // a NUL: the text ends here
        Finish();
        return false;
    }
    return true;
}

void EditorTextLoader::Finish() {
    if (ended_) return;
    if (pendingCr_) {
        scratch_.resize(std::max<std::size_t>(scratch_.size(), 2));
        scratch_[0] = '\r';
        scratch_[1] = '\n';
        pendingCr_ = false;
        if (!Emit(2)) return;
    }
    ended_ = true;
}

bool EditorTextLoader::Emit(std::size_t bytes) {
    length_ += bytes;
    if (length_ > kMaxFileSize) {
        tooLarge_ = true;
        ended_ = true;
        return false;
    }
    out_.Append(std::string_view(scratch_.data(), bytes));
    return true;
}

bool EditorTextLoader::LooksLikeUtf8() const noexcept {
    const Utf8Check check = utf8_.Result();
    return check.valid && check.multibyte;
}

} // namespace mireka
