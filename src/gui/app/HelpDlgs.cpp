// The about box and the shortcut dialog.
#include "gui/app/HelpDlgs.h"

#include "core/base/ErrorText.h"
#include "core/base/Paths.h"
#include "gui/base/NativePath.h"
#include "gui/base/Prompts.h"
#include "platform/FileSystem.h"
#include "platform/ReportFacts.h"
#include "platform/SafeFile.h"
#include "platform/ShellLinkWriter.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
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

// The applications entry an installation brings; a shortcut beside it would list Mireka twice.
bool InstalledEntryExists() {
    return !QStandardPaths::locate(QStandardPaths::ApplicationsLocation,
                                   QStringLiteral("mireka.desktop"))
                .isEmpty();
}

// The icon a shortcut names: the installed theme icon, else a copy of the program's own icon
// in its writable folder (a program run from its build folder has no theme icon); none when
// that copy cannot be written.
std::optional<std::string> ShortcutIcon() {
    for (const char* installed :
         {"icons/hicolor/scalable/apps/mireka.svg", "icons/hicolor/128x128/apps/mireka.png"})
        if (!QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                    QString::fromLatin1(installed))
                 .isEmpty())
            return "mireka";
    QFile shipped(QStringLiteral(":/icons/mireka-128.png"));
    if (!shipped.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray png = shipped.readAll();
    const std::string path = MakeModulePath("mireka.png");
    std::string present;
    if (ReadWholeFile(path, &present, nullptr) && present == png.toStdString()) return path;
    if (!WriteFileSafely(path, std::string_view(png.constData(), std::size_t(png.size())), nullptr))
        return std::nullopt;
    return path;
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
        if (i == kPrograms && folders_[i] && InstalledEntryExists()) {
            // Installed: the menu already lists Mireka, and its entry is not ours to remove.
            folders_[i].reset();
            boxes_[i]->setChecked(true);
            boxes_[i]->setEnabled(false);
            boxes_[i]->setToolTip(
                QStringLiteral("インストールされた Mireka がメニューにあります。"));
        } else if (folders_[i])
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
        shortcut.icon = ShortcutIcon();
        shortcut.takesFile = true;
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
