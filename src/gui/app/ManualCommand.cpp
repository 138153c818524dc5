// The manual command.
#include "gui/app/ManualCommand.h"

#include "core/app/Manual.h"
#include "core/toolchain/BuildMenus.h"
#include "core/toolchain/Toolchain.h"
#include "gui/app/MainFrame.h"
#include "gui/app/ManualDlg.h"
#include "gui/app/ManualReference.h"
#include "gui/base/CommandIds.h"
#include "gui/base/CommandTable.h"
#include "gui/base/Prompts.h"
#include "gui/document/MyView.h"
#include "platform/FileSystem.h"
#include "platform/ManPages.h"

#include <QProgressDialog>

namespace mireka {

namespace {

void Tell(CMainFrame& owner, const QString& text, QMessageBox::Icon icon) {
    owner.GetPrompts().Message(&owner, text, icon);
}

} // namespace

CManualCommand::CManualCommand(CMainFrame& frame) : QObject(&frame), frame_(frame) {
    dlg_ = new CManualDlg(&frame, FindUserDataFile(kManualIndexName));
    reference_ = new CManualReference(ManPageRoot(), ProgramCacheDir(), this);
    connect(reference_, &CManualReference::Progress, this, &CManualCommand::OnReferenceProgress);
    connect(reference_, &CManualReference::Finished, this, &CManualCommand::OnReferenceFinished);
}

void CManualCommand::Register(CommandTable& table) {
    table.Register(
        cmd::HelpManual, [this] { OnHelpManual(); },
        [this](CmdUI& ui) {
            const int toolchain = frame_.Toolchain();
            // The folders are looked at only when the answer can matter.
            const bool reference =
                KindOf(toolchain) == ToolchainKind::Gcc && TranslatedReferencePagesInstalled();
            const CommandUi c = ManualUi(frame_.View()->GetBuildSettings(), toolchain, reference);
            ui.enabled = c.enabled;
            ui.text = QString::fromStdString(c.text);
        });
}

std::string CManualCommand::WordAtCaret() const {
    const CMyView* view = frame_.View();
    const Offset caret = view->Control().Caret();
    const int line = view->LineFromChar(caret);
    return IdentifierAt(view->Control().LineText(Line(line)),
                        static_cast<std::size_t>(caret - view->LineIndex(line)));
}

void CManualCommand::OnHelpManual() {
    const BuildSettings& settings = frame_.View()->GetBuildSettings();
    const int toolchain = frame_.Toolchain();
    const bool reference =
        KindOf(toolchain) == ToolchainKind::Gcc && TranslatedReferencePagesInstalled();
    switch (ChooseManual(settings, toolchain, reference)) {
    case ManualKind::None:
        return;
    case ManualKind::LsiManual:
        dlg_->ShowLsiManual(LsiManualPath(settings.m_strLccPath), WordAtCaret());
        return;
    case ManualKind::CReference:
        pendingWord_ = WordAtCaret();
        if (reference_->Busy()) {
            // Still building: the progress window comes forward.
            if (progress_) progress_->raise();
            return;
        }
        reference_->Start(dlg_->ShownReferenceKey());
        return;
    }
}

void CManualCommand::OnReferenceProgress(int done, int total) {
    if (total <= 0) return; // only looking whether the pages changed
    if (!progress_) {
        progress_ = new QProgressDialog(&frame_);
        progress_->setObjectName(QStringLiteral("ReferenceProgress"));
        progress_->setWindowTitle(QStringLiteral("Mireka"));
        progress_->setCancelButtonText(QStringLiteral("中止"));
        progress_->setWindowModality(Qt::NonModal);
        progress_->setAutoClose(false);
        progress_->setAutoReset(false);
        progress_->setMinimumDuration(0);
        connect(progress_, &QProgressDialog::canceled, reference_, &CManualReference::Cancel);
        progress_->show();
    }
    progress_->setMaximum(total);
    progress_->setValue(done);
    progress_->setLabelText(
        QStringLiteral("C ライブラリ リファレンスを作成しています。\n"
                       "初めての時とマニュアル ページが変わった時だけ、しばらくかかります。\n"
                       "（マニュアル ページ %1 / %2）")
            .arg(done)
            .arg(total));
}

void CManualCommand::CloseProgress() {
    if (!progress_) return;
    progress_->hide();
    progress_->deleteLater();
    progress_ = nullptr;
}

void CManualCommand::OnReferenceFinished(const ReferenceOutcome& outcome) {
    CloseProgress();
    using Status = ReferenceOutcome::Status;
    switch (outcome.status) {
    case Status::Ready:
        if (!outcome.cacheError.empty() && !cacheFailureTold_) {
            cacheFailureTold_ = true;
            Tell(frame_,
                 QStringLiteral("C ライブラリ リファレンスをキャッシュ フォルダーに保存できません"
                                "でした。\n%1\n今回はメモリー上に作ったものを使います。")
                     .arg(DisplayText(outcome.cacheError)),
                 QMessageBox::Information);
        }
        dlg_->ShowReference(outcome.content, outcome.key, pendingWord_);
        return;
    case Status::Unchanged:
        if (dlg_->ShownReferenceKey() == outcome.key) {
            dlg_->ShowReference({}, outcome.key, pendingWord_);
        } else {
            // The viewer turned to the other manual meanwhile: look again.
            reference_->Start(dlg_->ShownReferenceKey());
        }
        return;
    case Status::NoPages:
        Tell(frame_,
             QStringLiteral("C ライブラリの日本語マニュアル ページが見つかりません。\n"
                            "manpages-ja-dev をインストールしてください。"),
             QMessageBox::Warning);
        return;
    case Status::NoRenderer:
        Tell(frame_,
             QStringLiteral("マニュアル ページを整形するプログラム（mandoc または man）が"
                            "見つかりません。\nmandoc をインストールしてください。"),
             QMessageBox::Warning);
        return;
    case Status::NothingRendered:
        Tell(frame_, QStringLiteral("マニュアル ページを 1 つも整形できませんでした。"),
             QMessageBox::Warning);
        return;
    case Status::Cancelled:
        return;
    }
}

} // namespace mireka
