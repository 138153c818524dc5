// ユーザーズ マニュアル: the viewer the frame makes hidden at its start, and the command that
// shows in it the LSI C-86 manual or, with GCC, the C library reference.
#pragma once

#include <QObject>

#include <string>

class QProgressDialog;

namespace mireka {

class CMainFrame;
class CManualDlg;
class CManualReference;
class CommandTable;
struct ReferenceOutcome;

class CManualCommand : public QObject {
    Q_OBJECT

public:
    // A child of `frame`; makes the viewer, which reads the shipped index.
    explicit CManualCommand(CMainFrame& frame);

    void Register(CommandTable& table);
    void OnHelpManual();

    [[nodiscard]] CManualDlg* Dialog() const noexcept { return dlg_; }
    [[nodiscard]] CManualReference* Reference() const noexcept { return reference_; }
    // Shown while the reference is being built.
    [[nodiscard]] QProgressDialog* Progress() const noexcept { return progress_; }

private:
    void OnReferenceProgress(int done, int total);
    void OnReferenceFinished(const ReferenceOutcome& outcome);
    void CloseProgress();
    [[nodiscard]] std::string WordAtCaret() const;

    CMainFrame& frame_;
    CManualDlg* dlg_ = nullptr;
    CManualReference* reference_ = nullptr;
    QProgressDialog* progress_ = nullptr;
    std::string pendingWord_; // the word at the caret when the reference was asked for
    bool cacheFailureTold_ = false;
};

} // namespace mireka
