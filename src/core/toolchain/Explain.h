// Japanese explanations of compiler and linker messages for learners: a table read from a data
// file shipped beside the program, and the matching of output lines against it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mireka {

// The explanation line that follows a message: this prefix, the explanation, CR LF. It never
// has ":digits:" of its own, so no jump rule takes it for a message.
inline constexpr std::string_view kExplainPrefix = "  → ";

// Longer lines (line end excluded) are neither entries nor explained: no message is that long,
// and the limit keeps the matcher's work per line bounded.
inline constexpr std::size_t kMaxExplainLineBytes = 4096;

// One entry: a message pattern and its explanation.
//
// Pattern language (everything else is literal, compared byte for byte):
//   %1 … %9  captures a run of one or more characters (as few as possible);
//   *        matches any run of characters, possibly empty (as few as possible);
//   '        matches a straight quote ('), a typographic one (‘ or ’) or a backquote (`), as
//            gcc quotes by its locale and ld opens with a backquote.
// A pattern matches a line when it matches from the line's start or from just after any ": "
// in it, to the line's end (its CR or LF excluded). The explanation's %1 … %9 are replaced by
// what the pattern captured.
struct ExplainEntry {
    std::string pattern;
    std::string text;
};

struct ExplainTable {
    std::vector<ExplainEntry> entries; // in file order; the first that matches wins
    std::vector<int> badLines;         // 1-based numbers of lines that are not entries
};

// The file's form: UTF-8, one entry per line, "pattern<TAB>explanation"; empty lines and lines
// starting with ";" are comments. A line without a tab, with an empty side, with a capture the
// pattern does not have, or longer than 4 KiB is skipped and its number kept in badLines.
[[nodiscard]] ExplainTable ParseExplainTable(std::string_view file);

// The explanation for one output line (its line end may be included), captures substituted;
// empty when no entry matches.
[[nodiscard]] std::string ExplainLine(const ExplainTable& table, std::string_view line);

// Explains output arriving in pieces: each piece comes back with an explanation line put after
// every complete line that an entry matches. Feeding a text in any split gives the same result.
class Explainer {
public:
    explicit Explainer(const ExplainTable& table) noexcept : table_(table) {}
    [[nodiscard]] std::string Feed(std::string_view bytes);

private:
    const ExplainTable& table_;
    std::string line_; // the line so far, while its end has not come (cut past the limit)
    std::shared_ptr<const struct ExplainIndex> index_; // built at the first complete line
};

// A whole text at once (same result as one Feed).
[[nodiscard]] std::string ExplainText(const ExplainTable& table, std::string_view text);

} // namespace mireka
