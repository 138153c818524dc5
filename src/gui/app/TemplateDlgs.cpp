// The template dialogs.
#include "gui/app/TemplateDlgs.h"

#include "core/app/Templates.h"
#include "core/base/ErrorText.h"
#include "gui/base/Prompts.h"
#include "platform/FileSystem.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace mireka {

namespace {

// Hands an edited label to the dialog instead of writing it into the list.
class LabelEditDelegate final : public QStyledItemDelegate {
public:
    explicit LabelEditDelegate(COrganizeTemplatesDlg* dialog)
        : QStyledItemDelegate(dialog), dialog_(dialog) {}

    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        if (auto* edit = qobject_cast<QLineEdit*>(editor))
            dialog_->EndLabelEdit(index.row(), edit->text());
    }

private:
    COrganizeTemplatesDlg* dialog_;
};

std::string NameBytes(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

void Warn(QWidget* parent, const QString& text) {
    Prompts::Current().Message(parent, text, QMessageBox::Warning);
}

} // namespace

CAddTemplateDlg::CAddTemplateDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ひな型に追加"));
    auto* label = new QLabel(QStringLiteral("ひな型の名前を入力してください。"), this);
    edit_ = new QLineEdit(this);
    edit_->setMaxLength(255);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(edit_);
    layout->addLayout(buttons);
    edit_->setFocus();
}

void CAddTemplateDlg::SetName(const QString& name) {
    edit_->setText(name);
    edit_->selectAll();
}

QString CAddTemplateDlg::Name() const {
    return edit_->text();
}

COrganizeTemplatesDlg::COrganizeTemplatesDlg(std::vector<std::string>& names, QWidget* parent)
    : QDialog(parent), names_(names) {
    setWindowTitle(QStringLiteral("ひな型の整理"));
    auto* label =
        new QLabel(QStringLiteral("項目の名前の変更または削除するには、項目を選択してから [名前の"
                                  "変更] ボタン、または [削除] ボタンをクリックしてください。"),
                   this);
    label->setWordWrap(true);
    list_ = new QListWidget(this);
    list_->setViewMode(QListView::ListMode);
    list_->setFlow(QListView::TopToBottom);
    list_->setWrapping(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    list_->setItemDelegate(new LabelEditDelegate(this));
    for (const std::string& name : names_) {
        auto* item = new QListWidgetItem(DisplayPath(name), list_);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    rename_ = new QPushButton(QStringLiteral("名前の変更(&R)"), this);
    delete_ = new QPushButton(QStringLiteral("削除(&D)"), this);
    close_ = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    close_->setDefault(true);
    connect(rename_, &QPushButton::clicked, this, &COrganizeTemplatesDlg::OnRename);
    connect(delete_, &QPushButton::clicked, this, &COrganizeTemplatesDlg::OnDelete);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(rename_);
    buttons->addWidget(delete_);
    buttons->addStretch();
    buttons->addWidget(close_);
    auto* row = new QHBoxLayout;
    row->addWidget(list_, 1);
    row->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(row);
    resize(440, 300);
}

void COrganizeTemplatesDlg::keyPressEvent(QKeyEvent* event) {
    // Enter ends a name being edited; it must not also close the dialog through its default
    // button.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QWidget* focus = QApplication::focusWidget();
    if (enter && focus && focus != list_ && list_->isAncestorOf(focus)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void COrganizeTemplatesDlg::OnRename() {
    list_->setFocus();
    if (QListWidgetItem* item = list_->currentItem(); item && item->isSelected())
        list_->editItem(item);
}

void COrganizeTemplatesDlg::EndLabelEdit(int row, const QString& text) {
    if (row < 0 || row >= static_cast<int>(names_.size())) return;
    const std::string name = NameBytes(text);
    const std::string& old = names_[static_cast<std::size_t>(row)];
    if (const std::string problem = TemplateNameProblem(name); !problem.empty()) {
        Warn(this, QString::fromStdString(problem));
        return;
    }
    const std::string from = TemplatePath(old);
    const std::string to = TemplatePath(name);
    switch (CheckTemplateRename(old, name, QueryFile(to).Exists())) {
    case TemplateRename::Duplicate:
        Warn(this, QStringLiteral("名前が重複しています。"));
        return;
    case TemplateRename::Nothing:
        return;
    case TemplateRename::Rename:
        break;
    }
    std::error_code error;
    if (!RenameFile(from, to, &error)) {
        Warn(this, QStringLiteral("%1 の名前を変更できません。\n%2")
                       .arg(DisplayPath(from), QString::fromStdString(SystemErrorText(error))));
        return;
    }
    names_[static_cast<std::size_t>(row)] = name;
    list_->item(row)->setText(DisplayPath(name));
}

void COrganizeTemplatesDlg::OnDelete() {
    list_->setFocus();
    QListWidgetItem* item = list_->currentItem();
    if (!item || !item->isSelected()) return;
    const int row = list_->row(item);
    const std::string& name = names_[static_cast<std::size_t>(row)];
    const auto answer = Prompts::Current().Message(
        this, QStringLiteral("'%1' を削除します。\nよろしいですか？").arg(DisplayPath(name)),
        QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::No) return;
    const std::string path = TemplatePath(name);
    std::error_code error;
    if (!RemoveFile(path, &error)) {
        Warn(this, QStringLiteral("%1 を削除できません。\n%2")
                       .arg(DisplayPath(path), QString::fromStdString(SystemErrorText(error))));
        return;
    }
    delete list_->takeItem(row);
    names_.erase(names_.begin() + row);
}

} // namespace mireka
