// How a file's bytes become the editor text: cut at the first NUL, every line end made CR LF,
// and what the bytes say of their encoding and line ends.
#pragma once

#include "core/base/Encoding.h"
#include "core/document/CodeConvert.h"
#include "core/editor/TextBuffer.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace mireka {

// Files longer than this are refused ("ファイルが大きすぎて開けません。").
inline constexpr std::uint64_t kMaxFileSize = 0x7FFFFFFF;

// The bytes before the first NUL byte.
[[nodiscard]] std::string_view CutAtNul(std::string_view bytes) noexcept;

// Turns a file's bytes, handed over a piece at a time as they are read, into editor text in a
// builder: the text ends at the first NUL, and CR LF, a lone CR and a lone LF each become one
// CR LF; no other byte changes. Pieces may be cut anywhere, even between CR and LF.
class EditorTextLoader {
public:
    // With `dropBom`, a UTF-8 byte-order mark at the start stays out of the text (Detect then
    // says whether it was one; when the text is no UTF-8 after all, load again without).
    explicit EditorTextLoader(TextBuffer::Builder& out, bool dropBom = false)
        : out_(out), bomPending_(dropBom) {}
    // False once no more bytes are wanted: the text ended at a NUL, or is too large.
    bool Feed(std::string_view piece);
    // After the last piece.
    void Finish();
    // The text would exceed kMaxFileSize; the builder then holds only its beginning.
    [[nodiscard]] bool TooLarge() const noexcept { return tooLarge_; }
    // Every byte belongs to a well-formed UTF-8 character and some character is not ASCII.
    [[nodiscard]] bool LooksLikeUtf8() const noexcept;
    // As DetectEncoding and DetectLineEnds say of the text (up to the NUL), without holding it.
    [[nodiscard]] DetectedEncoding Detect(Encoding forAscii) const noexcept;
    [[nodiscard]] std::optional<LineEnds> LineEndsSeen() const noexcept;
    // A byte-order mark was left out of the text.
    [[nodiscard]] bool BomDropped() const noexcept { return bomMatched_ == kUtf8Bom.size(); }

private:
    bool Emit(std::size_t bytes);
    // Holds back the bytes of a byte-order mark; true once the text's start is decided.
    const char* SkipBom(const char* p, const char* end, char*& w);

    TextBuffer::Builder& out_;
    Utf8Checker utf8_;
    std::vector<char> scratch_;
    std::uint64_t length_ = 0;
    bool pendingCr_ = false; // the last piece ended in a CR that an LF may follow
    bool ended_ = false;
    bool tooLarge_ = false;
    bool bomPending_;            // the start may yet be a byte-order mark
    std::size_t bomMatched_ = 0; // its bytes seen so far, held back
    bool sawCrLf_ = false;
    bool sawLf_ = false; // an LF without a CR before it
};

} // namespace mireka
