// The clipboard history's list lines: each remembered text on one line, its control characters
// spelt out.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mireka {

// Texts remembered, newest first.
inline constexpr std::size_t kClipboardHistoryMax = 100;
// A list line holds at most this many bytes of code page 932.
inline constexpr std::size_t kClipboardLineMax = 256;

// "%3ld: %s" with the text's display form (tab, LF, CR, double quote and backslash as C
// escapes; a double-byte character copied whole), cut to kClipboardLineMax bytes between two
// characters.
[[nodiscard]] std::string ClipboardHistoryLine(long index, std::string_view text);

} // namespace mireka
