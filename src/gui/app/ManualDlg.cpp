// The manual viewer. Both lists are views over models that format only the rows being painted,
// so a manual of hundreds of thousands of lines scrolls as lightly as a short one.
#include "gui/app/ManualDlg.h"

#include "core/app/ManReference.h"
#include "core/base/Dbcs.h"
#include "core/base/Paths.h"
#include "core/toolchain/BuildText.h"
#include "gui/base/Prompts.h"
#include "gui/base/WaitCursor.h"
#include "gui/editor/Cp932.h"
#include "gui/editor/EditorFont.h"
#include "platform/FileSystem.h"
#include "platform/SafeFile.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace mireka {

namespace {

// Columns the manual list is made wide enough for, number included.
constexpr int kManualColumns = 7 + kReferencePageWidth;
constexpr int kIndexColumns = 26;
constexpr int kListRows = 30;

// Code page 932 bytes for the screen, through the pair table: a painted row or a measured index
// entry costs no converter.
QString Shown(std::string_view bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t len = dbcs::CharLength(bytes, i);
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (len == 2)
            out += QChar(cp932::DecodePair(b, static_cast<unsigned char>(bytes[i + 1])));
        else if (b == '\t')
            out += QLatin1Char(' '); // a list row has no tab stops
        else
            out += QChar(cp932::DecodeSingle(b));
        i += len;
    }
    return out;
}

} // namespace

// The manual's lines as "%05ld| %s" rows, formatted when painted.
class ManualLinesModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void Set(std::shared_ptr<const ManualLines> lines, QSize itemSize) {
        beginResetModel();
        lines_ = std::move(lines);
        itemSize_ = itemSize;
        endResetModel();
    }
    [[nodiscard]] const ManualLines* Lines() const noexcept { return lines_.get(); }

    int rowCount(const QModelIndex& parent) const override {
        if (parent.isValid() || !lines_) return 0;
        return static_cast<int>(std::min<std::size_t>(lines_->size(), INT_MAX));
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!lines_ || !index.isValid()) return {};
        if (role == Qt::DisplayRole) {
            const auto row = static_cast<std::size_t>(index.row());
            return Shown(FormatManualItem(static_cast<long>(row), lines_->Line(row)));
        }
        if (role == Qt::SizeHintRole) return itemSize_;
        return {};
    }
    // The list's type-ahead: every row begins with its number, so the number alone says which
    // row can match, and a keystroke does not format the hundreds of thousands of rows before
    // it finds none.
    QModelIndexList match(const QModelIndex& start, int role, const QVariant& value, int hits,
                          Qt::MatchFlags flags) const override {
        const QString typed = value.toString();
        if (role != Qt::DisplayRole || hits != 1 || typed.isEmpty() || !lines_ ||
            start.parent().isValid() || !start.isValid() ||
            (flags & Qt::MatchTypeMask) != Qt::MatchStartsWith)
            return QAbstractListModel::match(start, role, value, hits, flags);
        qsizetype digits = 0;
        while (digits < typed.size() && typed[digits] >= u'0' && typed[digits] <= u'9')
            ++digits;
        const bool more = digits < typed.size();
        const std::optional<std::size_t> row =
            FindManualNumber(static_cast<std::size_t>(rowCount(QModelIndex())),
                             static_cast<std::size_t>(start.row()),
                             typed.left(digits).toStdString(), more, flags.testFlag(Qt::MatchWrap));
        if (!row) return {};
        const QModelIndex found = index(static_cast<int>(*row));
        const Qt::CaseSensitivity cs =
            flags.testFlag(Qt::MatchCaseSensitive) ? Qt::CaseSensitive : Qt::CaseInsensitive;
        if (more && !data(found, Qt::DisplayRole).toString().startsWith(typed, cs)) return {};
        return {found};
    }

private:
    std::shared_ptr<const ManualLines> lines_;
    QSize itemSize_;
};

// The index entries in file order, each with its manual line.
class ManualIndexModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void Set(std::shared_ptr<const ManualIndexData> index, const QFontMetrics& metrics) {
        beginResetModel();
        index_ = std::move(index);
        texts_.clear();
        int widest = 0;
        if (index_) {
            texts_.reserve(static_cast<qsizetype>(index_->entries.size()));
            for (const ManualIndexEntry& e : index_->entries) {
                texts_.push_back(Shown(e.text));
                widest = std::max(widest, metrics.horizontalAdvance(texts_.back()));
            }
        }
        // As wide as the widest entry and 4 pixels, so that every entry can be scrolled into view.
        extent_ = texts_.isEmpty() ? 0 : widest + 4;
        itemSize_ = QSize(extent_, metrics.height() + 2);
        endResetModel();
    }
    [[nodiscard]] const ManualIndexData* Index() const noexcept { return index_.get(); }
    [[nodiscard]] int Extent() const noexcept { return extent_; }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(texts_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= texts_.size()) return {};
        switch (role) {
        case Qt::DisplayRole:
            return texts_.at(index.row());
        case Qt::UserRole:
            return static_cast<qlonglong>(
                index_->entries[static_cast<std::size_t>(index.row())].line);
        case Qt::SizeHintRole:
            return itemSize_;
        default:
            return {};
        }
    }

