// The dialog that asks for the program's arguments or a command line, with a five-line history
// of its own for each purpose.
#pragma once

#include "core/app/ArgumentHistory.h"

#include <QComboBox>
#include <QDialog>

#include <functional>
#include <string>

class QLabel;

namespace mireka {

// An editable drop-down that asks for its list just before it opens.
class HistoryComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit HistoryComboBox(QWidget* parent = nullptr) : QComboBox(parent) {}
    std::function<void()> aboutToOpen;
    void showPopup() override;
};

class CArgumentsDlg : public QDialog {
    Q_OBJECT

public:
    explicit CArgumentsDlg(ArgumentsMode mode, QWidget* parent = nullptr);

    // The line shown when the dialog opens, and the one confirmed with OK (locale bytes).
    void SetText(const std::string& text) { text_ = text; }
    [[nodiscard]] const std::string& Text() const noexcept { return text_; }

    // Reads the history, runs the dialog and writes the history back, whatever the result.
    // Returns QDialog::Accepted or QDialog::Rejected.
    int DoModal();

    // For tests: while set, DoModal shows the dialog without a loop of its own and hands it to
    // this function, which plays the user (keys, the drop-down, OK, Escape, the close box). A
    // dialog still open when it returns is cancelled.
    using Driver = std::function<void(CArgumentsDlg&)>;
    static void SetDriver(Driver driver);

    [[nodiscard]] HistoryComboBox* ComboBox() const noexcept { return combo_; }
    [[nodiscard]] QLabel* PromptLabel() const noexcept { return prompt_; }
    [[nodiscard]] const ArgumentHistory& History() const noexcept { return history_; }
    // The lines of the drop-down list as they are now.
    [[nodiscard]] QStringList ListItems() const;

public slots:
    void accept() override;

private:
    void FillDropDown();

    ArgumentHistory history_;
    std::string text_;
    QLabel* prompt_ = nullptr;
    HistoryComboBox* combo_ = nullptr;
};

} // namespace mireka
