// How a file's bytes become the editor text: cut at the first NUL, every line end made CR LF.
#pragma once

#include "core/document/CodeConvert.h"
#include "core/editor/TextBuffer.h"

#include <cstdint>
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
    explicit EditorTextLoader(TextBuffer::Builder& out) : out_(out) {}
    // False once no more bytes are wanted: the text ended at a NUL, or is too large.
    bool Feed(std::string_view piece);
    // After the last piece.
    void Finish();
    // The text would exceed kMaxFileSize; the builder then holds only its beginning.
    [[nodiscard]] bool TooLarge() const noexcept { return tooLarge_; }
    // Every byte belongs to a well-formed UTF-8 character and some character is not ASCII.
    [[nodiscard]] bool LooksLikeUtf8() const noexcept;

private:
    bool Emit(std::size_t bytes);

    TextBuffer::Builder& out_;
    Utf8Checker utf8_;
    std::vector<char> scratch_;
    std::uint64_t length_ = 0;
    bool pendingCr_ = false; // the last piece ended in a CR that an LF may follow
    bool ended_ = false;
    bool tooLarge_ = false;
};

} // namespace mireka
