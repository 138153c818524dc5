// A small dialog for one integer in a range, typed or stepped with a spin box.
#pragma once

#include "gui/base/DialogRunner.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QSpinBox;

namespace mireka {

class CNumberDlg : public QDialog {
    Q_OBJECT

public:
    CNumberDlg(const QString& title, const QString& label, int minimum, int maximum,
               const QString& okText, const QString& cancelText, QWidget* parent = nullptr);

    // The number exchanged with the edit: shown when the dialog opens, valid after OK.
    [[nodiscard]] int Value() const noexcept { return value_; }
    void SetValue(int value);
    [[nodiscard]] int Minimum() const noexcept { return minimum_; }
    [[nodiscard]] int Maximum() const noexcept { return maximum_; }

    [[nodiscard]] QSpinBox* SpinBox() const noexcept { return spin_; }
    [[nodiscard]] QPushButton* OkButton() const noexcept { return ok_; }
    [[nodiscard]] QPushButton* CancelButton() const noexcept { return cancel_; }

public slots:
    // Refuses a number outside the range with the range message; the dialog then stays open.
    void accept() override;

private:
    int minimum_;
    int maximum_;
    int value_;
    QSpinBox* spin_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace mireka
