// Page margins, line wrapping and pagination for printing.
#include "core/document/PrintLayout.h"

#include <algorithm>

namespace mireka {

PrintPageLayout LayOutPrintPage(PrintRect page, int lineHeight, bool header) noexcept {
    PrintPageLayout l;
    const int w = page.Width();
    const int h = page.Height();
    const int dx = (w - w * 85 / 100) / 2;
    const int dy = (h - h * 90 / 100) / 2;
    l.margins = {page.left + dx, page.top + dy, page.right - dx, page.bottom - dy};
    const int q = lineHeight / 4;
    l.text = l.margins;
    if (header) {
        l.headerTop = l.margins.top - lineHeight;
        l.headerRule = l.margins.top + q;
        l.text.top = l.margins.top + lineHeight + 2 * q;
    }
    l.text.bottom = l.margins.bottom - lineHeight - 2 * q;
    l.footerRule = l.margins.bottom - q;
    l.footerBottom = l.margins.bottom + lineHeight;
    return l;
}

void WrapLineForPrint(const TextBuffer& text, Line line, const PrintGeometry& g,
                      std::vector<PrintRow>& rows, std::string& scratch) {
    const Offset lineStart = text.LineStart(line);
    scratch.clear();
    text.AppendTo(scratch, lineStart, text.LineEnd(line));
    const std::string& bytes = scratch;
    const int columns = std::max(1, g.columns);
    const int tab = std::max(1, g.tabWidth);
    if (bytes.empty()) {
        rows.push_back({lineStart, lineStart});
        return;
    }
    std::size_t rowStart = 0;
    while (rowStart < bytes.size()) {
        int cells = 0;
        std::size_t i = rowStart;
        std::size_t lastBlankEnd = 0; // just after the last blank in this row, 0 for none
        while (i < bytes.size()) {
            const std::size_t n = chars::CharLength(g.encoding, bytes, i);
            const int width =
                bytes[i] == '\t' ? tab - cells % tab : chars::CharCells(g.encoding, bytes, i);
            if (cells + width > columns && i > rowStart) break;
            cells += width;
            i += n;
            if (bytes[i - n] == ' ' || bytes[i - n] == '\t') lastBlankEnd = i;
        }
        std::size_t rowEnd = i;
        if (i < bytes.size() && lastBlankEnd > rowStart) rowEnd = lastBlankEnd;
        rows.push_back(
            {lineStart + static_cast<Offset>(rowStart), lineStart + static_cast<Offset>(rowEnd)});
        rowStart = rowEnd;
    }
}

std::vector<Offset> PaginateForPrint(const TextBuffer& text, const PrintGeometry& g) {
    const int perPage = std::max(1, g.rowsPerPage);
    std::vector<Offset> starts{0};
    std::vector<PrintRow> rows;
    std::string scratch;
    int onPage = 0;
    const Line end(text.LineCount());
    for (Line line; line < end; ++line) {
        rows.clear();
        // A line that fits even if every byte were a tab needs no look at its bytes.
        const Offset length = text.LineLength(line);
        if (length * std::max(1, g.tabWidth) <= g.columns)
            rows.push_back({text.LineStart(line), text.LineEnd(line)});
        else
            WrapLineForPrint(text, line, g, rows, scratch);
        for (const PrintRow& row : rows) {
            if (onPage == perPage) {
                starts.push_back(row.start);
                onPage = 0;
            }
            ++onPage;
        }
    }
    return starts;
}

std::vector<PrintRow> PrintPageRows(const TextBuffer& text, Offset start, const PrintGeometry& g) {
    const int perPage = std::max(1, g.rowsPerPage);
    std::vector<PrintRow> page;
    std::vector<PrintRow> rows;
    std::string scratch;
    for (Line line = text.LineFromOffset(start); line < Line(text.LineCount()); ++line) {
        rows.clear();
        WrapLineForPrint(text, line, g, rows, scratch);
        for (const PrintRow& row : rows) {
            if (row.start < start) continue;
            page.push_back(row);
            if (static_cast<int>(page.size()) == perPage) return page;
        }
    }
    return page;
}

int PageOfOffset(const std::vector<Offset>& pageStarts, Offset offset) noexcept {
    const auto it = std::upper_bound(pageStarts.begin(), pageStarts.end(), offset);
    return static_cast<int>(std::max<std::ptrdiff_t>(1, it - pageStarts.begin()));
}

} // namespace mireka
