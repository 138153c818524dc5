// The main window: menus, accelerators, toolbar, status bar, the docked output window, the
// editor font and colours, the selected toolchain, function hints, and the saving and restoring
// of all of these and of the window's placement and bar layout.
#pragma once

#include "core/app/FrameSettings.h"
#include "core/document/ClipboardHistory.h"
#include "gui/base/CommandTable.h"
#include "gui/base/FrameServices.h"

#include <QFont>
#include <QHash>
#include <QMainWindow>
#include <QTimer>

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QPrinter;
class QMenu;
class QStyle;
class QToolBar;

namespace mireka {

class CManualCommand;
class CMyApp;
class CMyView;
class COutputBar;
class Prompts;
struct MenuItemDef;

// The framework's ids of the toolbar and the status bar, as bar ids of the saved layout.
inline constexpr int kToolBarId = 59392;
inline constexpr int kStatusBarId = 59393;

// The editor font as the settings keep it and back. Heights are in pixels of a 96-dpi screen
// (negative: character height, positive: cell height, taken alike), so 14 points is -19. The
// fields a font cannot carry (width, escapement, orientation, character set, precisions) are
// taken from `fields`, so that a stored font round-trips unchanged.
[[nodiscard]] QFont FontFromLogFont(const LogFont& logFont);
[[nodiscard]] LogFont LogFontFromFont(const QFont& font, const LogFont& fields = {});
// The fields of the fallback font: the default character set, fixed pitch, modern family.
[[nodiscard]] LogFont DefaultLogFontFields();

class CMainFrame : public QMainWindow, public FrameServices {
    Q_OBJECT

public:
    explicit CMainFrame(CMyApp& app);
    [[nodiscard]] Prompts& GetPrompts() const noexcept { return prompts_; }
    ~CMainFrame() override;

    [[nodiscard]] CMyView* View() const noexcept { return view_; }
    [[nodiscard]] CommandTable& Commands() noexcept override { return commands_; }
    [[nodiscard]] QWidget* EditorWidget() const noexcept override;
    [[nodiscard]] QMenu* FileMenu() const noexcept { return fileMenu_; }
    [[nodiscard]] QToolBar* ToolBar() const noexcept { return toolBar_; }
    [[nodiscard]] COutputBar* OutputBar() const noexcept { return outputBar_; }
    // ユーザーズ マニュアル and its viewer.
    [[nodiscard]] CManualCommand* Manual() const noexcept { return manual_; }

    void UpdateTitle();
    void RebuildRecentFileMenu();
    // The templates submenu from the files of the template folder, sorted by the user's
    // collation; run whenever the menu bar is opened.
    void RebuildTemplateMenu();
    // The names listed (the files' own bytes), in menu order.
    [[nodiscard]] const std::vector<std::string>& TemplateNames() const noexcept {
        return m_templateNames;
    }
    [[nodiscard]] QMenu* TemplateMenu() const noexcept { return templateMenu_; }
    // ひな型に追加 and ひな型の整理.
    void OnAddTemplate();
    void OnOrganizeTemplates();
    // The status bar's message pane: a prompt, a hint, or "レディ".
    void SetMessageText(const QString& text);
    [[nodiscard]] QString MessageText() const;
    // Text of a status-bar pane by indicator id (cmd::IndicatorLine, cmd::IndicatorCompiler …).
    void SetPaneText(int indicator, const QString& text) override;
    [[nodiscard]] QString PaneText(int indicator) const;
    // A function hint in the message pane, painted at once; an empty text does nothing.
    void ShowHint(const QString& text) override;
    // The hint of the hint file for `word`; empty when there is none.
    [[nodiscard]] std::string LookupHint(std::string_view word) const override;
    [[nodiscard]] const std::vector<std::string>& HintLines() const noexcept { return hints_; }
    // Replaces the output window's whole text and scrolls to its end. `text` is in the system's
    // encoding, as the build wrote it. Interface thread only: a worker's output comes through
    // its build session's hand-over.
    void ShowBuildOutput(const std::string& text) override;
    void AppendBuildOutput(std::string_view displayBytes) override;
    void ShowBuildDisplay(std::string displayBytes, std::optional<std::size_t> kept) override;
    // The editor font and the five colours, applied by the view at every update.
    [[nodiscard]] const QFont& EditorFont() const noexcept override { return font_; }
    [[nodiscard]] const EditorColours& Colours() const noexcept override { return colours_; }
    // フォントの選択: the font and colour dialog; OK applies and keeps its choice.
    void OnViewFont();
    // 印刷, 印刷プレビュー and プリンタの設定. Without any printer, printing goes to a PDF file.
    void OnFilePrint();
    void OnFilePrintPreview();
    void OnFilePrintSetup();
    // The Help menu: the readme and the links page in the browser, the calculator, shortcuts.
    void OnHelpReadme();
    void OnHomePage();
    void OnCalculator();
    void OnShortcut();
    [[nodiscard]] QPrinter& Printer();
    // A new font and colours (the font and colour command): the view and the output follow.
    void SetEditorFontAndColours(const QFont& font, const EditorColours& colours);
    // The selected toolchain (m_nToolchain); the status pane follows.
    [[nodiscard]] int Toolchain() const noexcept override { return m_nToolchain; }
    void SetToolchain(int kind) override;
    [[nodiscard]] std::vector<QString> ClipboardHistory() const override {
        return {clipboardHistory_.begin(), clipboardHistory_.end()};
    }
    [[nodiscard]] bool IsTopMost() const noexcept { return m_bTopMost; }
    void SetTopMost(bool on);

    // The placement as "WindowPos" stores it.
    [[nodiscard]] WindowPlacement Placement() const;

    void setVisible(bool visible) override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateToolBar();
    void CreateStatusBar();
    void CreateOutputBar();
    void BuildMenus();
    void AddItems(QMenu* menu, const std::vector<MenuItemDef>& items);
    void RegisterFrameCommands();
    void LoadHintFile();
    // Remembers the clipboard's text, if it holds one.
    void CaptureClipboard();
    void RestoreBarState();
    void SaveBarState();
    void RestorePlacement();
    // Closing has been accepted: bar layout, then font, colours and placement, once.
    void DestroyWindow();
    void SwitchPane();
    void UpdateLockIndicators(quint32 nativeModifiers);

    CMyApp& app_;
    Prompts& prompts_;
    QStyle* style_ = nullptr; // the frame's and its menus'
    CommandTable commands_;
    CMyView* view_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    COutputBar* outputBar_ = nullptr;
    CManualCommand* manual_ = nullptr;
    QLabel* messagePane_ = nullptr;
    QHash<int, QLabel*> panes_;
    QMenu* fileMenu_ = nullptr;
    QMenu* templateMenu_ = nullptr;
    QList<QAction*> templateActions_;
    std::vector<std::string> m_templateNames;
    int m_nNextTemplateId = 200;
    QAction* recentPlaceholder_ = nullptr;
    QList<QAction*> recentActions_;
    QTimer idle_;
    QFont font_;
    LogFont fontFields_; // what the settings held beyond what a QFont carries
    EditorColours colours_;
    int m_nToolchain = kDefaultToolchain;
    bool m_bTopMost = false;
    std::vector<std::string> hints_;
    std::deque<QString> clipboardHistory_; // newest first
    ClipboardRepeats clipboardRepeats_;
    bool lockKeysFromEvents_ = false; // the platform puts the lock keys in key events' state
    bool placementArmed_ = true;
    bool destroyed_ = false;
    std::unique_ptr<QPrinter> printer_; // the printer and page chosen, for the session
};

} // namespace mireka
