// Message boxes and file dialogs.
#include "gui/base/Prompts.h"

#include "platform/FileSystem.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QUrl>

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
#ifndef _WIN32
        QStringList each = patterns.split(u' ', Qt::SkipEmptyParts);
        for (QString& p : each)
            if (p == QStringLiteral("*.*")) p = QStringLiteral("*");
        patterns = each.join(u' ');
#endif
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

namespace {

// The open dialog as the user knows it from the system's: a name typed without an extension is
// taken as it stands when such a file exists (Makefile), else with the default extension. Qt's
// own dialog lists no file whose name is not valid UTF-8; such a file can still be opened by
// typing the name it shows.
class PathDialog final : public QFileDialog {
public:
    PathDialog(QWidget* parent, const QString& openExtension)
        : QFileDialog(parent), openExtension_(openExtension) {}
    [[nodiscard]] const std::string& Found() const noexcept { return found_; }

    void accept() override {
        const QStringList typed = selectedFiles();
        if (acceptMode() != AcceptOpen || typed.size() != 1 || QFileInfo::exists(typed.first()))
            return QFileDialog::accept();
        QString name = typed.first();
        if (QFileInfo(name).suffix().isEmpty() && !openExtension_.isEmpty())
            name += u'.' + openExtension_;
        for (const QString& candidate : {name, typed.first()}) {
            found_ = ExistingPathFromText(candidate);
            if (!found_.empty() && !QueryFile(found_).isDir) return QDialog::accept();
        }
        found_.clear();
        QFileDialog::accept(); // says that there is no such file
    }

private:
    QString openExtension_;
    std::string found_;
};

} // namespace

static std::optional<FileChoice> RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode,
                                               const QString& filters, int filterIndex,
                                               const QString& initialName,
                                               const QString& defaultExt, const QString& title) {
    const bool open = mode == QFileDialog::AcceptOpen;
    PathDialog dialog(parent, open ? defaultExt : QString());
    dialog.setAcceptMode(mode);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (!open) dialog.setDefaultSuffix(defaultExt);
    dialog.setDirectory(QDir::current());
    const QStringList names = ToQtFilters(filters);
    dialog.setNameFilters(names);
    if (filterIndex >= 1 && filterIndex <= names.size())
        dialog.selectNameFilter(names[filterIndex - 1]);
    if (!initialName.isEmpty()) dialog.selectFile(initialName);
    dialog.setWindowTitle(!title.isEmpty() ? title
                          : open           ? QStringLiteral("開く")
                                           : QStringLiteral("名前を付けて保存"));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    FileChoice choice;
    if (!dialog.Found().empty()) {
        choice.path = dialog.Found();
    } else {
        // A platform's dialog hands over URLs, which keep a name's bytes.
        const QList<QUrl> urls = dialog.selectedUrls();
        if (urls.isEmpty()) return std::nullopt;
        choice.path = PathFromUrl(urls.first());
        if (choice.path.empty()) return std::nullopt;
    }
    choice.filterIndex = static_cast<int>(names.indexOf(dialog.selectedNameFilter())) + 1;
    if (choice.filterIndex < 1) choice.filterIndex = filterIndex;
    return choice;
}

std::optional<FileChoice> Prompts::OpenFile(QWidget* parent, const QString& filters,
                                            int filterIndex, const QString& defaultExt,
                                            const QString& initialName) {
    return RunFileDialog(parent, QFileDialog::AcceptOpen, filters, filterIndex, initialName,
                         defaultExt, {});
}

std::optional<FileChoice> Prompts::SaveFile(QWidget* parent, const QString& filters,
                                            int filterIndex, const QString& initialName,
                                            const QString& defaultExt, const QString& title) {
    return RunFileDialog(parent, QFileDialog::AcceptSave, filters, filterIndex, initialName,
                         defaultExt, title);
}

} // namespace mireka
