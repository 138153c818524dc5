// The frame's printing commands: the print dialog, the preview opened at the caret's page, and
// the page setup; a machine without printers prints to a PDF file.
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/base/DialogRunner.h"
#include "gui/base/Prompts.h"
#include "gui/base/WaitCursor.h"
#include "gui/document/MyView.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTimer>

namespace mireka {

namespace {
// Pages a preview draws at most, around the caret's page.
constexpr int kPreviewPageLimit = 200;
} // namespace

QPrinter& CMainFrame::Printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void CMainFrame::OnFilePrint() {
    QPrinter& printer = Printer();
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        prompts_.Message(this,
                         QStringLiteral("プリンタが見つかりません。\n"
                                        "PDF ファイルに印刷しますので、ファイルの名前を"
                                        "指定してください。"),
                         QMessageBox::Information);
        const auto choice =
            prompts_.SaveFile(this, QStringLiteral("PDF ファイル (*.pdf)|*.pdf||"), 1, {},
                              QStringLiteral("pdf"), QStringLiteral("PDF ファイルに印刷"));
        if (!choice) return;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(DisplayPath(choice->path));
        printer.setPrintRange(QPrinter::AllPages);
    } else {
        QPrintDialog dialog(&printer, this);
        dialog.setWindowTitle(QStringLiteral("印刷"));
        if (RunModal(dialog) != QDialog::Accepted) return;
    }
    bool printed = false;
    {
        WaitCursor wait;
        printed = view_->PrintDocument(printer);
    }
    if (!printed) {
        const QString target = printer.outputFileName().isEmpty()
                                   ? printer.printerName()
                                   : QDir::toNativeSeparators(printer.outputFileName());
        prompts_.Message(
            this,
            QStringLiteral(
                "%1 に印刷できません。\nプリンタの状態や、ファイルに書き込めるかを確かめて"
                "ください。")
                .arg(target),
            QMessageBox::Warning);
    }
}

void CMainFrame::OnFilePrintPreview() {
    QPrintPreviewDialog dialog(&Printer(), this);
    dialog.setWindowTitle(QStringLiteral("印刷プレビュー"));
    auto* preview = dialog.findChild<QPrintPreviewWidget*>();
    bool opened = false;
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [&](QPrinter* printer) {
        WaitCursor wait;
        // A preview draws every page it shows before it shows one: a very long text is
        // previewed in the pages around the caret, and the title says which.
        printer->setPrintRange(QPrinter::AllPages);
        printer->setFromTo(0, 0);
        // The layout alone first, for the page range the preview can show at once.
        view_->PrintDocument(*printer, /*layoutOnly=*/true);
        const int total = view_->PrintedPageCount();
        int first = 1;
        if (total > kPreviewPageLimit) {
            first = std::max(1, view_->CaretPage() - kPreviewPageLimit / 2);
            const int last = std::min(total, first + kPreviewPageLimit - 1);
            first = std::max(1, last - kPreviewPageLimit + 1);
            dialog.setWindowTitle(QStringLiteral("印刷プレビュー (%1 - %2 / %3 ページ)")
                                      .arg(first)
                                      .arg(last)
                                      .arg(total));
            printer->setPrintRange(QPrinter::PageRange);
            printer->setFromTo(first, last);
        }
        view_->PrintDocument(*printer);
        printer->setPrintRange(QPrinter::AllPages);
        printer->setFromTo(0, 0);
        // The first time, the preview opens at the page that holds the caret.
        if (!opened && preview) {
            opened = true;
            const int page = view_->CaretPage() - first + 1;
            QTimer::singleShot(0, preview, [preview, page] {
                preview->setCurrentPage(page);
                // The dialog's page number follows this signal only.
                emit preview->previewChanged();
            });
        }
    });
    if (preview && app_.PreviewPages() == 2)
        preview->setViewMode(QPrintPreviewWidget::FacingPagesView);
    RunModal(dialog);
    if (preview)
        app_.SetPreviewPages(preview->viewMode() == QPrintPreviewWidget::FacingPagesView ? 2 : 1);
}

void CMainFrame::OnFilePrintSetup() {
    // Without a printer the system's page setup cannot open at all; it would only warn on the
    // terminal, and the command would seem to do nothing.
    if (QPrinterInfo::availablePrinters().isEmpty() ||
        Printer().outputFormat() != QPrinter::NativeFormat) {
        prompts_.Message(this,
                         QStringLiteral("プリンタが見つからないため、プリンタの設定は"
                                        "できません。\n印刷は PDF ファイルに行います。"),
                         QMessageBox::Information);
        return;
    }
    QPageSetupDialog dialog(&Printer(), this);
    dialog.setWindowTitle(QStringLiteral("プリンタの設定"));
    RunModal(dialog);
}

} // namespace mireka
