// Function-prototype hints: the lines of the hint file and the lookup of a word's hint.
#pragma once

#include "core/base/FileReader.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mireka {

inline constexpr std::string_view kHintFileName = "LSIC86.TXT";

// The lines of a text file's bytes, each without its line break, in file order. LF and CR LF
// end a line; a lone CR is kept as a byte of its line. A last line without a break still counts;
// a final break does not add an empty line. Bytes stay as they are (code page 932).
[[nodiscard]] std::vector<std::string> SplitTextLines(std::string_view bytes);

// The hint lines of the file at `path`; none when it cannot be opened or read.
[[nodiscard]] std::optional<std::vector<std::string>> ReadHintFile(const std::string& path,
                                                                   const ReadFilePart& read);

// The hint for `word`: each line is split at its first "#" (a line without one has an empty key
// and the whole line as hint); the first line whose key equals `word` byte for byte gives the
// text after the "#". No match, and an empty word, give an empty result: an empty key is not a
// function name, and "(" typed after a blank must not show some stray line. The result points
// into `lines`.
[[nodiscard]] std::string_view LookupHint(const std::vector<std::string>& lines,
                                          std::string_view word) noexcept;

} // namespace mireka
