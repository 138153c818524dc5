// The about box and the shortcut dialog of the Help menu.
#pragma once

#include <QDialog>

#include <array>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;

namespace mireka {

// "Build: <date> @ <time>", the moment this program was compiled.
[[nodiscard]] QString BuildLine();

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    [[nodiscard]] QLabel* BuildLabel() const noexcept { return build_; }

private:
    QLabel* build_ = nullptr;
};

// Shortcuts to the program on the desktop and in the applications menu. A folder this system
// does not have (「送る」) leaves its box unticked and disabled.
class CShortcutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CShortcutDlg(QWidget* parent = nullptr);
    [[nodiscard]] QCheckBox* Box(std::size_t i) const noexcept { return boxes_[i]; }
    static constexpr std::size_t kDesktop = 0, kPrograms = 1, kSendTo = 2;

public slots:
    void accept() override;

private:
    std::array<QCheckBox*, 3> boxes_{};
    std::array<std::optional<std::string>, 3> folders_;
};

} // namespace mireka
