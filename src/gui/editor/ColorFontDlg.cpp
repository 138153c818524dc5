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
#include <QSignalBlocker>
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

// A size as the list shows it; a size between whole points (a stored pixel height) keeps its
// fraction, so that the list can hold it exactly.
QString SizeText(double points) {
    return QString::number(points, 'g', 4);
}

QListWidgetItem* AddSize(QListWidget* list, double points) {
    auto* item = new QListWidgetItem(SizeText(points));
    item->setData(Qt::UserRole, points);
    int row = 0;
    while (row < list->count() && list->item(row)->data(Qt::UserRole).toDouble() < points)
        ++row;
    list->insertItem(row, item);
    return item;
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
    : QDialog(parent), initial_(initial), font_(initial) {
    setWindowTitle(QStringLiteral("エディタ フォントの設定"));
    families_ = new QListWidget(this);
    styles_ = new QListWidget(this);
    sizes_ = new QListWidget(this);
    for (const QString& family : QFontDatabase::families())
        if (IsOffered(family)) families_->addItem(family);
    // The font in use is shown even when it would not be offered, so that it is what the
    // lists hold until the user picks another.
    if (!initial.family().isEmpty() &&
        families_->findItems(initial.family(), Qt::MatchExactly).isEmpty())
        families_->insertItem(0, initial.family());
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

    // The initial font, or the first offered one when it has no family.
    Select(families_, initial.family());
    OnFamilyChanged();
    SelectStyle(styles_, QFontDatabase::styleString(initial));
    SelectSize(InitialPoints());
    sample_->setFont(initial);
    const auto picked = [this] {
        picked_ = true;
        UpdateSample();
    };
    connect(families_, &QListWidget::currentTextChanged, this, [this, picked] {
        OnFamilyChanged();
        picked();
    });
    connect(styles_, &QListWidget::currentTextChanged, this, picked);
    connect(sizes_, &QListWidget::currentTextChanged, this, picked);
}

double CColorFontDlg::InitialPoints() const {
    if (initial_.pointSizeF() > 0) return initial_.pointSizeF();
    // A font sized in pixels: the points it has on this screen.
    const int dpi = logicalDpiY() > 0 ? logicalDpiY() : 96;
    return initial_.pixelSize() > 0 ? initial_.pixelSize() * 72.0 / dpi : 0;
}

void CColorFontDlg::SelectSize(double points) {
    if (points <= 0) return void(Select(sizes_, QString()));
    for (int i = 0; i < sizes_->count(); ++i)
        if (qFuzzyCompare(sizes_->item(i)->data(Qt::UserRole).toDouble(), points)) {
            sizes_->setCurrentRow(i);
            return;
        }
    // A size the list does not have (a stored pixel height) is added rather than replaced.
    QListWidgetItem* item = AddSize(sizes_, points);
    sizes_->setCurrentItem(item);
    sizes_->scrollToItem(item);
}

void CColorFontDlg::OnFamilyChanged() {
    const QString family = families_->currentItem() ? families_->currentItem()->text() : QString();
    const QString style = StyleOf(styles_);
    const double size =
        sizes_->currentItem() ? sizes_->currentItem()->data(Qt::UserRole).toDouble() : 0;
    const QSignalBlocker quiet(sizes_);
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
        AddSize(sizes_, p);
    SelectStyle(styles_, style);
    SelectSize(size);
}

QFont CColorFontDlg::FontOfSelection() const {
    const QString family = families_->currentItem() ? families_->currentItem()->text() : QString();
    const QString style = StyleOf(styles_);
    const double size =
        sizes_->currentItem() ? sizes_->currentItem()->data(Qt::UserRole).toDouble() : 0;
    QFont font = QFontDatabase::font(family, style, 12);
    font.setPointSizeF(size > 0 ? size : InitialPoints());
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
    // Untouched lists give back exactly the font that came in, pixel height and all.
    font_ = picked_ ? FontOfSelection() : initial_;
    QDialog::accept();
}

} // namespace mireka
