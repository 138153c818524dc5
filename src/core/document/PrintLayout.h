// The text on paper: the page margins, long lines wrapped into rows of a fixed number of cells,
// and rows gathered into pages.
#pragma once

#include "core/base/Encoding.h"
#include "core/editor/TextBuffer.h"

#include <string>
#include <vector>

namespace mireka {

struct PrintRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    [[nodiscard]] int Width() const noexcept { return right - left; }
    [[nodiscard]] int Height() const noexcept { return bottom - top; }
    friend bool operator==(const PrintRect&, const PrintRect&) = default;
};

// Where a page's parts go, for a drawing rectangle and the printer font's line height.
struct PrintPageLayout {
    PrintRect margins;    // the rectangle with 85 % of its width and 90 % of its height, centred
    int headerTop = 0;    // the header line's top
    int headerRule = 0;   // y of the rule under it
    PrintRect text;       // where the page's text goes
    int footerRule = 0;   // y of the rule above the footer
    int footerBottom = 0; // the footer line's bottom
};
[[nodiscard]] PrintPageLayout LayOutPrintPage(PrintRect page, int lineHeight, bool header) noexcept;

// One printed row: bytes [start, end) of the text, without a line break.
struct PrintRow {
    Offset start = 0;
    Offset end = 0;
    friend bool operator==(const PrintRow&, const PrintRow&) = default;
};

struct PrintGeometry {
    int columns = 80;     // cells a row holds (a double-byte or wide character takes two)
    int rowsPerPage = 60; // rows a page holds
    int tabWidth = 4;     // cells between tab stops
    Encoding encoding = Encoding::Cp932; // the text's character rules
};

// The rows of the line `line`: wrapped after the last blank that fits, else at the last
// character that fits; a character is never split and every row holds at least one.
// `scratch` holds the line's bytes between calls.
void WrapLineForPrint(const TextBuffer& text, Line line, const PrintGeometry& g,
                      std::vector<PrintRow>& rows, std::string& scratch);

// The offsets at which pages begin; the first is 0. One pass over the text.
[[nodiscard]] std::vector<Offset> PaginateForPrint(const TextBuffer& text, const PrintGeometry& g);

// The rows of the page that begins at `start`.
[[nodiscard]] std::vector<PrintRow> PrintPageRows(const TextBuffer& text, Offset start,
                                                  const PrintGeometry& g);

// The 1-based page whose start is the last one not greater than `offset`.
[[nodiscard]] int PageOfOffset(const std::vector<Offset>& pageStarts, Offset offset) noexcept;

} // namespace mireka
