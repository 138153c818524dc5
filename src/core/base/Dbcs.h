// Code page 932 (Shift_JIS with the Windows extensions): byte classes and character boundaries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mireka::dbcs {

[[nodiscard]] constexpr bool IsLeadByte(unsigned char b) noexcept {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

[[nodiscard]] constexpr bool IsTrailByte(unsigned char b) noexcept {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Half-width katakana and its punctuation.
[[nodiscard]] constexpr bool IsKana(unsigned char b) noexcept {
    return b >= 0xA1 && b <= 0xDF;
}

// The multibyte-aware printable test: printable ASCII (space included) and single-byte kana.
[[nodiscard]] constexpr bool IsPrintableSingle(unsigned char b) noexcept {
    return (b >= 0x20 && b <= 0x7E) || IsKana(b);
}

[[nodiscard]] inline bool IsLeadByte(char c) noexcept {
    return IsLeadByte(static_cast<unsigned char>(c));
}
[[nodiscard]] inline bool IsTrailByte(char c) noexcept {
    return IsTrailByte(static_cast<unsigned char>(c));
}

// Length of the character starting at `pos`, which must be a character boundary: 2 for a lead
// byte followed by a valid trail byte, else 1. A lead byte before CR, LF or the end of the text
// stands alone, so a line break is never swallowed.
[[nodiscard]] inline std::size_t CharLength(std::string_view s, std::size_t pos) noexcept {
    if (pos + 1 < s.size() && IsLeadByte(s[pos]) && IsTrailByte(s[pos + 1])) return 2;
    return 1;
}

// True when `pos` (0 … size) lies between two characters. Only the run of lead-range bytes
// right before `pos` matters: the byte before that run ends a character whatever it is, and
// lead-range bytes are all valid trail bytes, so the run pairs up from its start.
[[nodiscard]] bool IsCharBoundary(std::string_view s, std::size_t pos) noexcept;

// Start of the character that contains the byte at `pos` (pos < size).
[[nodiscard]] std::size_t CharStart(std::string_view s, std::size_t pos) noexcept;

// True when the byte at `pos` is the second byte of a double-byte character.
[[nodiscard]] inline bool IsTrailAt(std::string_view s, std::size_t pos) noexcept {
    return pos < s.size() && CharStart(s, pos) != pos;
}

// True when the byte at `pos` begins a double-byte character.
[[nodiscard]] inline bool IsLeadAt(std::string_view s, std::size_t pos) noexcept {
    return pos < s.size() && IsCharBoundary(s, pos) && CharLength(s, pos) == 2;
}

// Offset of the character boundary before `pos` (0 stays 0).
[[nodiscard]] std::size_t PrevCharPos(std::string_view s, std::size_t pos) noexcept;

// Offset of the character boundary after `pos` (size stays size).
[[nodiscard]] inline std::size_t NextCharPos(std::string_view s, std::size_t pos) noexcept {
    return pos >= s.size() ? s.size() : pos + CharLength(s, pos);
}

// Offset of the first byte equal to `c` at a character boundary at or after `from`, or npos.
// `from` must be a boundary. A trail byte equal to `c` never matches.
[[nodiscard]] std::size_t FindChar(std::string_view s, char c, std::size_t from = 0) noexcept;

// Offset of the last byte equal to `c` at a character boundary, or npos.
[[nodiscard]] std::size_t FindLastChar(std::string_view s, char c) noexcept;

// Offset of the last byte at a character boundary that is one of `set`, or npos.
[[nodiscard]] std::size_t FindLastOf(std::string_view s, std::string_view set) noexcept;

// Offset of the first byte at a character boundary that is one of `set`, or npos.
[[nodiscard]] std::size_t FindFirstOf(std::string_view s, std::string_view set) noexcept;

} // namespace mireka::dbcs
