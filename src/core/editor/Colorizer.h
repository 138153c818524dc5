// C and C++ syntax colouring of one line: the keyword table, the lexer's byte classes and the
// line lexer that turns a line's bytes into coloured spans.
#pragma once

#include "core/base/Encoding.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace mireka {

enum class ColorClass : std::uint8_t { Text, Keyword, Comment, String };

// Bytes [start, end) of one line (offsets from the line start, end exclusive) drawn in the colour
// of `cls`. A line's spans are in ascending order, non-empty, never overlap, and two adjacent
// spans never share a class (they are merged). A byte that lies in no span, such as a tab, was
// never painted by the lexer and is drawn in the text colour like plain text. All bytes of a
// character always fall into the same span.
struct ColorSpan {
    std::int32_t start;
    std::int32_t end;
    ColorClass cls;

    friend bool operator==(const ColorSpan&, const ColorSpan&) = default;
};

// Lexer states. Only kStateNormal and kStateBlockComment survive the end of a line: literals and
// line comments stop there.
inline constexpr std::uint32_t kStateNormal = 0;
inline constexpr std::uint32_t kStateChar = 2;
inline constexpr std::uint32_t kStateString = 4;
inline constexpr std::uint32_t kStateBlockComment = 8;
inline constexpr std::uint32_t kStateLineComment = 16;

// Whole-token, case-sensitive lookup in the 79-entry keyword table (C and C++ keywords and the
// preprocessor directives written as "#include", never "# include"). Empty is never a keyword.
[[nodiscard]] bool IsKeyword(std::string_view token) noexcept;

// How the lexer sees a single byte. Delimiters end a token (tab, space and ! % & ( ) + , - : ;
// < = > [ ] { } |); specials have rules of their own (" ' / * \); every other byte, control
// characters and bytes from 128 up included, is part of a word.
enum class ByteClass : std::uint8_t { Word, Delimiter, Special };
[[nodiscard]] ByteClass ClassifyByte(unsigned char b) noexcept;

// Colours one line (its bytes without the line break) that begins in `state` (kStateNormal or
// kStateBlockComment) and returns the state at the start of the next line (kStateNormal or
// kStateBlockComment). `spans` is cleared and receives the line's spans. Keywords are coloured
// only in normal text and only when a delimiter, "/", "*" or the line end follows them; string
// and character literals share the string colour. Only code page 932 pairs lead and trail bytes:
// no ASCII byte occurs inside a UTF-8 character, so its bytes are simply word bytes.
std::uint32_t ColorizeLine(std::string_view line, std::uint32_t state,
                           std::vector<ColorSpan>& spans, Encoding enc = Encoding::Cp932);

// A place in a line where colouring can start over: nothing is pending there and `state` (any
// lexer state) is in force, so colouring from it gives exactly what colouring the whole line
// gives. Such places come at least every kMaxRun + 1 bytes (in UTF-8, + 4).
struct LexPoint {
    std::int32_t offset = 0;
    std::uint32_t state = kStateNormal;
};

// Where ColorizeRange stopped.
struct LexStop {
    LexPoint at; // a resume point, or the line's end with the next line's state
    bool atEnd = false;
};

// ColorizeLine for part of a long line: from resume point `from` (offset 0 with the line's
// starting state is one) up to the first resume point at or after `until`, or the line's end.
// `spans` receives the spans in between, offsets from the line start. When `points` is given,
// resume points at least `spacing` bytes apart are appended to it.
LexStop ColorizeRange(std::string_view line, LexPoint from, std::int32_t until,
                      std::vector<ColorSpan>& spans, std::vector<LexPoint>* points = nullptr,
                      std::int32_t spacing = 4096, Encoding enc = Encoding::Cp932);

} // namespace mireka