private:
    std::shared_ptr<const ManualIndexData> index_;
    QStringList texts_;
    QSize itemSize_;
    int extent_ = 0;
};

CManualDlg::CManualDlg(QWidget* parent, const std::string& indexPath) : QDialog(parent) {
    setObjectName(QStringLiteral("ManualDlg"));
    setWindowTitle(QString::fromUtf8(kLsiCaption));

    auto* prompt = new QLabel(QStringLiteral("探したい関数名か語句を入力："), this);
    findEdit_ = new QLineEdit(this);
    findEdit_->setObjectName(QStringLiteral("find"));
    findEdit_->setMaxLength(kManualFindTextMax);
    prompt->setBuddy(findEdit_);

    const auto makeList = [this](const char* name) {
        auto* list = new QListView(this);
        list->setObjectName(QLatin1String(name));
        list->setUniformItemSizes(true);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        list->setTextElideMode(Qt::ElideNone);
        return list;
    };
    indexList_ = makeList("index");
    indexList_->setSelectionMode(QAbstractItemView::SingleSelection);
    indexModel_ = new ManualIndexModel(this);
    indexList_->setModel(indexModel_);

    manualList_ = makeList("manual");
    // A current line, but no highlight.
    manualList_->setSelectionMode(QAbstractItemView::NoSelection);
    // Fixed pitch, so that the rendered columns of the reference line up.
    manualList_->setFont(DefaultEditorFont(std::max(9, font().pointSize())));
    linesModel_ = new ManualLinesModel(this);
    manualList_->setModel(linesModel_);

    copyButton_ = new QPushButton(QStringLiteral("コピー(&C)"), this);
    auto* closeButton = new QPushButton(QStringLiteral("閉じる(&X)"), this);
    // Enter jumps; no button takes it over.
    copyButton_->setAutoDefault(false);
    closeButton->setAutoDefault(false);

    const QFontMetrics indexMetrics(indexList_->font());
    const QFontMetrics manualMetrics(manualList_->font());
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    // The index keeps its width; a wider window widens the manual.
    indexList_->setFixedWidth(indexMetrics.averageCharWidth() * kIndexColumns + scrollBar);
    manualList_->setMinimumSize(manualMetrics.horizontalAdvance(QLatin1Char('0')) * 40 + scrollBar,
                                manualMetrics.lineSpacing() * 8);

    auto* top = new QHBoxLayout;
    top->addWidget(prompt);
    top->addWidget(findEdit_, 1);
    top->addStretch(1);
    auto* lists = new QHBoxLayout;
    lists->addWidget(indexList_);
    lists->addWidget(manualList_, 1);
    // Says why a search finds nothing when the index has no entries.
    status_ = new QLabel(this);
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    status_->hide();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(status_, 1);
    buttons->addStretch(0);
    buttons->addWidget(copyButton_);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    resize(indexMetrics.averageCharWidth() * kIndexColumns + scrollBar +
               manualMetrics.horizontalAdvance(QLatin1Char('0')) * kManualColumns + scrollBar +
               layout->spacing() + 2 * layout->contentsMargins().left() + 8,
           manualMetrics.lineSpacing() * kListRows);

    connect(findEdit_, &QLineEdit::textChanged, this, &CManualDlg::OnFindChanged);
    connect(indexList_, &QListView::doubleClicked, this, &CManualDlg::OnJump);
    connect(copyButton_, &QPushButton::clicked, this, &CManualDlg::OnCopy);
    connect(closeButton, &QPushButton::clicked, this, &CManualDlg::reject);

    LoadIndex(indexPath);
    SetIndex(lsiIndex_);
    source_ = Source::Lsi;
}

CManualDlg::~CManualDlg() = default;

void CManualDlg::LoadIndex(const std::string& path) {
    std::string bytes;
    std::string error;
    if (path.empty() || !ReadWholeFile(path, &bytes, &error)) {
        Prompts::Current().Message(
            this,
            QString::fromUtf8(kManualIndexName.data(),
                              static_cast<qsizetype>(kManualIndexName.size())) +
                QStringLiteral(" がありません。"),
            QMessageBox::Critical);
        lsiIndex_ = std::make_shared<const ManualIndexData>(std::vector<ManualIndexEntry>{});
        return;
    }
    lsiIndex_ = std::make_shared<const ManualIndexData>(ParseManualIndex(std::move(bytes)).entries);
}

void CManualDlg::SetIndex(std::shared_ptr<const ManualIndexData> index) {
    const bool empty = !index || index->entries.empty();
    indexModel_->Set(std::move(index), QFontMetrics(indexList_->font()));
    if (!empty) return status_->hide();
    // The shipped index may be empty; a user of an installed program adds one of their own.
    const std::string user = GetProgramDirectories().user;
    status_->setText(
        QStringLiteral("索引 (%1) が空のため、検索できません。%2 に索引ファイルを置くと使えます。")
            .arg(QString::fromUtf8(kManualIndexName.data(),
                                   static_cast<qsizetype>(kManualIndexName.size())),
                 user.empty() ? QStringLiteral("データ フォルダ")
                              : QDir::toNativeSeparators(DisplayPath(user))));
    status_->show();
}

