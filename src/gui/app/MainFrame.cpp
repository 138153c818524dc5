// The main window.
#include "gui/app/MainFrame.h"

#include "core/app/RecentFileList.h"
#include "gui/app/CommandIds.h"
#include "gui/app/MenuDefs.h"
#include "gui/app/MyApp.h"
#include "gui/document/MyDoc.h"
#include "gui/document/MyView.h"
#include "gui/editor/EditorFont.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>

namespace mireka {

namespace {
constexpr int kIdleUpdateMs = 150;
constexpr std::size_t kRecentDisplayChars = 30;
} // namespace

CMainFrame::CMainFrame(CMyApp& app) : app_(app), font_(DefaultEditorFont()) {
    setAcceptDrops(true);
    view_ = new CMyView(this);
    setCentralWidget(view_);
    for (const auto& [id, prompt] : PromptDefs())
        commands_.SetPrompt(id, QString::fromUtf8(prompt));
    view_->RegisterCommands(commands_);
    BuildMenus();
    statusBar()->showMessage(QStringLiteral("レディ"));
    resize(800, 600);

    // Update rules run at idle time, as the toolbar and accelerators need current states.
    connect(&idle_, &QTimer::timeout, &commands_, &CommandTable::UpdateAll);
    idle_.start(kIdleUpdateMs);
    view_->setFocus();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::AddItems(QMenu* menu, const std::vector<MenuItemDef>& items) {
    for (const MenuItemDef& item : items) {
        if (item.id == 0) {
            menu->addSeparator();
        } else if (item.id == MenuItemDef::kSubmenu) {
            QMenu* sub = menu->addMenu(QString::fromUtf8(item.text));
            connect(sub, &QMenu::aboutToShow, this,
                    [this, sub] { commands_.UpdateActions(sub->actions()); });
            AddItems(sub, item.sub);
        } else {
            QAction* action = menu->addAction(QString::fromUtf8(item.text));
            action->setProperty("mirekaMenuItem", true);
            if (item.id == cmd::FileMru1) {
                recentPlaceholder_ = action;
                action->setEnabled(false);
                continue;
            }
            commands_.Bind(item.id, action);
        }
    }
}

void CMainFrame::BuildMenus() {
    for (const MenuDef& def : MainMenuDefs()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(def.title));
        if (!fileMenu_) fileMenu_ = menu;
        AddItems(menu, def.items);
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            if (menu == fileMenu_) RebuildRecentFileMenu();
            commands_.UpdateActions(menu->actions());
        });
    }
    // Accelerators are separate from the menu texts, which carry their own shortcut text.
    for (const AcceleratorDef& acc : AcceleratorDefs()) {
        auto* action = new QAction(this);
        action->setShortcut(acc.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        commands_.Bind(acc.id, action);
    }
    RebuildRecentFileMenu();
}

void CMainFrame::RebuildRecentFileMenu() {
    if (!fileMenu_ || !recentPlaceholder_) return;
    for (QAction* a : recentActions_) {
        fileMenu_->removeAction(a);
        a->deleteLater();
    }
    recentActions_.clear();
    const auto& items = app_.Recent().Items();
    recentPlaceholder_->setVisible(items.empty());
    for (std::size_t i = 0; i < items.size(); ++i) {
        QString shown = QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(
            RecentFileList::AbbreviateName(items[i], kRecentDisplayChars))));
        shown.replace(u'&', QStringLiteral("&&"));
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown), fileMenu_);
        action->setProperty("mirekaMenuItem", true);
        fileMenu_->insertAction(recentPlaceholder_, action);
        commands_.Bind(cmd::FileMru1 + static_cast<int>(i), action);
        recentActions_.append(action);
    }
}

void CMainFrame::UpdateTitle() {
    CMyDoc* doc = view_->GetDocument();
    setWindowTitle((doc ? doc->GetTitle() : QStringLiteral("untitled")) +
                   QStringLiteral(" - Mireka"));
}

void CMainFrame::SetMessageText(const QString& text) {
    statusBar()->showMessage(text);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    CMyDoc* doc = view_->GetDocument();
    if (doc && !doc->SaveModified()) {
        event->ignore();
        return;
    }
    idle_.stop();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    event->acceptProposedAction();
    activateWindow();
    // Opened after the drop has finished, since the save prompt may run a dialog. With one
    // document, each file replaces the previous one.
    QTimer::singleShot(0, this, [this, files] {
        for (const QString& f : files)
            app_.OpenDocumentFile(QFile::encodeName(f).toStdString());
    });
}

} // namespace mireka

namespace mireka {

void CMainFrame::SetPaneText(int, const QString&) {}

void CMainFrame::ShowHint(const QString& text) {
    if (!text.isEmpty()) SetMessageText(text);
}

std::string CMainFrame::LookupHint(std::string_view) const {
    return {};
}

void CMainFrame::ShowBuildOutput(const std::string& text) {
    outputText_ = text;
}

CMainFrame* FrameOf(const QWidget* widget) {
    return widget ? qobject_cast<CMainFrame*>(widget->window()) : nullptr;
}

} // namespace mireka
