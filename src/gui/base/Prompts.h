// Message boxes and file dialogs, behind one object so that tests can answer them.
#pragma once

#include <QMessageBox>
#include <QString>

#include <optional>
#include <string>

class QWidget;

namespace mireka {

struct FileChoice {
    std::string path;    // the name's own bytes, which need not be valid UTF-8
    int filterIndex = 1; // 1-based
};

class Prompts {
public:
    virtual ~Prompts() = default;

    // Shows a message; returns the button pressed. The caption is the application title.
    virtual QMessageBox::StandardButton
    Message(QWidget* parent, const QString& text, QMessageBox::Icon icon,
            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
            const QString& caption = QStringLiteral("Mireka"));
    // The open and save dialogs. `filters` is a filter string of the form "name|patterns|…||";
    // the dialog starts in the process's current directory, with `initialName` selected.
    virtual std::optional<FileChoice> OpenFile(QWidget* parent, const QString& filters,
                                               int filterIndex, const QString& defaultExt,
                                               const QString& initialName = QString());
    // `title` defaults to "名前を付けて保存".
    virtual std::optional<FileChoice> SaveFile(QWidget* parent, const QString& filters,
                                               int filterIndex, const QString& initialName,
                                               const QString& defaultExt,
                                               const QString& title = QString());
    virtual void Beep();

    // The prompts in use; the plain dialogs unless a test installed its own.
    static Prompts& Current();
    static void SetCurrent(Prompts* prompts);
};

// "name|patterns|name|patterns||" as Qt's name filters, semicolons between patterns as spaces.
// Outside Windows "*.*" becomes "*": there it would hide every name without a dot (Makefile).
[[nodiscard]] QStringList ToQtFilters(const QString& filters);

} // namespace mireka
