// Printing to PDF through the real program: pages, header, footer and wrapping, read back with
// poppler's pdftotext; the preview at the caret's page; no printer at all.
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/base/CommandIds.h"
#include "gui/base/DialogRunner.h"
#include "gui/document/MyDoc.h"
#include "gui/document/MyView.h"

#include "GuiTestSupport.h"

#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

namespace mireka {
namespace {

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir::setCurrent(dir.path());
    }
    void Start(const QString& file = {}) { ASSERT_TRUE(app.InitInstance(test::CommandLine(file))); }
    CMyView& View() { return *app.MainFrame()->View(); }
    // Prints to a PDF in the temporary folder and gives its text, page by page.
    QStringList PrintToPdf(int* pages = nullptr) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        const QString pdf = dir.filePath("out.pdf");
        printer.setOutputFileName(pdf);
        EXPECT_TRUE(View().PrintDocument(printer));
        if (pages) *pages = View().PrintedPageCount();
        return PdfPages(pdf);
    }
    static QStringList PdfPages(const QString& pdf) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        if (!p.waitForFinished(30000)) return {};
        return QString::fromUtf8(p.readAllStandardOutput()).split(u'\f', Qt::SkipEmptyParts);
    }

    QTemporaryDir dir;
    test::PrivateSettings settings;
    test::FakePrompts prompts;
    CMyApp app;
};

TEST_F(PrintTest, PagesCarryHeaderFooterAndWrappedText) {
    MIREKA_REQUIRE_PROGRAM("pdftotext");
    std::string text;
    for (int i = 1; i <= 150; ++i)
        text += "int line" + std::to_string(i) + ";\r\n";
    text += std::string(300, 'w') + "END\r\n"; // wraps on paper
    test::WriteBytes(dir.filePath("p.c"), QByteArray::fromStdString(text));
    Start(dir.filePath("p.c"));
    int pages = 0;
    const QStringList pdf = PrintToPdf(&pages);
    ASSERT_EQ(pdf.size(), pages);
    ASSERT_GE(pages, 3);
    for (int n = 0; n < pages; ++n) {
        const QString& page = pdf[n];
        EXPECT_TRUE(page.contains(QDir::toNativeSeparators(dir.filePath("p.c")))) << n;
        EXPECT_TRUE(page.contains(QStringLiteral("Mireka"))) << n;
        EXPECT_TRUE(page.contains(QRegularExpression(QStringLiteral("\\b%1\\s*$").arg(n + 1))))
            << "page number at the foot of page " << n + 1;
    }
    EXPECT_TRUE(pdf[0].contains("int line1;"));
    EXPECT_TRUE(pdf.join("").contains("int line150;"));
    EXPECT_TRUE(pdf.last().contains("END")) << "the end of the long line is printed, not cut";
    // The editor itself does not wrap.
    EXPECT_EQ(View().GetLineCount(), 152);
}

TEST_F(PrintTest, AnUntitledDocumentAndALongPath) {
    MIREKA_REQUIRE_PROGRAM("pdftotext");
    Start();
    View().SetWindowText("int x;");
    EXPECT_TRUE(PrintToPdf().value(0).contains("untitled"));

    const QString deep = dir.filePath(QString(12, u'd') + "/" + QString(40, u'e') + "/" +
                                      QString(40, u'f') + "/" + QString(40, u'g') + "/tail.c");
    QDir().mkpath(QFileInfo(deep).absolutePath());
    test::WriteBytes(deep, "int y;");
    prompts.answers.push_back(QMessageBox::No); // the untitled text is not kept
    ASSERT_TRUE(app.OpenDocumentFile(test::Native(deep)));
    const QString page = PrintToPdf().value(0);
    EXPECT_TRUE(page.contains("tail.c")) << "shortened in the middle, not cut at the end";
    EXPECT_FALSE(page.contains(QDir::toNativeSeparators(deep)));
    EXPECT_TRUE(page.contains(QDir::toNativeSeparators(dir.path()))) << "its start is kept";
}

TEST_F(PrintTest, PreviewOpensAtTheCaretsPage) {
    std::string text;
    for (int i = 1; i <= 400; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    test::WriteBytes(dir.filePath("q.c"), QByteArray::fromStdString(text));
    Start(dir.filePath("q.c"));
    View().SetSel(View().LineIndex(200), View().LineIndex(200));
    int shown = 0, pages = 0;
    SetDialogRunner([&](QDialog& d) {
        auto& dialog = dynamic_cast<QPrintPreviewDialog&>(d);
        dialog.show();
        auto* preview = dialog.findChild<QPrintPreviewWidget*>();
        EXPECT_TRUE(preview);
        if (preview) {
            (void)QTest::qWaitFor(
                [&] { return preview->pageCount() > 0 && preview->currentPage() > 1; }, 10000);
            shown = preview->currentPage();
            pages = preview->pageCount();
            // The dialog's own page box says the same.
            bool boxShows = false;
            for (const QLineEdit* box : dialog.findChildren<QLineEdit*>())
                boxShows = boxShows || box->text() == QString::number(shown);
            EXPECT_TRUE(boxShows);
        }
        dialog.reject();
        return dialog.result();
    });
    ASSERT_TRUE(app.MainFrame()->Commands().Execute(cmd::FilePrintPreview));
    SetDialogRunner({});
    EXPECT_GT(pages, 3);
    EXPECT_EQ(shown, View().CaretPage());
    EXPECT_GT(shown, 1);
    EXPECT_LT(shown, pages);
}

TEST_F(PrintTest, WithoutPrintersPrintingGoesToAPdfOrSaysWhy) {
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "this machine has printers";
    test::WriteBytes(dir.filePath("r.c"), "int z;\r\n");
    Start(dir.filePath("r.c"));
    prompts.files.push_back(FileChoice{test::Native(dir.filePath("r.pdf")), 1});
    // The page setup cannot open without a printer: it says so instead of doing nothing.
    ASSERT_TRUE(app.MainFrame()->Commands().Execute(cmd::FilePrintSetup));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.startsWith("プリンタが見つからないため"));
    prompts.messages.clear();
    ASSERT_TRUE(app.MainFrame()->Commands().Execute(cmd::FilePrint));
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_TRUE(prompts.messages[0].text.startsWith("プリンタが見つかりません。"));
    EXPECT_EQ(prompts.lastSave.title, "PDF ファイルに印刷");
    EXPECT_TRUE(QFile::exists(dir.filePath("r.pdf")));
    if (!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        EXPECT_TRUE(PdfPages(dir.filePath("r.pdf")).value(0).contains("int z;"));
    }
    // A PDF that cannot be written: a message.
    prompts.messages.clear();
    prompts.files.push_back(FileChoice{test::Native(dir.filePath("gone/r.pdf")), 1});
    ASSERT_TRUE(app.MainFrame()->Commands().Execute(cmd::FilePrint));
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_TRUE(prompts.messages[1].text.contains("に印刷できません。"));
}

} // namespace
} // namespace mireka
