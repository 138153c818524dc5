// The clipboard history dialog.
#include "gui/document/ClipboardHistoryDlg.h"

#include "core/document/ClipboardHistory.h"
#include "gui/editor/Cp932.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace mireka {

namespace {

// A line shows at most this many bytes, so a long text need not be converted whole.
constexpr qsizetype kShownChars = static_cast<qsizetype>(kClipboardLineMax);

QString ListLine(long index, const QString& text) {
    std::string bytes;
    cp932::EncodeReplacing(text.left(kShownChars), bytes);
    return cp932::Decode(ClipboardHistoryLine(index, bytes));
}

} // namespace

CClipboardHistoryDlg::CClipboardHistoryDlg(std::vector<QString> history, QWidget* parent)
    : QDialog(parent), history_(std::move(history)) {
    setWindowTitle(QStringLiteral("クリップボードの履歴"));
    auto* label = new QLabel(QStringLiteral("貼り付けたい項目をダブルクリックして下さい。"), this);
    list_ = new QListWidget(this);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_->setMinimumSize(480, 240);
    for (std::size_t i = 0; i < history_.size(); ++i)
        list_->addItem(ListLine(static_cast<long>(i), history_[i]));
    if (list_->count() > 0) list_->setCurrentRow(0);
    label->setBuddy(list_);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* paste =
        buttons->addButton(QStringLiteral("貼り付け"), QDialogButtonBox::AcceptRole);
    paste->setDefault(true);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
}

void CClipboardHistoryDlg::accept() {
    const int row = list_->currentRow();
    if (row >= 0 && static_cast<std::size_t>(row) < history_.size())
        result_ = history_[static_cast<std::size_t>(row)];
    QDialog::accept();
}

} // namespace mireka
