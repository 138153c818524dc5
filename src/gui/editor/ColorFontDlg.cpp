// The font and colour dialog.
#include "gui/editor/ColorFontDlg.h"

#include "gui/widgets/ColorPicker.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace mireka {

namespace {

QListWidgetItem* Select(QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    QListWidgetItem* item =
        found.isEmpty() ? (list->count() > 0 ? list->item(0) : nullptr) : found.first();
    if (item) {
        list->setCurrentItem(item);
        list->scrollToItem(item);
    }
    return item;
}

// The usual style names as the Japanese interface says them; the font's own name otherwise.
QString StyleText(const QString& style) {
    static const QHash<QString, QString> names = {
        {QStringLiteral("Regular"), QStringLiteral("標準")},
        {QStringLiteral("Normal"), QStringLiteral("標準")},
        {QStringLiteral("Book"), QStringLiteral("標準")},
        {QStringLiteral("Bold"), QStringLiteral("太字")},
        {QStringLiteral("Italic"), QStringLiteral("斜体")},
        {QStringLiteral("Oblique"), QStringLiteral("斜体")},
        {QStringLiteral("Bold Italic"), QStringLiteral("太字 斜体")},
        {QStringLiteral("Bold Oblique"), QStringLiteral("太字 斜体")},
        {QStringLiteral("Light"), QStringLiteral("細字")},
        {QStringLiteral("Medium"), QStringLiteral("中字")},
        {QStringLiteral("Thin"), QStringLiteral("極細")},
        {QStringLiteral("Black"), QStringLiteral("極太")},
    };
    return names.value(style, style);
}

// Selects the style whose own name is `style`, else the first.
void SelectStyle(QListWidget* list, const QString& style) {
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->data(Qt::UserRole).toString() == style) {
            list->setCurrentRow(i);
            return;
        }
    if (list->count() > 0) list->setCurrentRow(0);
}

QString StyleOf(const QListWidget* list) {
    return list->currentItem() ? list->currentItem()->data(Qt::UserRole).toString() : QString();
}

QVBoxLayout* Column(const QString& label, QListWidget* list) {
    auto* column = new QVBoxLayout;
    auto* caption = new QLabel(label);
    caption->setBuddy(list);
    column->addWidget(caption);
    column->addWidget(list);
    return column;
}

} // namespace

bool CColorFontDlg::IsOffered(const QString& family) {
    if (family.startsWith(u'@')) return false;
    if (QFontDatabase::isFixedPitch(family)) return true;
    // Japanese monospace fonts do not say they are fixed-pitch (their full-width characters are
    // twice as wide), but their Latin letters share one width, which is what the grid needs.
    const QFontMetrics m{QFont(family, 12)};
    const int w = m.horizontalAdvance(u'M');
    return w > 0 && m.horizontalAdvance(u'i') == w && m.horizontalAdvance(u'W') == w &&
           m.horizontalAdvance(u'.') == w;
}

CColorFontDlg::CColorFontDlg(const QFont& initial, QWidget* parent)
    : QDialog(parent), font_(initial) {
    setWindowTitle(QStringLiteral("エディタ フォントの設定"));
    families_ = new QListWidget(this);
    styles_ = new QListWidget(this);
    sizes_ = new QListWidget(this);
    for (const QString& family : QFontDatabase::families())
        if (IsOffered(family)) families_->addItem(family);
    const auto tune = [](QListWidget* list, int width) {
        list->setMinimumWidth(width);
        list->setMinimumHeight(120);
    };
    tune(families_, 200);
    tune(styles_, 110);
    tune(sizes_, 60);

    auto* lists = new QHBoxLayout;
    lists->addLayout(Column(QStringLiteral("フォント名(&F):"), families_), 3);
    lists->addLayout(Column(QStringLiteral("スタイル(&Y):"), styles_), 2);
    lists->addLayout(Column(QStringLiteral("サイズ(&S):"), sizes_), 1);

    auto* sampleBox = new QGroupBox(QStringLiteral("サンプル"), this);
    sample_ = new QLabel(QStringLiteral("AaBbYyZz あア亜"), sampleBox);
    sample_->setAlignment(Qt::AlignCenter);
    sample_->setMinimumHeight(48);
    (new QVBoxLayout(sampleBox))->addWidget(sample_);

    auto* colours = new QGroupBox(QStringLiteral("構文強調表示"), this);
    auto* grid = new QGridLayout(colours);
    const auto addPicker = [&](int row, int column, const QString& label, CColorPicker*& picker,
                               int id) {
        picker = new CColorPicker(colours);
        picker->setObjectName(QStringLiteral("picker%1").arg(id));
        auto* caption = new QLabel(label, colours);
        caption->setBuddy(picker);
        grid->addWidget(caption, row, column * 2);
        grid->addWidget(picker, row, column * 2 + 1);
    };
    addPicker(0, 0, QStringLiteral("テキスト:"), textPicker_, kText);
    addPicker(0, 1, QStringLiteral("背景色:"), backgroundPicker_, kBackground);
    addPicker(1, 0, QStringLiteral("キーワード:"), keywordPicker_, kKeyword);
    addPicker(1, 1, QStringLiteral("コメント:"), commentPicker_, kComment);
    addPicker(2, 0, QStringLiteral("ストリング:"), stringPicker_, kString);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("キャンセル"), this);
    connect(ok_, &QPushButton::clicked, this, &CColorFontDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addWidget(sampleBox);
    layout->addWidget(colours);
    layout->addLayout(buttons);

    connect(families_, &QListWidget::currentTextChanged, this, &CColorFontDlg::OnFamilyChanged);
    connect(styles_, &QListWidget::currentTextChanged, this, &CColorFontDlg::UpdateSample);
    connect(sizes_, &QListWidget::currentTextChanged, this, &CColorFontDlg::UpdateSample);
    // The initial font, or the first offered one when it is not offered.
    Select(families_, initial.family());
    OnFamilyChanged();
    SelectStyle(styles_, QFontDatabase::styleString(initial));
    Select(sizes_, QString::number(initial.pointSize()));
    UpdateSample();
}

