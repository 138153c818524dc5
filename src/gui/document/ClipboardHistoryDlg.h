// The clipboard history: the remembered texts, one line each, to paste one of them.
#pragma once

#include <QDialog>
#include <QString>

#include <vector>

class QListWidget;

namespace mireka {

class CClipboardHistoryDlg : public QDialog {
    Q_OBJECT

public:
    // `history` newest first; the dialog keeps its own copy, so that copies made while it is
    // open do not change what it shows.
    explicit CClipboardHistoryDlg(std::vector<QString> history, QWidget* parent = nullptr);

    // The chosen text exactly as it was copied; empty when nothing was chosen.
    [[nodiscard]] const QString& Result() const noexcept { return result_; }
    [[nodiscard]] QListWidget* List() const noexcept { return list_; }

public slots:
    void accept() override;

private:
    std::vector<QString> history_;
    QString result_;
    QListWidget* list_ = nullptr;
};

} // namespace mireka
