// The environment report, shown read-only so that the user can copy it into a message.
#pragma once

#include <QDialog>

#include <string>

class QPlainTextEdit;

namespace mireka {

class CReportDlg : public QDialog {
    Q_OBJECT

public:
    explicit CReportDlg(QWidget* parent = nullptr);

    // The report's bytes, lines ending in CR LF; each line is shown decoded on its own, as a
    // path may be UTF-8 and a configuration file Shift_JIS.
    void SetReport(const std::string& text);
    [[nodiscard]] QPlainTextEdit* ReportField() const noexcept { return field_; }

private:
    QPlainTextEdit* field_;
};

} // namespace mireka
