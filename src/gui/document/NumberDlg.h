// A small dialog for one integer in a range, typed or stepped with a spin box, and the one way
// the view runs its modal dialogs, so that tests can answer them without an event loop.
#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QSpinBox;

namespace mireka {

// Runs `dialog` modally and returns its result. Tests put in a function of their own, which
// answers the dialog (typing, clicking its buttons) and returns the result it reached.
using DialogRunner = std::function<int(QDialog& dialog)>;
int RunModal(QDialog& dialog);
// An empty runner restores the plain modal loop.
void SetDialogRunner(DialogRunner runner);

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
