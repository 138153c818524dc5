// The colouring of a text as it is shown: lexer states at line starts, and resume points inside
// one long line so that a line of megabytes is lexed only around what is shown.
#pragma once

#include "core/editor/Colorizer.h"
#include "core/editor/LineStates.h"
#include "core/editor/TextBuffer.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace mireka {

class Highlighter {
public:
    // Lines at least this long keep their resume points until the text changes.
    static constexpr std::size_t kLongLineBytes = 64 * 1024;

    // The character rules the lexer follows; a change forgets every state found.
    void SetEncoding(Encoding enc);
    [[nodiscard]] Encoding GetEncoding() const noexcept { return enc_; }

    // The text now has `count` lines; states of lines already coloured are kept.
    void SetLineCount(int count);
    // Colours [from, to) of `line`, whose whole text is `text`; Spans() has the result, offsets
    // from the line start. True when the state at the next line's start changed, so that the
    // lines below must be coloured again.
    bool ColourLine(int line, std::string_view text, std::size_t from, std::size_t to);
    [[nodiscard]] const std::vector<ColorSpan>& Spans() const noexcept { return spans_; }
    // After `removed` bytes at `pos` were replaced by `inserted` bytes; `text` is the text after
    // the change. Resume points before the change stay valid, those after it move with it and
    // are checked before use.
    void TextReplaced(const TextBuffer& text, Offset pos, Offset removed, Offset inserted,
                      bool linesChanged);

    [[nodiscard]] const LineStates& States() const noexcept { return states_; }
    // The state at the start of `line` (0 normal, 8 inside a block comment).
    [[nodiscard]] std::uint32_t LineState(int line) const noexcept { return states_.Get(line); }

private:
    struct LongLineMemo {
        int line = -1;
        std::uint32_t state = 0;      // at the line's start
        std::vector<LexPoint> points; // ascending, the first at offset 0
        // Points from this index on were found before the last edits and moved with them.
        std::size_t unchecked = 1;
        bool endKnown = false;
        std::uint32_t next = 0; // the next line's state, once known and checked
    };
    // Confirms moved points up to offset `upTo`, lexing from the last confirmed one.
    void CheckMovedPoints(std::string_view text, std::int32_t upTo);
    // Colours [from, to) of a long line; the state of the next line when known by then.
    std::optional<std::uint32_t> LongLineColors(int line, std::string_view text, std::size_t from,
                                                std::size_t to);

    Encoding enc_ = Encoding::Cp932;
    int lineCount_ = 1;
    LineStates states_;
    std::vector<ColorSpan> spans_;
    LongLineMemo longLine_;
};

} // namespace mireka
