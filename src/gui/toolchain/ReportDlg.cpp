// The report dialog.
#include "gui/toolchain/ReportDlg.h"

#include "platform/FileSystem.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace mireka {

namespace {

constexpr int kFieldColumns = 72;
constexpr int kFieldRows = 20;

} // namespace

CReportDlg::CReportDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("レポート"));
    auto* prompt =
        new QLabel(QStringLiteral("何か不具合やご質問等があるときは下欄に表示されている内容を\n"
                                  "コピー・ペーストして一緒にお知らせ下さい。"),
                   this);
    field_ = new QPlainTextEdit(this);
    field_->setObjectName(QStringLiteral("report"));
    field_->setReadOnly(true);
    field_->setLineWrapMode(QPlainTextEdit::NoWrap);
    field_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    field_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    field_->setFrameShape(QFrame::StyledPanel);
    field_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const QFontMetrics metrics(field_->font());
    field_->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('M')) * kFieldColumns,
                           metrics.lineSpacing() * kFieldRows);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(field_);
    layout->addWidget(buttons);
}

void CReportDlg::SetReport(const std::string& text) {
    QStringList lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines << DisplayText(line);
        start = end + 1;
    }
    field_->setPlainText(lines.join(QLatin1Char('\n')));
}

} // namespace mireka