void CColorFontDlg::OnFamilyChanged() {
    const QString family = families_->currentItem() ? families_->currentItem()->text() : QString();
    const QString style = StyleOf(styles_);
    const QString size = sizes_->currentItem() ? sizes_->currentItem()->text() : QString();
    styles_->clear();
    for (const QString& s : QFontDatabase::styles(family)) {
        auto* item = new QListWidgetItem(StyleText(s), styles_);
        item->setData(Qt::UserRole, s);
    }
    sizes_->clear();
    QList<int> points = QFontDatabase::smoothSizes(family, style);
    if (points.isEmpty() || QFontDatabase::isScalable(family))
        points = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
    for (int p : points)
        sizes_->addItem(QString::number(p));
    SelectStyle(styles_, style);
    Select(sizes_, size);
    UpdateSample();
}

QFont CColorFontDlg::FontOfSelection() const {
    const QString family = families_->currentItem() ? families_->currentItem()->text() : QString();
    const QString style = StyleOf(styles_);
    const int size = sizes_->currentItem() ? sizes_->currentItem()->text().toInt() : 0;
    QFont font = QFontDatabase::font(family, style, size > 0 ? size : font_.pointSize());
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

void CColorFontDlg::UpdateSample() {
    sample_->setFont(FontOfSelection());
}

void CColorFontDlg::SetColors(Colour keyword, Colour comment, Colour string, Colour text,
                              Colour background) {
    keyword_ = keyword;
    comment_ = comment;
    string_ = string;
    text_ = text;
    background_ = background;
}

CColorPicker* CColorFontDlg::Picker(PickerId id) const {
    switch (id) {
    case kText:
        return textPicker_;
    case kBackground:
        return backgroundPicker_;
    case kKeyword:
        return keywordPicker_;
    case kComment:
        return commentPicker_;
    case kString:
        return stringPicker_;
    }
    return nullptr;
}

void CColorFontDlg::showEvent(QShowEvent* event) {
    if (!initialised_) {
        initialised_ = true;
        keywordPicker_->SetBkColour(keyword_);
        commentPicker_->SetBkColour(comment_);
        stringPicker_->SetBkColour(string_);
        textPicker_->SetBkColour(text_);
        backgroundPicker_->SetBkColour(background_);
    }
    QDialog::showEvent(event);
}

void CColorFontDlg::accept() {
    if (!initialised_) return QDialog::accept(); // never shown: nothing was edited
    // "自動選択" is the colour a first start has: the settings keep six hexadecimal digits and
    // no "automatic".
    const EditorColours first;
    const auto read = [](const CColorPicker* picker, Colour automatic) {
        const Colour c = picker->GetBkColour();
        return c == kAutomaticColour ? automatic : c;
    };
    keyword_ = read(keywordPicker_, first.keyword);
    comment_ = read(commentPicker_, first.comment);
    string_ = read(stringPicker_, first.string);
    text_ = read(textPicker_, first.text);
    background_ = read(backgroundPicker_, first.background);
    font_ = FontOfSelection();
    QDialog::accept();
}

} // namespace mireka
