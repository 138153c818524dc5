// The main window: menus, accelerators, status bar and the editor view; closing asks to save.
#pragma once

#include "core/app/FrameSettings.h"
#include "gui/app/CommandTable.h"

#include <QFont>

#include <QMainWindow>
#include <QTimer>

#include <string>
#include <string_view>

class QMenu;

namespace mireka {

class CMyApp;
class CMyView;
struct MenuItemDef;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(CMyApp& app);
    ~CMainFrame() override;

    [[nodiscard]] CMyView* View() const noexcept { return view_; }
    [[nodiscard]] CommandTable& Commands() noexcept { return commands_; }
    [[nodiscard]] QMenu* FileMenu() const noexcept { return fileMenu_; }

    void UpdateTitle();
    void RebuildRecentFileMenu();
    // The status bar's message pane: a prompt, a hint, or "レディ".
    void SetMessageText(const QString& text);
    // Text of a status-bar pane by indicator id (cmd::IndicatorLine, cmd::IndicatorCompiler).
    void SetPaneText(int indicator, const QString& text);
    // A function hint in the message pane; an empty text does nothing.
    void ShowHint(const QString& text);
    // The hint of the hint file for `word`; empty when there is none.
    [[nodiscard]] std::string LookupHint(std::string_view word) const;
    // Replaces the output window's whole text and scrolls to its end. Callable from any
    // thread; returns when the text is shown.
    void ShowBuildOutput(const std::string& text);
    // The editor font and the five colours, applied by the view at every update.
    [[nodiscard]] const QFont& EditorFont() const noexcept { return font_; }
    [[nodiscard]] const EditorColours& Colours() const noexcept { return colours_; }
    // The selected toolchain (m_nToolchain).
    [[nodiscard]] int Toolchain() const noexcept { return m_nToolchain; }
    void SetToolchain(int kind) { m_nToolchain = kind; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenus();
    void AddItems(QMenu* menu, const std::vector<MenuItemDef>& items);

    CMyApp& app_;
    CommandTable commands_;
    CMyView* view_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* recentPlaceholder_ = nullptr;
    QList<QAction*> recentActions_;
    QTimer idle_;
    QFont font_;
    EditorColours colours_;
    int m_nToolchain = 1;
    std::string outputText_; // until the output window exists
};

// The main frame around a widget, or none (a view used on its own).
[[nodiscard]] CMainFrame* FrameOf(const QWidget* widget);

} // namespace mireka
