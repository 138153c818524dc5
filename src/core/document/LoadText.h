// How a file's bytes become the editor text: cut at the first NUL, every line end made CR LF.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mireka {

// Files longer than this are refused ("ファイルが大きすぎて開けません。").
inline constexpr std::uint64_t kMaxFileSize = 0x7FFFFFFF;

// The bytes before the first NUL byte.
[[nodiscard]] std::string_view CutAtNul(std::string_view bytes) noexcept;

// Length of the text once CR LF, a lone CR and a lone LF have each become one CR LF.
[[nodiscard]] std::size_t NormalizedLength(std::string_view bytes) noexcept;

// The text with every line end as CR LF; no other byte changes.
[[nodiscard]] std::string NormalizeLineEnds(std::string_view bytes);

// Turns file contents into editor text in place, reusing the storage when nothing changes.
// False when the result would exceed kMaxFileSize.
bool MakeEditorText(std::string& bytes);

} // namespace mireka
