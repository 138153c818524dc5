// The main window: menus, accelerators, status bar and the editor view; closing asks to save.
#pragma once

#include "gui/app/CommandTable.h"

#include <QMainWindow>
#include <QTimer>

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
};

} // namespace mireka
