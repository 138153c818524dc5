// Blank and white-space tests and trimming on bytes. Both classes are ASCII, so no byte of a
// double-byte character (0x40 and up) is ever taken for one.
#pragma once

#include <string_view>

namespace mireka {

// A space or a tab.
[[nodiscard]] constexpr bool IsBlank(char c) noexcept {
    return c == ' ' || c == '\t';
}

// White space as the C library's isspace in the C locale: space, tab, LF, VT, FF, CR.
[[nodiscard]] constexpr bool IsWhiteSpace(char c) noexcept {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

[[nodiscard]] constexpr std::string_view TrimBlanks(std::string_view s) noexcept {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

[[nodiscard]] constexpr std::string_view TrimWhiteSpace(std::string_view s) noexcept {
    while (!s.empty() && IsWhiteSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsWhiteSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace mireka
