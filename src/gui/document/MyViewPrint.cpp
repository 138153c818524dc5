// Printing the text: margins, header and footer on every page, long lines wrapped on paper.
#include "core/document/PrintLayout.h"
#include "gui/document/MyDoc.h"
#include "gui/document/MyView.h"
#include "gui/editor/TextCodec.h"
#include "platform/FileSystem.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include <cmath>

namespace mireka {

namespace {

// A row's text with tabs expanded to spaces, counted in cells from the row's start.
QString RowText(const std::string& bytes, int tabWidth, Encoding enc) {
    std::string expanded;
    expanded.reserve(bytes.size());
    int cells = 0;
    for (std::size_t i = 0; i < bytes.size(); i = chars::NextCharPos(enc, bytes, i)) {
        if (bytes[i] == '\t') {
            const int n = tabWidth - cells % tabWidth;
            expanded.append(static_cast<std::size_t>(n), ' ');
            cells += n;
        } else {
            expanded.append(bytes, i, chars::CharLength(enc, bytes, i));
            cells += chars::CharCells(enc, bytes, i);
        }
    }
    return codec::Decode(enc, expanded);
}

} // namespace

bool CMyView::PrintDocument(QPrinter& printer, bool layoutOnly) {
    const QFont font(EditorFont(), &printer);
    const QFontMetricsF fm(font, &printer);
    const int lineHeight = std::max(1, static_cast<int>(std::ceil(fm.height())));
    const qreal cell = std::max<qreal>(1.0, fm.horizontalAdvance(QLatin1Char('M')));
    const PrintRect page{0, 0, printer.width(), printer.height()};

    QString header;
    if (const CMyDoc* doc = GetDocument())
        header = doc->GetPathName().empty() ? doc->GetTitle() : DisplayPath(doc->GetPathName());
    const PrintPageLayout l = LayOutPrintPage(page, lineHeight, !header.isEmpty());
    PrintGeometry g;
    g.columns = std::max(1, static_cast<int>(l.text.Width() / cell));
    g.rowsPerPage = std::max(1, l.text.Height() / lineHeight);
    g.tabWidth = TabWidth();
    g.encoding = Session().GetEncoding();

    const TextBuffer& text = Control().Buffer();
    PrintCache& cache = printCache_;
    if (cache.starts.empty() || cache.revision != text.Revision() || cache.columns != g.columns ||
        cache.rowsPerPage != g.rowsPerPage || cache.tabWidth != g.tabWidth ||
        cache.encoding != g.encoding) {
        cache.starts = PaginateForPrint(text, g);
        cache.revision = text.Revision();
        cache.columns = g.columns;
        cache.rowsPerPage = g.rowsPerPage;
        cache.tabWidth = g.tabWidth;
        cache.encoding = g.encoding;
    }
    const std::vector<Offset>& starts = cache.starts;
    printedPages_ = static_cast<int>(starts.size());
    caretPage_ = PageOfOffset(starts, Control().SelStart());
    if (layoutOnly) return true;
    QPainter p;
    if (!p.begin(&printer)) return false;
    p.setFont(font);
    int from = printer.fromPage() > 0 ? printer.fromPage() : 1;
    int to = printer.toPage() > 0 ? std::min(printer.toPage(), printedPages_) : printedPages_;
    const QColor ink = Qt::black;
    std::string bytes;
    for (int n = from; n <= to; ++n) {
        if (n > from) printer.newPage();
        p.setClipRect(QRect(page.left, page.top, page.Width(), page.Height()));
        p.setPen(ink);
        if (!header.isEmpty()) {
            const QRect band(l.margins.left, l.headerTop, l.margins.Width(), lineHeight);
            p.drawText(band, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                       fm.elidedText(header, Qt::ElideMiddle, l.margins.Width()));
            p.drawLine(l.margins.left, l.headerRule, l.margins.right, l.headerRule);
        }
        const std::vector<PrintRow> rows =
            PrintPageRows(text, starts[static_cast<std::size_t>(n - 1)], g);
        int y = l.text.top;
        for (const PrintRow& row : rows) {
            bytes.clear();
            text.AppendTo(bytes, row.start, row.end);
            p.drawText(QPointF(l.text.left, y + fm.ascent()),
                       RowText(bytes, g.tabWidth, g.encoding));
            y += lineHeight;
        }
        p.drawLine(l.margins.left, l.footerRule, l.margins.right, l.footerRule);
        const QRect band(l.margins.left, l.footerBottom - lineHeight, l.margins.Width(),
                         lineHeight);
        p.drawText(band, Qt::AlignRight | Qt::AlignBottom | Qt::TextSingleLine,
                   QStringLiteral("%1 ").arg(n));
        p.drawText(band, Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine,
                   QStringLiteral(" Mireka"));
    }
    return p.end();
}

} // namespace mireka
