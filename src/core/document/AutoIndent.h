// What the main view does around each typed character: indentation on Enter, the one-step
// unindent of a closing brace, and the word whose hint an opening parenthesis asks for.
#pragma once

#include "core/editor/EditSession.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace mireka {

inline constexpr unsigned kCharEnter = 13;

// How many bytes of the line before the caret Enter looks at when the caret is `k` bytes in:
// all of them up to 255, only the first 254 beyond.
[[nodiscard]] constexpr Offset IndentPrefixLength(Offset k) noexcept {
    return k > 255 ? 254 : k;
}

// The leading spaces and tabs of `prefix`, each group of four spaces becoming one tab, scanning
// from the left: eight spaces give two tabs, six spaces a tab and two spaces.
[[nodiscard]] std::string CopiedIndent(std::string_view prefix);

// The indentation Enter inserts after a line whose text before the caret is `prefix` (at most
// 254 or 255 bytes, see IndentPrefixLength) when the new line starts in lexer state
// `newLineState` (0 normal, 8 inside a block comment): the copied indentation, plus one tab in
// front unless the new line starts inside a comment or the line (trailing white space removed
// when it does not begin with a blank) ends in ; > } ) / , a tab or a space.
[[nodiscard]] std::string IndentAfter(std::string_view prefix, std::uint32_t newLineState);

// The word before the caret whose hint "(" asks for: the text of `lineBeforeCaret` after its
// last delimiter (searched character-wise), or all of it when it has none. May be empty.
// In UTF-8 no delimiter byte occurs inside a character.
[[nodiscard]] std::string_view HintWord(std::string_view lineBeforeCaret,
                                        Encoding enc = Encoding::Cp932);

// The lexer state at the start of a line (0 normal, 8 inside a block comment), as the colouring
// view has cached it.
using LineStateFn = std::function<std::uint32_t(int line)>;

// What BeforeChar learned, for the window and for AfterChar.
struct CharPlan {
    unsigned c = 0;
    // The window suspends painting until AfterChar has run, then resumes it.
    bool suspendRedraw = false;
    // The window asks the frame for the hint of `hintWord` and shows it (nothing when empty).
    bool showHint = false;
    std::string hintWord;
    // For Enter: the line it breaks, the text before the caret that decides the indentation and
    // the lexer state at the start of the new line.
    Line line;
    std::string prefix;
    std::uint32_t newLineState = 0;
};

// The main view's character handling around the base handling: the window calls BeforeChar,
// the base handling, then AfterChar, for every character message.
class AutoIndenter {
public:
    [[nodiscard]] bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool on) noexcept { enabled_ = on; }

    // The code of the last character message handled; 0 after an arrow key or a click.
    [[nodiscard]] unsigned LastChar() const noexcept { return lastChar_; }
    void ResetLastChar() noexcept { lastChar_ = 0; }

    // Before the base handling. `stateAtLineStart` is asked about the line the caret is on.
    [[nodiscard]] CharPlan BeforeChar(const TextControl& ctl, unsigned c,
                                      const LineStateFn& stateAtLineStart) const;

    // After the base handling: inserts the indentation of a new line, or takes one blank back
    // before a closing brace typed first after Enter, recorded for undo; then remembers `c` and
    // scrolls the caret into view.
    void AfterChar(EditSession& session, const CharPlan& plan);

private:
    bool enabled_ = true;
    unsigned lastChar_ = 0;
};

} // namespace mireka
