// Message boxes and file dialogs.
#include "gui/base/Prompts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>

namespace mireka {

namespace {

Prompts* g_current = nullptr;

QString ButtonText(QMessageBox::StandardButton b) {
    switch (b) {
    case QMessageBox::Yes:
        return QStringLiteral("はい(&Y)");
    case QMessageBox::No:
        return QStringLiteral("いいえ(&N)");
    case QMessageBox::Cancel:
        return QStringLiteral("キャンセル");
    case QMessageBox::Retry:
        return QStringLiteral("再試行(&R)");
    default:
        return QStringLiteral("OK");
    }
}

} // namespace

QStringList ToQtFilters(const QString& filters) {
    const QStringList parts = filters.split(u'|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;
        QString name = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        const int paren = name.lastIndexOf(u'(');
        if (paren >= 0) name = name.left(paren).trimmed();
        out << QStringLiteral("%1 (%2)").arg(name, patterns);
    }
    return out;
}

Prompts& Prompts::Current() {
    static Prompts plain;
    return g_current ? *g_current : plain;
}

void Prompts::SetCurrent(Prompts* prompts) {
    g_current = prompts;
}

void Prompts::Beep() {
    QApplication::beep();
}

QMessageBox::StandardButton Prompts::Message(QWidget* parent, const QString& text,
                                             QMessageBox::Icon icon,
                                             QMessageBox::StandardButtons buttons,
                                             const QString& caption) {
    QMessageBox box(icon, caption, text, buttons, parent);
    for (QAbstractButton* b : box.buttons())
        b->setText(ButtonText(box.standardButton(b)));
    if (buttons & QMessageBox::Yes) box.setDefaultButton(QMessageBox::Yes);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

static std::optional<FileChoice> RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode,
                                               const QString& filters, int filterIndex,
                                               const QString& initialName,
                                               const QString& defaultExt) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setDefaultSuffix(defaultExt);
    dialog.setDirectory(QDir::current());
    const QStringList names = ToQtFilters(filters);
    dialog.setNameFilters(names);
    if (filterIndex >= 1 && filterIndex <= names.size())
        dialog.selectNameFilter(names[filterIndex - 1]);
    if (!initialName.isEmpty()) dialog.selectFile(initialName);
    dialog.setWindowTitle(mode == QFileDialog::AcceptOpen ? QStringLiteral("開く")
                                                          : QStringLiteral("名前を付けて保存"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    FileChoice choice;
    choice.path = QDir::toNativeSeparators(dialog.selectedFiles().first());
    choice.filterIndex = static_cast<int>(names.indexOf(dialog.selectedNameFilter())) + 1;
    if (choice.filterIndex < 1) choice.filterIndex = filterIndex;
    return choice;
}

std::optional<FileChoice> Prompts::OpenFile(QWidget* parent, const QString& filters,
                                            int filterIndex, const QString& defaultExt) {
    return RunFileDialog(parent, QFileDialog::AcceptOpen, filters, filterIndex, {}, defaultExt);
}

std::optional<FileChoice> Prompts::SaveFile(QWidget* parent, const QString& filters,
                                            int filterIndex, const QString& initialName,
                                            const QString& defaultExt) {
    return RunFileDialog(parent, QFileDialog::AcceptSave, filters, filterIndex, initialName,
                         defaultExt);
}

} // namespace mireka
