// The manual viewer's data: a manual text cut into numbered pieces, its index of entries with
// their line numbers, the incremental index search and the text a copied line gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mireka {

inline constexpr std::string_view kManualIndexName = "LSICMAN.TXT";
// A piece ends after a line feed or after this many bytes, whichever comes first; each piece is
// one index entry or one numbered manual line.
inline constexpr std::size_t kManualPieceBytes = 254;
// The manual list opens scrolled so that this line is at its top.
inline constexpr long kManualFirstShownLine = 14;
// The find text's limit, in characters.
inline constexpr int kManualFindTextMax = 255;

// A text read as the viewer reads its files: CR LF taken as LF, then cut into pieces.
class ManualLines {
public:
    ManualLines() = default;
    // Takes the file's bytes.
    explicit ManualLines(std::string bytes);

    [[nodiscard]] std::size_t size() const noexcept { return pieces_.size(); }
    [[nodiscard]] bool empty() const noexcept { return pieces_.empty(); }
    // The piece without the line feed that ended it.
    [[nodiscard]] std::string_view Line(std::size_t i) const noexcept {
        return std::string_view(bytes_).substr(pieces_[i].start, pieces_[i].length);
    }
    // The byte length of the longest piece, for the list's horizontal extent.
    [[nodiscard]] std::size_t WidestLine() const noexcept { return widest_; }

private:
    struct Piece {
        std::size_t start;
        std::uint32_t length; // at most kManualPieceBytes
    };
    std::string bytes_;
    std::vector<Piece> pieces_;
    std::size_t widest_ = 0;
};

// The number of pieces `bytes` (already in text-mode form, LF line ends) yields; a reference
// built in pieces adds these counts to know where each part begins.
[[nodiscard]] std::size_t CountManualPieces(std::string_view bytes) noexcept;

// "%05ld| %s": how a manual line is listed.
[[nodiscard]] std::string FormatManualItem(long number, std::string_view text);

// The first of `count` listed lines, from line `from` on (and then from the top when `wrap`),
// whose "%05ld" number begins with `digits` (or is `digits`, when `whole`), found without listing
// any: the lines a typed prefix can meet lie in one range of numbers per width of number.
[[nodiscard]] std::optional<std::size_t> FindManualNumber(std::size_t count, std::size_t from,
                                                          std::string_view digits, bool whole,
                                                          bool wrap) noexcept;

// What copying a manual line puts on the clipboard: its text without the number, without
// white space at either end.
[[nodiscard]] std::string ManualCopyText(std::string_view line);

struct ManualIndexEntry {
    long line = 0;    // the manual line it stands for, 0 the first
    std::string text; // up to the first white space
};

// One index piece read as "%ld,%s": optional white space, a decimal number (a sign allowed), a
// comma, optional white space and the text up to the next white space. Nothing when the piece
// does not hold both or the number does not fit.
[[nodiscard]] std::optional<ManualIndexEntry> ParseManualIndexLine(std::string_view piece);

struct ManualIndex {
    std::vector<ManualIndexEntry> entries; // in file order
    std::size_t skipped = 0;               // pieces that were not "%ld,%s"
};
[[nodiscard]] ManualIndex ParseManualIndex(std::string bytes);

// The incremental search over the index texts: the first entry, in list order, that begins with
// the typed text, ASCII letters compared without case and double-byte characters (code page
// 932) as whole units.
class ManualIndexSearch {
public:
    ManualIndexSearch() = default;
    explicit ManualIndexSearch(const std::vector<ManualIndexEntry>& entries);
    // The entry's position, or nothing for an empty text or no match.
    [[nodiscard]] std::optional<std::size_t> FindPrefix(std::string_view typed) const;

private:
    std::vector<std::string> folded_;
};

// ASCII letters lowered; both bytes of a double-byte character kept, so a trail byte that looks
// like a letter is never changed.
[[nodiscard]] std::string FoldManualText(std::string_view text);

// The C identifier at or just before `column` of a line (code page 932), for the find box: empty
// when the caret touches none.
[[nodiscard]] std::string IdentifierAt(std::string_view line, std::size_t column);

} // namespace mireka
