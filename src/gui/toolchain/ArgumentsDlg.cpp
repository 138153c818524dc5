// The argument and command-line dialog.
#include "gui/toolchain/ArgumentsDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace mireka {

namespace {

CArgumentsDlg::Driver& TestDriver() {
    static CArgumentsDlg::Driver driver;
    return driver;
}

QString FromLocal(const std::string& s) {
    return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

QString FromUtf8(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

constexpr int kFieldWidth = 360;

} // namespace

void HistoryComboBox::showPopup() {
    if (aboutToOpen) aboutToOpen();
    QComboBox::showPopup();
}

CArgumentsDlg::CArgumentsDlg(ArgumentsMode mode, QWidget* parent)
    : QDialog(parent), history_(mode) {
    setWindowTitle(FromUtf8(ArgumentsDialogTitle(mode)));
    prompt_ = new QLabel(FromUtf8(ArgumentsDialogPrompt(mode)), this);
    combo_ = new HistoryComboBox(this);
    combo_->setEditable(true);
    // Lines enter the history only through OK.
    combo_->setInsertPolicy(QComboBox::NoInsert);
    combo_->setMinimumWidth(kFieldWidth);
    combo_->lineEdit()->setMaxLength(static_cast<int>(kArgumentsMaxLength));
    combo_->aboutToOpen = [this] { FillDropDown(); };
    prompt_->setBuddy(combo_);
    // OK only: the cancel key and the close box cancel.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    layout->addWidget(combo_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CArgumentsDlg::SetDriver(Driver driver) {
    TestDriver() = std::move(driver);
}

QStringList CArgumentsDlg::ListItems() const {
    QStringList items;
    for (int i = 0; i < combo_->count(); ++i)
        items << combo_->itemText(i);
    return items;
}

void CArgumentsDlg::FillDropDown() {
    const std::vector<std::string> items = history_.DropDownItems();
    if (items.empty()) return;
    const QString current = combo_->currentText();
    combo_->clear();
    for (const std::string& item : items)
        combo_->addItem(FromLocal(item));
    combo_->setCurrentIndex(-1);
    combo_->setEditText(current);
}

void CArgumentsDlg::accept() {
    text_ = combo_->currentText().toLocal8Bit().toStdString();
    history_.Confirm(text_);
    QDialog::accept();
}

int CArgumentsDlg::DoModal() {
    combo_->setEditText(FromLocal(text_));
    history_.Read();
    int result = QDialog::Rejected;
    if (const Driver& driver = TestDriver()) {
        setResult(QDialog::Rejected);
        show();
        driver(*this);
        if (isVisible()) reject();
        result = this->result();
    } else {
        result = exec();
    }
    history_.Write();
    return result;
}

} // namespace mireka
