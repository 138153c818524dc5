// The line number in a compiler message, by the rule of the selected toolchain, for the jump from
// the output window to the source line.
#pragma once

#include "core/toolchain/Toolchain.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace mireka {

// The rule of the toolchain a selection means (Borland C++ 5.5 and LSI C-86 "t.c 7: text",
// Visual C++ Toolkit "t.c(12) : text", GCC "t.c:5:3: text"); kinds other than 0, 1 and 3 use
// the Visual C++ Toolkit's.
[[nodiscard]] inline const JumpRule& JumpRuleFor(int toolchain) noexcept {
    return ToolchainOf(toolchain).jump;
}

// Only this much of a message line is examined (cut at a character boundary).
inline constexpr std::size_t kMaxJumpLineBytes = 259;

// The line number a message names, as read (1-based, possibly 0 or negative), or none when the
// line does not have the rule's shape; then the double-click does nothing at all, while a number
// (whatever its value) still lets the output control handle the double-click as usual.
[[nodiscard]] std::optional<int> ParseJumpLine(std::string_view line,
                                               const JumpRule& rule) noexcept;
[[nodiscard]] inline std::optional<int> ParseJumpLine(std::string_view line,
                                                      int toolchain) noexcept {
    return ParseJumpLine(line, JumpRuleFor(toolchain));
}

// The separator rule on its own: first `endSep` found character-wise, then the last `startSep`
// before it; the number right after it is read by ReadCLong.
[[nodiscard]] std::optional<int> ParseSeparatedLineNumber(std::string_view line, char endSep,
                                                          char startSep) noexcept;

// The GCC rule on its own: the first run of digits directly after a ":" and directly followed
// by ":".
[[nodiscard]] std::optional<int> ParseColonLineNumber(std::string_view line) noexcept;

// A decimal number read as the C library's strtol does with a 32-bit long: leading white space,
// optional sign, digits up to the first non-digit; 0 without digits; saturated on overflow.
[[nodiscard]] int ReadCLong(std::string_view s) noexcept;

// The 0-based editor line to move the caret to for a parsed number, or none: numbers below 1
// do not move, and neither does a number past the last of `lineCount` lines (the text is never
// touched).
[[nodiscard]] std::optional<std::size_t> JumpTargetLine(int number, std::size_t lineCount) noexcept;

} // namespace mireka
