// The compiler settings dialogs: the driver's location, the option and library texts, and the
// check boxes that rewrite those texts. Two of them also write the compiler's own
// configuration files.
#pragma once

#include "core/toolchain/CompilerSettings.h"

#include <QDialog>
#include <QMessageBox>

#include <string>
#include <vector>

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QPushButton;

namespace mireka {

class CCompilerSettingsDlg : public QDialog {
    Q_OBJECT

public:
    // The values of the members this kind's dialog edits, copied in before it runs and out only
    // after OK.
    void SetValues(const BuildSettings& s);
    void GetValues(BuildSettings& s) const;
    // Runs the dialog modally; QDialog::Accepted after OK.
    int DoModal();

    // Null where the dialog has no such control.
    [[nodiscard]] QLineEdit* LocationEdit() const noexcept { return location_; }
    [[nodiscard]] QLineEdit* OptionEdit() const noexcept { return option_; }
    [[nodiscard]] QLineEdit* LibraryEdit() const noexcept { return library_; }
    [[nodiscard]] QPushButton* BrowseButton() const noexcept { return browse_; }
    [[nodiscard]] QPushButton* FileButton() const noexcept { return fileButton_; }
    [[nodiscard]] QCheckBox* Box(std::string_view token) const;

public slots:
    void accept() override;

protected:
    CCompilerSettingsDlg(ToolchainKind kind, QWidget* parent);
    // The file button's work, on the location as it stands in the field.
    virtual void WriteConfiguration(const std::string& location) { (void)location; }
    // A message with the caption and icon of the configuration-file steps.
    QMessageBox::StandardButton Tell(std::string_view text, std::string_view caption,
                                     QMessageBox::Icon icon,
                                     QMessageBox::StandardButtons buttons = QMessageBox::Ok);

private:
    struct Field {
        QLineEdit* edit = nullptr;
        std::string BuildSettings::*member = nullptr;
        bool path = false;
        QString shown; // what was put in; the stored bytes stay while the text is unchanged
    };
    struct Group {
        const OptionGroup* group = nullptr;
        std::size_t field = 0;
        std::vector<QCheckBox*> boxes;
    };

    void showEvent(QShowEvent* event) override;
    Field& AddField(std::string_view label, std::string BuildSettings::*member, bool path,
                    QGridLayout* grid, int& row);
    QLineEdit* AddGroup(const OptionGroup& group, QGridLayout* grid, int& row);
    void Show(Field& field, const std::string& bytes);
    // Takes the fields' texts into the values; false after the length message.
    bool ReadFields();
    void OnBoxClicked(std::size_t group, QCheckBox* box);
    void OnBrowse();
    void OnFileButton();
    void UpdateFileButton();
    [[nodiscard]] std::string FieldBytes(const Field& field) const;

    const SettingsDialogDescriptor& d_;
    BuildSettings values_;
    std::vector<Field> fields_; // in the order they are checked: location, options, library
    std::vector<Group> groups_;
    QLineEdit* location_ = nullptr;
    QLineEdit* option_ = nullptr;
    QLineEdit* library_ = nullptr;
    QPushButton* browse_ = nullptr;
    QPushButton* fileButton_ = nullptr;
    bool opened_ = false;
};

// "LSI C-86 試食版 の設定": its file button rewrites `_LCC`.
class CLsiSettingsDlg final : public CCompilerSettingsDlg {
public:
    explicit CLsiSettingsDlg(QWidget* parent = nullptr)
        : CCompilerSettingsDlg(ToolchainKind::LsiC86, parent) {}

private:
    void WriteConfiguration(const std::string& location) override;
};

// "Borland C++ 5.5 の設定": its file button writes `bcc32.cfg` and `ilink32.cfg`.
class CBccSettingsDlg final : public CCompilerSettingsDlg {
public:
    explicit CBccSettingsDlg(QWidget* parent = nullptr)
        : CCompilerSettingsDlg(ToolchainKind::Borland, parent) {}

private:
    void WriteConfiguration(const std::string& location) override;
};

class CVctkSettingsDlg final : public CCompilerSettingsDlg {
public:
    explicit CVctkSettingsDlg(QWidget* parent = nullptr)
        : CCompilerSettingsDlg(ToolchainKind::VcToolkit, parent) {}
};

class CGccSettingsDlg final : public CCompilerSettingsDlg {
public:
    explicit CGccSettingsDlg(QWidget* parent = nullptr)
        : CCompilerSettingsDlg(ToolchainKind::Gcc, parent) {}
};

} // namespace mireka
