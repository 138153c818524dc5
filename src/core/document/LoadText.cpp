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
    // Room for every byte doubled, a held-back start and a pending CR LF.
    if (scratch_.size() < 2 * text.size() + 4) scratch_.resize(2 * text.size() + 4);
    char* const out = scratch_.data();
    char* w = out;
    const char* p = text.data();
    const char* const end = p + text.size();
    if (bomPending_) p = SkipBom(p, end, w);
    if (pendingCr_ && p < end) {
        *w++ = '\r';
        *w++ = '\n';
        if (*p == '\n') {
            ++p;
            sawCrLf_ = true;
        }
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
        if (*p == '\n') {
            sawLf_ = true;
            ++p;
        } else if (p[1] == '\n') {
            sawCrLf_ = true;
            p += 2;
        } else {
            ++p;
        }
    }
    if (!Emit(static_cast<std::size_t>(w - out))) return false;
    if (text.size() < piece.size()) { // a NUL: the text ends here
        Finish();
        return false;
    }
    return true;
}

const char* EditorTextLoader::SkipBom(const char* p, const char* end, char*& w) {
    while (p < end && bomMatched_ < kUtf8Bom.size() && *p == kUtf8Bom[bomMatched_]) {
        ++bomMatched_;
        ++p;
    }
    if (bomMatched_ == kUtf8Bom.size()) {
        bomPending_ = false;
    } else if (p < end) { // no mark: the bytes held back are text (none is a line end)
        std::memcpy(w, kUtf8Bom.data(), bomMatched_);
        w += bomMatched_;
        bomMatched_ = 0;
        bomPending_ = false;
    }
    return p;
}

void EditorTextLoader::Finish() {
    if (ended_) return;
    if (bomPending_) { // the text ended inside what began like a mark
        bomPending_ = false;
        const std::size_t held = bomMatched_;
        bomMatched_ = 0;
        scratch_.resize(std::max<std::size_t>(scratch_.size(), held));
        std::memcpy(scratch_.data(), kUtf8Bom.data(), held);
        if (held > 0 && !Emit(held)) return;
    }
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

DetectedEncoding EditorTextLoader::Detect(Encoding forAscii) const noexcept {
    return DetectEncoding(utf8_.Result(), forAscii);
}

std::optional<LineEnds> EditorTextLoader::LineEndsSeen() const noexcept {
    if (sawCrLf_) return LineEnds::CrLf;
    if (sawLf_) return LineEnds::Lf;
    return std::nullopt;
}

bool EditorTextLoader::LooksLikeUtf8() const noexcept {
    const Utf8Check check = utf8_.Result();
    return check.valid && check.multibyte;
}

} // namespace mireka
