// The modeless find and replace dialog: search text, replacement, direction and match case, with
// the common dialog's controls and notifications (no whole-word option).
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace mireka {

class CFindReplaceDlg : public QDialog {
    Q_OBJECT

public:
    // The find dialog when `findOnly`, else the replace dialog. Closing deletes it.
    explicit CFindReplaceDlg(bool findOnly, QWidget* parent = nullptr);

    [[nodiscard]] bool IsFindOnly() const noexcept { return findOnly_; }

    void SetFindText(const QString& text);
    void SetReplaceText(const QString& text);
    void SetSearchDown(bool down);
    void SetMatchCase(bool on);
    [[nodiscard]] QString FindText() const;
    [[nodiscard]] QString ReplaceText() const;
    [[nodiscard]] bool SearchDown() const;
    [[nodiscard]] bool MatchCase() const;

    // The controls, for tests that press them.
    [[nodiscard]] QLineEdit* FindEdit() const noexcept { return findEdit_; }
    [[nodiscard]] QLineEdit* ReplaceEdit() const noexcept { return replaceEdit_; }
    [[nodiscard]] QCheckBox* MatchCaseBox() const noexcept { return matchCase_; }
    [[nodiscard]] QRadioButton* UpButton() const noexcept { return up_; }
    [[nodiscard]] QRadioButton* DownButton() const noexcept { return down_; }
    [[nodiscard]] QPushButton* FindNextButton() const noexcept { return findNext_; }
    [[nodiscard]] QPushButton* ReplaceButton() const noexcept { return replace_; }
    [[nodiscard]] QPushButton* ReplaceAllButton() const noexcept { return replaceAll_; }
    [[nodiscard]] QPushButton* CancelButton() const noexcept { return cancel_; }

    // Brings the dialog to the front with the focus in its search text.
    void Activate();

signals:
    void FindNextRequested(const QString& find, bool down, bool matchCase);
    void ReplaceRequested(const QString& find, bool down, bool matchCase, const QString& replace);
    void ReplaceAllRequested(const QString& find, const QString& replace, bool matchCase);
    // The dialog is closing; whoever keeps it lets go.
    void Terminating();

public slots:
    // Every way of closing (Cancel, Escape, the title bar) ends here.
    void done(int result) override;

private:
    void UpdateButtons();

    bool findOnly_;
    bool searchDown_ = true; // the replace dialog has no direction buttons and keeps the last one
    bool terminated_ = false;
    QLineEdit* findEdit_ = nullptr;
    QLineEdit* replaceEdit_ = nullptr;
    QCheckBox* matchCase_ = nullptr;
    QRadioButton* up_ = nullptr;
    QRadioButton* down_ = nullptr;
    QPushButton* findNext_ = nullptr;
    QPushButton* replace_ = nullptr;
    QPushButton* replaceAll_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace mireka
