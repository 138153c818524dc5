// The modeless find and replace dialog.
#include "gui/editor/FindReplaceDlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mireka {

CFindReplaceDlg::CFindReplaceDlg(bool findOnly, QWidget* parent)
    : QDialog(parent), findOnly_(findOnly) {
    setAttribute(Qt::WA_DeleteOnClose, true);
    setModal(false);
    setWindowTitle(findOnly ? QStringLiteral("検索") : QStringLiteral("置換"));

    auto* fields = new QGridLayout;
    auto* findLabel = new QLabel(QStringLiteral("検索する文字列(&N):"), this);
    findEdit_ = new QLineEdit(this);
    findLabel->setBuddy(findEdit_);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(findEdit_, 0, 1);
    if (!findOnly) {
        auto* replaceLabel = new QLabel(QStringLiteral("置換後の文字列(&P):"), this);
        replaceEdit_ = new QLineEdit(this);
        replaceLabel->setBuddy(replaceEdit_);
        fields->addWidget(replaceLabel, 1, 0);
        fields->addWidget(replaceEdit_, 1, 1);
    }
    findEdit_->setMinimumWidth(200);

    matchCase_ = new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)"), this);
    auto* options = new QHBoxLayout;
    options->addWidget(matchCase_, 0, Qt::AlignBottom);
    if (findOnly) {
        auto* direction = new QGroupBox(QStringLiteral("方向"), this);
        up_ = new QRadioButton(QStringLiteral("上へ(&U)"), direction);
        down_ = new QRadioButton(QStringLiteral("下へ(&D)"), direction);
        down_->setChecked(true);
        auto* d = new QHBoxLayout(direction);
        d->addWidget(up_);
        d->addWidget(down_);
        options->addWidget(direction);
    }
    options->addStretch(1);

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addStretch(1);
    left->addLayout(options);

    auto* buttons = new QVBoxLayout;
    findNext_ = new QPushButton(QStringLiteral("次を検索(&F)"), this);
    findNext_->setDefault(true);
    buttons->addWidget(findNext_);
    if (!findOnly) {
        replace_ = new QPushButton(QStringLiteral("置換して次に(&R)"), this);
        replaceAll_ = new QPushButton(QStringLiteral("すべて置換(&A)"), this);
        buttons->addWidget(replace_);
        buttons->addWidget(replaceAll_);
    }
    cancel_ = new QPushButton(QStringLiteral("キャンセル"), this);
    buttons->addWidget(cancel_);
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(findEdit_, &QLineEdit::textChanged, this, &CFindReplaceDlg::UpdateButtons);
    connect(findNext_, &QPushButton::clicked, this,
            [this] { emit FindNextRequested(FindText(), SearchDown(), MatchCase()); });
    if (!findOnly) {
        connect(replace_, &QPushButton::clicked, this, [this] {
            emit ReplaceRequested(FindText(), SearchDown(), MatchCase(), ReplaceText());
        });
        connect(replaceAll_, &QPushButton::clicked, this,
                [this] { emit ReplaceAllRequested(FindText(), ReplaceText(), MatchCase()); });
    }
    connect(cancel_, &QPushButton::clicked, this, &CFindReplaceDlg::close);
    UpdateButtons();
}

void CFindReplaceDlg::UpdateButtons() {
    const bool any = !findEdit_->text().isEmpty();
    findNext_->setEnabled(any);
    if (replace_) replace_->setEnabled(any);
    if (replaceAll_) replaceAll_->setEnabled(any);
}

void CFindReplaceDlg::SetFindText(const QString& text) {
    findEdit_->setText(text);
    findEdit_->selectAll();
}

void CFindReplaceDlg::SetReplaceText(const QString& text) {
    if (replaceEdit_) replaceEdit_->setText(text);
}

void CFindReplaceDlg::SetSearchDown(bool down) {
    searchDown_ = down;
    if (findOnly_) (down ? down_ : up_)->setChecked(true);
}

void CFindReplaceDlg::SetMatchCase(bool on) {
    matchCase_->setChecked(on);
}

QString CFindReplaceDlg::FindText() const {
    return findEdit_->text();
}

QString CFindReplaceDlg::ReplaceText() const {
    return replaceEdit_ ? replaceEdit_->text() : QString();
}

bool CFindReplaceDlg::SearchDown() const {
    return findOnly_ ? down_->isChecked() : searchDown_;
}

bool CFindReplaceDlg::MatchCase() const {
    return matchCase_->isChecked();
}

void CFindReplaceDlg::Activate() {
    show();
    raise();
    activateWindow();
    findEdit_->setFocus(Qt::OtherFocusReason);
}

void CFindReplaceDlg::done(int result) {
    if (!terminated_) {
        terminated_ = true;
        emit Terminating();
    }
    QDialog::done(result);
}

} // namespace mireka
