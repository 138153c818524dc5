// The one-number dialog.
#include "gui/document/NumberDlg.h"

#include "gui/base/Prompts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace mireka {

namespace {

// Takes any number of up to nine digits, so that a number outside the range reaches the range
// check instead of being clamped silently; the arrows stay inside the range.
class RangeSpinBox : public QSpinBox {
public:
    RangeSpinBox(int minimum, int maximum, QWidget* parent)
        : QSpinBox(parent), lo_(minimum), hi_(maximum) {
        setRange(0, 999999999);
        setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        setAccelerated(true);
    }

    void stepBy(int steps) override {
        interpretText();
        const long long next = static_cast<long long>(value()) + steps;
        setValue(static_cast<int>(std::clamp<long long>(next, lo_, hi_)));
        selectAll();
    }

protected:
    [[nodiscard]] StepEnabled stepEnabled() const override {
        StepEnabled e;
        if (value() < hi_) e |= StepUpEnabled;
        if (value() > lo_) e |= StepDownEnabled;
        return e;
    }

private:
    int lo_;
    int hi_;
};

} // namespace

CNumberDlg::CNumberDlg(const QString& title, const QString& label, int minimum, int maximum,
                       const QString& okText, const QString& cancelText, QWidget* parent)
    : QDialog(parent), minimum_(minimum), maximum_(maximum), value_(minimum) {
    setWindowTitle(title);
    auto* text = new QLabel(label, this);
    spin_ = new RangeSpinBox(minimum, maximum, this);
    text->setBuddy(spin_);
    spin_->setValue(value_);

    ok_ = new QPushButton(okText, this);
    cancel_ = new QPushButton(cancelText, this);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &CNumberDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &CNumberDlg::reject);

    auto* fields = new QHBoxLayout;
    fields->addWidget(text);
    fields->addWidget(spin_, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setSizeGripEnabled(false);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CNumberDlg::SetValue(int value) {
    value_ = value;
    spin_->setValue(value);
    spin_->selectAll();
}

void CNumberDlg::accept() {
    spin_->interpretText();
    const int v = spin_->value();
    if (v < minimum_ || v > maximum_) {
        Prompts::Current().Message(
            this,
            QStringLiteral("%1 から %2 までの整数を入力してください。").arg(minimum_).arg(maximum_),
            QMessageBox::Warning);
        spin_->setFocus();
        spin_->selectAll();
        return;
    }
    value_ = v;
    QDialog::accept();
}

} // namespace mireka
