// The dialogs of the templates submenu: the name of a template to add, and the list in which
// templates are renamed (in place) and deleted.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace mireka {

// "ひな型に追加": one name, at most 255 characters.
class CAddTemplateDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAddTemplateDlg(QWidget* parent = nullptr);
    void SetName(const QString& name);
    [[nodiscard]] QString Name() const;

    [[nodiscard]] QLineEdit* NameEdit() const noexcept { return edit_; }
    [[nodiscard]] QPushButton* OkButton() const noexcept { return ok_; }

private:
    QLineEdit* edit_;
    QPushButton* ok_;
};

// "ひな型の整理": works on the frame's list of names (the files' own bytes) in place; the files
// are renamed and deleted at once.
class COrganizeTemplatesDlg : public QDialog {
    Q_OBJECT

public:
    COrganizeTemplatesDlg(std::vector<std::string>& names, QWidget* parent = nullptr);

    [[nodiscard]] QListWidget* List() const noexcept { return list_; }
    [[nodiscard]] QPushButton* RenameButton() const noexcept { return rename_; }
    [[nodiscard]] QPushButton* DeleteButton() const noexcept { return delete_; }
    [[nodiscard]] QPushButton* CloseButton() const noexcept { return close_; }

    // The end of an in-place edit of the item at `row`: the file is renamed and the item follows
    // only when that worked; the list never takes the edited text by itself.
    void EndLabelEdit(int row, const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnRename();
    void OnDelete();

    std::vector<std::string>& names_;
    QListWidget* list_;
    QPushButton* rename_;
    QPushButton* delete_;
    QPushButton* close_;
};

} // namespace mireka