void CManualDlg::SetLines(std::shared_ptr<const ManualLines> lines) {
    const QFontMetrics metrics(manualList_->font());
    // Fixed pitch: a byte of code page 932 is one column, a double-byte character two.
    const std::size_t count = lines ? lines->size() : 0;
    const int digits = std::max<int>(5, static_cast<int>(std::to_string(count).size()));
    const int columns = digits + 2 + static_cast<int>(lines ? lines->WidestLine() : 0);
    const int width = metrics.horizontalAdvance(QLatin1Char('0')) * columns + 4;
    linesModel_->Set(std::move(lines), QSize(width, metrics.height() + 2));
}

int CManualDlg::IndexExtent() const noexcept {
    return indexModel_->Extent();
}

void CManualDlg::ScrollManualTo(long line, bool makeCurrent) {
    if (line < 0 || line >= linesModel_->rowCount(QModelIndex())) return;
    const QModelIndex index = linesModel_->index(static_cast<int>(line));
    manualList_->scrollTo(index, QAbstractItemView::PositionAtTop);
    if (makeCurrent) manualList_->setCurrentIndex(index);
}

void CManualDlg::ShowLsiManual(const std::string& manualPath, const std::string& findWord) {
    {
        WaitCursor wait;
        const bool otherSource = source_ != Source::Lsi;
        if (otherSource || !EqualsNoCase(manualPath, m_strManualPath)) {
            if (otherSource) SetIndex(lsiIndex_);
            std::string bytes;
            std::string error;
            if (!manualPath.empty() &&
                ReadWholeFile(PathIgnoringCase(manualPath), &bytes, &error)) {
                SetLines(std::make_shared<const ManualLines>(std::move(bytes)));
                ScrollManualTo(kManualFirstShownLine, false);
            } else if (otherSource) {
                // The reference's lines do not belong to this index.
                SetLines(nullptr);
            }
        }
        // Remembered also when loading failed: the same path is not tried again.
        m_strManualPath = manualPath;
        source_ = Source::Lsi;
        referenceKey_.clear();
        setWindowTitle(QString::fromUtf8(kLsiCaption));
    }
    ShowWith(findWord);
}

void CManualDlg::ShowReference(const ManualContent& content, const std::string& key,
                               const std::string& findWord) {
    if (source_ != Source::Reference || key != referenceKey_) {
        WaitCursor wait;
        SetIndex(content.index);
        status_->hide(); // the note is about the LSI C-86 index
        SetLines(content.lines);
        ScrollManualTo(kManualFirstShownLine, false);
        source_ = Source::Reference;
        referenceKey_ = key;
        setWindowTitle(QString::fromUtf8(kReferenceCaption));
    }
    ShowWith(findWord);
}

void CManualDlg::ShowWith(const std::string& findWord) {
    if (!findWord.empty()) {
        findEdit_->setText(cp932::Decode(findWord));
        findEdit_->selectAll();
    }
    show();
    raise();
    activateWindow();
    findEdit_->setFocus(Qt::OtherFocusReason);
}

void CManualDlg::OnFindChanged() {
    const ManualIndexData* index = indexModel_->Index();
    const QString typed = findEdit_->text();
    std::string bytes;
    if (!index || typed.isEmpty() || !cp932::Encode(typed, bytes)) return;
    const std::optional<std::size_t> found = index->search.FindPrefix(bytes);
    if (!found) return;
    const QModelIndex item = indexModel_->index(static_cast<int>(*found));
    indexList_->setCurrentIndex(item);
    indexList_->scrollTo(item);
}

void CManualDlg::OnJump() {
    const QModelIndexList selected = indexList_->selectionModel()->selectedIndexes();
    if (selected.isEmpty()) return;
    const long line = static_cast<long>(selected.front().data(Qt::UserRole).toLongLong());
    if (line < 0 || line >= linesModel_->rowCount(QModelIndex())) {
        // An index line that points past the manual: there is nothing to show.
        Prompts::Current().Beep();
        return;
    }
    ScrollManualTo(line, true);
    manualList_->setFocus(Qt::OtherFocusReason);
}

void CManualDlg::OnCopy() {
    const QModelIndex current = manualList_->currentIndex();
    const ManualLines* lines = linesModel_->Lines();
    if (!current.isValid() || !lines) return;
    // The line's own text: dropping the width of the number would cut into the text once the
    // numbers grow past five digits.
    const std::string text = ManualCopyText(lines->Line(static_cast<std::size_t>(current.row())));
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(cp932::Decode(text));
}

void CManualDlg::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & ~Qt::KeypadModifier)) {
        OnJump();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace mireka
