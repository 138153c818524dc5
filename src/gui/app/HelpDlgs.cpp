// The about box and the shortcut dialog.
#include "gui/app/HelpDlgs.h"

#include "core/app/ErrorText.h"
#include "core/app/Paths.h"
#include "gui/base/NativePath.h"
#include "gui/base/Prompts.h"
#include "platform/FileSystem.h"
#include "platform/ReportFacts.h"
#include "platform/ShellLinkWriter.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QVBoxLayout>

namespace mireka {

namespace {

constexpr std::string_view kDescription = "C 言語学習用の統合開発環境";

struct ShortcutKind {
    const char* folder;
    const char* label;
};
constexpr std::array<ShortcutKind, 3> kShortcutKinds = {{
    {"Desktop", "デスクトップに作成(&D)"},
    {"Programs", "スタートメニューのプログラムに登録(&P)"},
    {"SendTo", "「送る」 メニューに追加(&S)"},
}};

std::string LinkPath(const std::string& folder) {
    return folder + kPathSeparator + std::string(kShortcutFileName);
}

// GNOME starts a launcher on the desktop only once it is marked trusted.
void TrustLauncher(const std::string& path) {
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (gio.isEmpty()) return;
    QProcess::startDetached(gio, {QStringLiteral("set"), QFile::decodeName(path.c_str()),
                                  QStringLiteral("metadata::trusted"), QStringLiteral("true")});
}

} // namespace

QString BuildLine() {
    return QStringLiteral("Build: %1 @ %2").arg(QLatin1String(__DATE__), QLatin1String(__TIME__));
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("バージョン情報"));
    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(48, 48));
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* text = new QLabel(QStringLiteral("Mireka\nVersion %1\n\n"
                                           "C 言語を学ぶ人のための統合開発環境です。\n"
                                           "不具合やご質問は、ヘルプ → レポート の内容を添えて"
                                           "お知らせ下さい。")
                                .arg(QLatin1String(ProgramVersionText())),
                            frame);
    build_ = new QLabel(BuildLine(), frame);
    build_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* inFrame = new QVBoxLayout(frame);
    inFrame->addWidget(text);
    inFrame->addWidget(build_);
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(frame, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

CShortcutDlg::CShortcutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ショートカットの作成"));
    auto* layout = new QVBoxLayout(this);
    for (std::size_t i = 0; i < kShortcutKinds.size(); ++i) {
        boxes_[i] = new QCheckBox(QString::fromUtf8(kShortcutKinds[i].label), this);
        folders_[i] = ShellFolderPath(kShortcutKinds[i].folder);
        if (folders_[i])
            boxes_[i]->setChecked(QueryFile(LinkPath(*folders_[i])).Exists());
        else
            boxes_[i]->setEnabled(false);
        layout->addWidget(boxes_[i]);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CShortcutDlg::accept() {
    const std::string target = ToNative(QCoreApplication::applicationFilePath());
    for (std::size_t i = 0; i < kShortcutKinds.size(); ++i) {
        if (!folders_[i]) continue;
        const std::string link = LinkPath(*folders_[i]);
        if (!boxes_[i]->isChecked()) {
            std::error_code error;
            if (QueryFile(link).Exists() && !RemoveFile(link, &error)) {
                Prompts::Current().Message(
                    this,
                    QStringLiteral("%1 を削除できません。\n%2")
                        .arg(DisplayPath(link), QString::fromStdString(SystemErrorText(error))),
                    QMessageBox::Critical);
                return; // the dialog stays, the remaining boxes untouched
            }
            continue;
        }
        ShellLink shortcut;
        shortcut.name = "Mireka";
        shortcut.target = target;
        shortcut.description = std::string(kDescription);
        // A fresh account may not have its applications folder yet.
        QDir().mkpath(QFile::decodeName(QByteArray::fromStdString(*folders_[i])));
        if (!CreateShellLink(link, shortcut)) {
            Prompts::Current().Message(
                this, QStringLiteral("%1 を作成できません。").arg(DisplayPath(link)),
                QMessageBox::Warning);
            continue;
        }
        if (i == kDesktop) TrustLauncher(link);
    }
    QDialog::accept();
}

} // namespace mireka
