// The compiler settings dialogs.
#include "gui/toolchain/CompilerSettingsDlg.h"

#include "gui/base/DialogRunner.h"
#include "gui/base/NativePath.h"
#include "gui/base/Prompts.h"
#include "platform/FileSystem.h"
#include "platform/SafeFile.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace mireka {

namespace {

QString Text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString FromLocal(const std::string& s) {
    return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

// Typing stops at the limit, but a longer text put in from the settings is shown whole: it is
// reported when the dialog reads it, and nothing is cut off unseen.
void LimitLength(QLineEdit* edit) {
    edit->setMaxLength(std::max(static_cast<int>(kSettingsFieldMax), int(edit->text().size())));
}

// `_LCC` is a few lines; anything near this size is not one.
constexpr std::uint64_t kLccMaxBytes = 16u << 20;

constexpr int kFieldWidth = 420;

} // namespace

CCompilerSettingsDlg::CCompilerSettingsDlg(ToolchainKind kind, QWidget* parent)
    : QDialog(parent), d_(SettingsDialog(kind)) {
    setWindowTitle(Text(d_.title));
    fields_.reserve(3); // the groups keep indexes, the validators pointers to the edits
    auto* grid = new QGridLayout;
    int row = 0;
    if (const LocationField* loc = d_.location) {
        location_ = AddField(loc->label, loc->member, true, grid, row).edit;
        connect(browse_, &QPushButton::clicked, this, [this] { OnBrowse(); });
        if (!loc->fileButton.empty()) {
            fileButton_ = new QPushButton(Text(loc->fileButton), this);
            fileButton_->setAutoDefault(false);
            grid->addWidget(fileButton_, row++, 0, 1, 3, Qt::AlignRight);
            connect(fileButton_, &QPushButton::clicked, this, [this] { OnFileButton(); });
            connect(location_, &QLineEdit::textChanged, this, [this] { UpdateFileButton(); });
        }
    }
    option_ = AddGroup(d_.options, grid, row);
    if (d_.library) library_ = AddGroup(*d_.library, grid, row);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

CCompilerSettingsDlg::Field& CCompilerSettingsDlg::AddField(std::string_view label,
                                                            std::string BuildSettings::*member,
                                                            bool path, QGridLayout* grid,
                                                            int& row) {
    auto* edit = new QLineEdit(this);
    edit->setMinimumWidth(kFieldWidth);
    connect(edit, &QLineEdit::textEdited, edit, [edit] { LimitLength(edit); });
    auto* caption = new QLabel(Text(label), this);
    caption->setBuddy(edit);
    grid->addWidget(caption, row++, 0, 1, 3);
    if (path) {
        // The browse button sits at the end of the field, as small as its text.
        browse_ = new QPushButton(QStringLiteral("&..."), this);
        browse_->setAutoDefault(false);
        browse_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        browse_->setMaximumWidth(browse_->fontMetrics().horizontalAdvance(QStringLiteral("……")) +
                                 16);
        auto* line = new QHBoxLayout;
        line->addWidget(edit, 1);
        line->addWidget(browse_);
        grid->addLayout(line, row++, 0, 1, 3);
    } else {
        grid->addWidget(edit, row++, 0, 1, 3);
    }
    fields_.push_back({edit, member, path, {}});
    return fields_.back();
}

QLineEdit* CCompilerSettingsDlg::AddGroup(const OptionGroup& group, QGridLayout* grid, int& row) {
    QLineEdit* edit = AddField(group.label, group.member, false, grid, row).edit;
    Group g{&group, fields_.size() - 1, {}};
    constexpr int kColumns = 2;
    auto* boxes = new QGridLayout;
    for (std::size_t i = 0; i < group.boxes.size(); ++i) {
        auto* box = new QCheckBox(Text(group.boxes[i].label), this);
        boxes->addWidget(box, static_cast<int>(i) / kColumns, static_cast<int>(i) % kColumns);
        g.boxes.push_back(box);
    }
    grid->addLayout(boxes, row++, 0, 1, 3);
    const std::size_t index = groups_.size();
    for (QCheckBox* box : g.boxes)
        connect(box, &QCheckBox::clicked, this, [this, index, box] { OnBoxClicked(index, box); });
    groups_.push_back(std::move(g));
    return edit;
}

void CCompilerSettingsDlg::SetValues(const BuildSettings& s) {
    values_ = s;
    opened_ = false;
}

void CCompilerSettingsDlg::GetValues(BuildSettings& s) const {
    for (const Field& f : fields_)
        s.*f.member = values_.*f.member;
}

int CCompilerSettingsDlg::DoModal() {
    return RunModal(*this);
}

void CCompilerSettingsDlg::showEvent(QShowEvent* event) {
    if (!opened_) {
        opened_ = true;
        for (Field& f : fields_)
            Show(f, values_.*f.member);
        for (Group& g : groups_) {
            // Opening may change the text itself ("-OO" gone, the library lowered), and the
            // changed text is what OK returns.
            Field& f = fields_[g.field];
            const GroupState state =
                OpenGroup(*g.group, values_.*f.member, g.group == &d_.options && d_.dropsDoubleO);
            if (state.text != values_.*f.member) Show(f, state.text);
            for (std::size_t i = 0; i < g.boxes.size(); ++i)
                g.boxes[i]->setChecked(state.ticked[i]);
        }
        UpdateFileButton();
    }
    QDialog::showEvent(event);
}

void CCompilerSettingsDlg::Show(Field& field, const std::string& bytes) {
    values_.*field.member = bytes;
    field.shown = field.path ? DisplayPath(bytes) : FromLocal(bytes);
    field.edit->setMaxLength(32767); // as long as the text, which setText would otherwise cut
    field.edit->setText(field.shown);
    LimitLength(field.edit);
}

std::string CCompilerSettingsDlg::FieldBytes(const Field& field) const {
    const QString text = field.edit->text();
    if (text == field.shown) return values_.*field.member;
    return field.path ? ToNative(text) : text.toLocal8Bit().toStdString();
}

bool CCompilerSettingsDlg::ReadFields() {
    for (Field& f : fields_) {
        if (static_cast<std::size_t>(f.edit->text().size()) > kSettingsFieldMax) {
            Prompts::Current().Message(this, Text(kFieldTooLongFormat).arg(kSettingsFieldMax),
                                       QMessageBox::Warning);
            f.edit->setFocus();
            f.edit->selectAll();
            return false;
        }
    }
    for (Field& f : fields_) {
        values_.*f.member = FieldBytes(f);
        f.shown = f.edit->text();
    }
    return true;
}

void CCompilerSettingsDlg::OnBoxClicked(std::size_t index, QCheckBox* box) {
    const Group& g = groups_[index];
    if (!ReadFields()) {
        box->setChecked(!box->isChecked()); // the click did not happen
        return;
    }
    const OptionGroup& group = *g.group;
    const auto ticked = [&](std::string_view token) {
        for (std::size_t i = 0; i < group.boxes.size(); ++i)
            if (group.boxes[i].token == token) return g.boxes[i]->isChecked();
        return false;
    };
    Field& f = fields_[g.field];
    Show(f, RewriteGroup(group, values_.*f.member, ticked));
}

void CCompilerSettingsDlg::OnBrowse() {
    if (!ReadFields()) return;
    Field& f = fields_.front();
    const std::optional<FileChoice> choice = Prompts::Current().OpenFile(
        this, Text(d_.location->filter), 1,
        d_.location->filter.starts_with("Exe") ? QStringLiteral("exe") : QString(),
        DisplayPath(values_.*f.member));
    if (!choice) return;
    Show(f, choice->path); // the short form is the path itself here
    location_->setFocus();
    location_->selectAll();
}

void CCompilerSettingsDlg::OnFileButton() {
    WriteConfiguration(FieldBytes(fields_.front()));
}

void CCompilerSettingsDlg::UpdateFileButton() {
    if (fileButton_)
        fileButton_->setEnabled(EnablesFileButton(*d_.location, FieldBytes(fields_.front())));
}

QCheckBox* CCompilerSettingsDlg::Box(std::string_view token) const {
    for (const Group& g : groups_)
        for (std::size_t i = 0; i < g.boxes.size(); ++i)
            if (g.group->boxes[i].token == token) return g.boxes[i];
    return nullptr;
}

void CCompilerSettingsDlg::accept() {
    if (ReadFields()) QDialog::accept();
}

QMessageBox::StandardButton CCompilerSettingsDlg::Tell(std::string_view text,
                                                       std::string_view caption,
                                                       QMessageBox::Icon icon,
                                                       QMessageBox::StandardButtons buttons) {
    return Prompts::Current().Message(this, Text(text), icon, buttons, Text(caption));
}

void CLsiSettingsDlg::WriteConfiguration(const std::string& location) {
    // Refused before the file is read: there is no short name to write in place of such a folder.
    if (!LccFoldersAreTokens(location)) {
        Tell(kLccBlankFolderError, kErrorCaption, QMessageBox::Critical);
        return;
    }
    const std::string path = LccFilePath(location);
    const FileStatus status = QueryFile(path);
    std::string content;
    if (!status.isRegular || status.size > kLccMaxBytes ||
        !ReadWholeFile(path, &content, nullptr)) {
        Tell(kLccReadError, kErrorCaption, QMessageBox::Critical);
        return;
    }
    // Rewriting a file that is not text would destroy it.
    if (content.find('\0') != std::string::npos) {
        Tell(kLccBinaryError, kErrorCaption, QMessageBox::Critical);
        return;
    }
    if (!WriteFileSafely(path, RewriteLcc(TokenizeLcc(content), location), nullptr)) {
        Tell(kLccWriteError, kErrorCaption, QMessageBox::Critical);
        return;
    }
    Tell(kLccDone, kDoneCaption, QMessageBox::NoIcon);
}

void CBccSettingsDlg::WriteConfiguration(const std::string& location) {
    const BorlandConfig cfg = MakeBorlandConfig(location);
    const auto overwrite = [this](const std::string& path, std::string_view question) {
        return !QueryFile(path).Exists() ||
               Tell(question, kConfirmCaption, QMessageBox::Information,
                    QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    if (overwrite(cfg.compilerFile, kBccCfgExists) &&
        !WriteFileSafely(cfg.compilerFile, cfg.compilerText, nullptr)) {
        Tell(kBccCfgWriteError, kErrorCaption, QMessageBox::Critical);
        return;
    }
    if (!overwrite(cfg.linkerFile, kIlinkCfgExists)) return;
    if (!WriteFileSafely(cfg.linkerFile, cfg.linkerText, nullptr)) {
        Tell(kIlinkCfgWriteError, kErrorCaption, QMessageBox::Critical);
        return;
    }
    Tell(kBorlandConfigDone, kDoneCaption, QMessageBox::NoIcon);
}

} // namespace mireka
