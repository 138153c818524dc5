// The encodings a document's bytes may be in, and the character rules each gives them: where
// characters begin and end, and how many cells of the edit control's grid each takes. Code page
// 932 keeps its own rules byte for byte (Dbcs.h); UTF-8 adds its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace mireka {

enum class Encoding : std::uint8_t { Cp932, Utf8 };

// How a document's lines end in its file.
enum class LineEnds : std::uint8_t { CrLf, Lf };

namespace chars {

// Bytes of the character at `pos`, a character boundary. UTF-8: the length of a valid sequence
// that fits in `s`; any other byte is a character of its own, so a stray byte never swallows
// what follows it (a line break least of all).
[[nodiscard]] std::size_t CharLength(Encoding e, std::string_view s, std::size_t pos) noexcept;
// True when `pos` (0 … size) lies between two characters.
[[nodiscard]] bool IsCharBoundary(Encoding e, std::string_view s, std::size_t pos) noexcept;
// Start of the character that holds the byte at `pos` (pos < size).
[[nodiscard]] std::size_t CharStart(Encoding e, std::string_view s, std::size_t pos) noexcept;
// The boundary before `pos` (0 stays 0) and after it (size stays size).
[[nodiscard]] std::size_t PrevCharPos(Encoding e, std::string_view s, std::size_t pos) noexcept;
[[nodiscard]] std::size_t NextCharPos(Encoding e, std::string_view s, std::size_t pos) noexcept;
// Cells the character at `pos` takes (a tab is the caller's: it runs to the next stop). Code
// page 932: one per byte. UTF-8: two for East Asian Width W or F, else one.
[[nodiscard]] int CharCells(Encoding e, std::string_view s, std::size_t pos) noexcept;

} // namespace chars

// The first byte of 0x80 or more at or after `from`, or the size; ASCII runs, the bulk of
// program text, go eight bytes at a time.
[[nodiscard]] std::size_t SkipAscii(std::string_view s, std::size_t from) noexcept;

struct Utf8Check {
    bool valid = false;     // every sequence is a well-formed UTF-8 character
    bool multibyte = false; // at least one character outside ASCII
    bool bom = false;       // the text starts with the byte-order mark EF BB BF
};

// Strict: no overlong forms, no surrogates, nothing above U+10FFFF, no cut sequence.
[[nodiscard]] Utf8Check CheckUtf8(std::string_view text) noexcept;

// The same over a text that arrives in pieces cut anywhere, even inside a character.
class Utf8Checker {
public:
    void Feed(std::string_view piece) noexcept;
    // Of everything fed so far, taken as the whole text.
    [[nodiscard]] Utf8Check Result() const noexcept;

private:
    char carry_[4] = {}; // a character cut by the end of the last piece
    std::size_t carried_ = 0;
    char head_[3] = {}; // the text's first bytes, for the byte-order mark
    std::size_t headSize_ = 0;
    bool failed_ = false;
    bool multibyte_ = false;
};

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// What a file's bytes say about themselves as they are opened.
struct DetectedEncoding {
    Encoding encoding = Encoding::Cp932;
    bool bom = false; // a UTF-8 byte-order mark starts the file (it is kept on save)
};
// A UTF-8 byte-order mark, or valid UTF-8 holding a non-ASCII character: UTF-8. Pure ASCII:
// `forAscii` (the new-document encoding). Anything else: code page 932, never "repaired".
[[nodiscard]] DetectedEncoding DetectEncoding(std::string_view bytes, Encoding forAscii) noexcept;
// The same from what a check of the whole text found.
[[nodiscard]] DetectedEncoding DetectEncoding(const Utf8Check& check, Encoding forAscii) noexcept;

// LF alone throughout: LF. Any CR LF: CR LF (a file with both is saved as today). None when
// the bytes hold no line break at all.
[[nodiscard]] std::optional<LineEnds> DetectLineEnds(std::string_view bytes) noexcept;

} // namespace mireka
