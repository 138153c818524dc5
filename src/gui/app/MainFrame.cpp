// The main window.
#include "gui/app/MainFrame.h"

#include "core/app/Hints.h"
#include "core/app/RecentFileList.h"
#include "core/base/Paths.h"
#include "core/base/Profile.h"
#include "core/document/ClipboardHistory.h"
#include "core/widgets/BarState.h"
#include "gui/app/ManualCommand.h"
#include "gui/app/MyApp.h"
#include "gui/base/CommandIds.h"
#include "gui/base/DialogRunner.h"
#include "gui/base/MenuDefs.h"
#include "gui/base/PngIcon.h"
#include "gui/base/Prompts.h"
#include "gui/document/MyDoc.h"
#include "gui/document/MyView.h"
#include "gui/document/OutputBar.h"
#include "gui/editor/ColorFontDlg.h"
#include "gui/editor/EditorFont.h"
#include "platform/FileSystem.h"
#include "platform/InFile.h"

#include <QActionGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QProxyStyle>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>

#include <algorithm>
#include <cmath>

// The icons live in a static library, whose resource registration the linker would drop
// unless something refers to it.
static void InitMirekaResources() {
    Q_INIT_RESOURCE(mireka);
}

namespace mireka {

namespace {

constexpr int kIdleUpdateMs = 150;
constexpr std::size_t kRecentDisplayChars = 30;
constexpr int kLayoutVersion = 1;
constexpr std::string_view kStatusBarEntry = "StatusBar";
const QString kIdleMessage = QStringLiteral("レディ");

// Logical-font constants of the stored format.
constexpr std::uint8_t kDefaultCharset = 1;
constexpr std::uint8_t kFixedPitch = 1;
constexpr std::uint8_t kFamilyRoman = 0x10;
constexpr std::uint8_t kFamilySwiss = 0x20;
constexpr std::uint8_t kFamilyModern = 0x30;
constexpr std::uint8_t kFamilyScript = 0x40;
constexpr std::uint8_t kFamilyDecorative = 0x50;
constexpr std::uint8_t kNonAntialiased = 3;
constexpr std::uint8_t kAntialiased = 4;
constexpr double kReferenceDpi = 96.0;

// X11 key-state bits of Caps Lock and (on common keymaps) Num Lock.
constexpr quint32 kX11LockMask = 0x02;
constexpr quint32 kX11Mod2Mask = 0x10;
// Ctrl+Pause on a PC keyboard: X11 reports the Break keysym, which Qt passes on as key 0, so no
// shortcut can name it.
constexpr quint32 kX11BreakKeysym = 0xFF6B;

// The application's style with two changes for the frame and its menus: the resizing edge
// between the bars and the editor is the docking bar's edge width, and a disabled menu item is
// highlighted under the pointer, so that its prompt shows too.
class FrameStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_DockWidgetSeparatorExtent) return kBarEdgeWidth;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_Menu_AllowActiveAndDisabled) return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

struct PaneDef {
    int id;
    const char* sizing;
};

// Left to right after the message pane; each pane is as wide as its sizing text.
constexpr PaneDef kPanes[] = {
    {cmd::IndicatorEncoding, "Shift_JIS CRLF"},
    {cmd::IndicatorCompiler, "LSIC86"},
    {cmd::IndicatorLine, " 行: 8888"},
    {cmd::IndicatorKana, "カナ"},
    {cmd::IndicatorCaps, "CAP"},
    {cmd::IndicatorNum, "NUM"},
    {cmd::IndicatorScroll, "SCRL"},
};

constexpr int kSavedBars[] = {kToolBarId, kStatusBarId, kOutputBarId};

} // namespace

QFont FontFromLogFont(const LogFont& lf) {
    QFont font = DefaultEditorFont();
    if (!lf.faceName.empty())
        font.setFamily(
            QString::fromLocal8Bit(lf.faceName.data(), static_cast<qsizetype>(lf.faceName.size())));
    if (lf.height != 0) font.setPointSizeF(std::abs(double(lf.height)) * 72.0 / kReferenceDpi);
    font.setWeight(lf.weight <= 0 ? QFont::Normal
                                  : static_cast<QFont::Weight>(std::min(lf.weight, 1000)));
    font.setItalic(lf.italic != 0);
    font.setUnderline(lf.underline != 0);
    font.setStrikeOut(lf.strikeOut != 0);
    switch (lf.pitchAndFamily & 0xF0) {
    case kFamilyRoman:
        font.setStyleHint(QFont::Serif);
        break;
    case kFamilySwiss:
        font.setStyleHint(QFont::SansSerif);
        break;
    case kFamilyScript:
        font.setStyleHint(QFont::Cursive);
        break;
    case kFamilyDecorative:
        font.setStyleHint(QFont::Decorative);
        break;
    default:
        // The editor paints on a fixed grid: a missing face falls back to a fixed-pitch one.
        font.setStyleHint(QFont::TypeWriter);
        break;
    }
    if ((lf.pitchAndFamily & 0x03) == kFixedPitch) font.setFixedPitch(true);
    if (lf.quality == kNonAntialiased)
        font.setStyleStrategy(QFont::NoAntialias);
    else if (lf.quality == kAntialiased)
        font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

LogFont LogFontFromFont(const QFont& font, const LogFont& fields) {
    LogFont lf = fields;
    if (font.pointSizeF() > 0)
        lf.height =
            -static_cast<std::int32_t>(std::lround(font.pointSizeF() * kReferenceDpi / 72.0));
    else if (font.pixelSize() > 0)
        lf.height = -font.pixelSize();
    lf.weight = static_cast<std::int32_t>(font.weight());
    lf.italic = font.italic() ? 1 : 0;
    lf.underline = font.underline() ? 1 : 0;
    lf.strikeOut = font.strikeOut() ? 1 : 0;
    lf.faceName = TruncateFaceName(font.family().toLocal8Bit().toStdString());
    return lf;
}

LogFont DefaultLogFontFields() {
    LogFont lf;
    lf.weight = 400;
    lf.charSet = kDefaultCharset;
    lf.pitchAndFamily = kFixedPitch | kFamilyModern;
    return lf;
}

CMainFrame::CMainFrame(CMyApp& app)
    : app_(app), prompts_(app.GetPrompts()),
      // Wayland announces the clipboard again at every return of the focus.
      clipboardRepeats_(QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
    InitMirekaResources();
    setObjectName(QStringLiteral("MainFrame"));
    setAcceptDrops(true);
    style_ = new FrameStyle;
    style_->setParent(this);
    setStyle(style_);

    // The frame and its view.
    view_ = new CMyView(this);
    setCentralWidget(view_);
    for (const auto& [id, prompt] : PromptDefs())
        commands_.SetPrompt(id, QString::fromUtf8(prompt));
    view_->RegisterCommands(commands_);

    // The bars, docked where a first start shows them; the menus' update rules look at them.
    CreateToolBar();
    CreateStatusBar();
    CreateOutputBar();
    RegisterFrameCommands();
    // Every text copied anywhere while the program runs; the one there now is the first.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &CMainFrame::CaptureClipboard);
    CaptureClipboard();
    BuildMenus();
    addToolBar(Qt::TopToolBarArea, toolBar_);
    addDockWidget(Qt::BottomDockWidgetArea, outputBar_);

    // Font and colours; the output window takes the editor's.
    const SettingsStore* store = GetProfileStore();
    const FrameSettings settings = store ? LoadFrameSettings(*store) : FrameSettings{};
    // A stored font this machine does not have (settings from another machine) would be
    // replaced by whatever the system picks, often a proportional one: the fallback instead.
    if (settings.font &&
        QFontDatabase::hasFamily(QString::fromStdString(settings.font->faceName))) {
        font_ = FontFromLogFont(*settings.font);
        fontFields_ = *settings.font;
    } else {
        font_ = DefaultEditorFont();
        fontFields_ = DefaultLogFontFields();
    }
    colours_ = settings.colours;
    outputBar_->SetOutputFont(font_);
    outputBar_->Edit()->SetOutputColors(colours_.text, colours_.background);

    LoadHintFile();
    // The manual viewer, hidden until asked for; it reads its index now.
    manual_ = new CManualCommand(*this);
    manual_->Register(commands_);
    if (settings.topMost) SetTopMost(true);
    SetToolchain(settings.toolchain);
    RestoreBarState();
    RebuildTemplateMenu();
    resize(800, 600);

    lockKeysFromEvents_ = QGuiApplication::platformName() == QLatin1String("xcb");
    qApp->installEventFilter(this);

    // Update rules run at idle time, as the toolbar and accelerators need current states.
    connect(&idle_, &QTimer::timeout, &commands_, &CommandTable::UpdateAll);
    idle_.start(kIdleUpdateMs);
    view_->setFocus();
}

CMainFrame::~CMainFrame() {
    DestroyWindow();
}

// ---- creation ------------------------------------------------------------------------------

void CMainFrame::CreateToolBar() {
    toolBar_ = new QToolBar(QStringLiteral("ツール バー"), this);
    toolBar_->setObjectName(QStringLiteral("Bar%1").arg(kToolBarId));
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar_->setContentsMargins(1, 1, 1, 1);
    for (const ToolbarItemDef& item : ToolbarDefs()) {
        if (item.id == 0) {
            toolBar_->addSeparator();
            continue;
        }
        // The text after the prompt's line break is the button's tooltip.
        const QString prompt = commands_.Prompt(item.id);
        const qsizetype nl = prompt.indexOf(u'\n');
        auto* action = new QAction(PngIcon(QString::fromUtf8(item.icon), {16, 32}),
                                   nl < 0 ? prompt : prompt.mid(nl + 1), toolBar_);
        action->setObjectName(QStringLiteral("ToolButton%1").arg(item.id));
        toolBar_->addAction(action);
        commands_.Bind(item.id, action);
    }
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("Bar%1").arg(kStatusBarId));
    messagePane_ = new QLabel(kIdleMessage, bar);
    // A long hint must not widen the window.
    messagePane_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar->addWidget(messagePane_, 1);
    for (const PaneDef& def : kPanes) {
        auto* pane = new QLabel(bar);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setAlignment(Qt::AlignCenter);
        const int text = pane->fontMetrics().horizontalAdvance(QString::fromUtf8(def.sizing));
        pane->setMinimumWidth(text + 2 * pane->frameWidth() + 6);
        bar->addPermanentWidget(pane);
        panes_.insert(def.id, pane);
    }
}

void CMainFrame::CreateOutputBar() {
    outputBar_ = new COutputBar(this);
}

void CMainFrame::AddItems(QMenu* menu, const std::vector<MenuItemDef>& items) {
    for (const MenuItemDef& item : items) {
        if (item.id == 0) {
            menu->addSeparator();
        } else if (item.id == MenuItemDef::kSubmenu) {
            QMenu* sub = menu->addMenu(QString::fromUtf8(item.text));
            sub->setStyle(style_);
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
        menu->setStyle(style_);
        if (!fileMenu_) fileMenu_ = menu;
        AddItems(menu, def.items);
        if (!def.items.empty() && def.items.front().id == cmd::TemplateAdd) templateMenu_ = menu;
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            if (menu == fileMenu_) RebuildRecentFileMenu();
            if (menu == templateMenu_) RebuildTemplateMenu();
            commands_.UpdateActions(menu->actions());
        });
    }
    // The encodings are one choice: radio items.
    auto* encodings = new QActionGroup(this);
    for (const int id : {cmd::ViewEncodingCp932, cmd::ViewEncodingUtf8})
        for (QAction* action : commands_.Actions(id)) {
            action->setCheckable(true);
            encodings->addAction(action);
        }
    // Accelerators are separate from the menu texts, which carry their own shortcut text.
    for (const AcceleratorDef& acc : AcceleratorDefs()) {
        auto* action = new QAction(this);
        action->setShortcut(acc.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        commands_.BindAccelerator(acc.id, action);
    }
    RebuildRecentFileMenu();
}

void CMainFrame::RegisterFrameCommands() {
    commands_.Register(
        cmd::ViewOutput, [this] { outputBar_->setVisible(outputBar_->isHidden()); },
        [this](CmdUI& ui) { ui.checked = !outputBar_->isHidden(); });
    commands_.Register(
        cmd::ViewTopMost, [this] { SetTopMost(!m_bTopMost); },
        [this](CmdUI& ui) { ui.checked = m_bTopMost; });
    commands_.Register(
        cmd::ViewToolbar, [this] { toolBar_->setVisible(toolBar_->isHidden()); },
        [this](CmdUI& ui) { ui.checked = !toolBar_->isHidden(); });
    commands_.Register(
        cmd::ViewStatusBar, [this] { statusBar()->setVisible(statusBar()->isHidden()); },
        [this](CmdUI& ui) { ui.checked = !statusBar()->isHidden(); });
    commands_.Register(cmd::NextPane, [this] { SwitchPane(); });
    commands_.Register(cmd::PrevPane, [this] { SwitchPane(); });
    commands_.Register(cmd::ViewFont, [this] { OnViewFont(); });
    const auto needText = [this](CmdUI& ui) { ui.enabled = view_->GetWindowTextLength() > 0; };
    commands_.Register(
        cmd::FilePrint, [this] { OnFilePrint(); }, needText);
    commands_.Register(
        cmd::FilePrintPreview, [this] { OnFilePrintPreview(); }, needText);
    commands_.Register(cmd::FilePrintSetup, [this] { OnFilePrintSetup(); });
    commands_.Register(cmd::TemplateAdd, [this] { OnAddTemplate(); });
    commands_.Register(cmd::HelpReadme, [this] { OnHelpReadme(); });
    commands_.Register(cmd::HelpHomePage, [this] { OnHomePage(); });
    commands_.Register(cmd::HelpCalculator, [this] { OnCalculator(); });
    commands_.Register(cmd::HelpShortcut, [this] { OnShortcut(); });
    commands_.Register(
        cmd::TemplateOrganize, [this] { OnOrganizeTemplates(); },
        [this](CmdUI& ui) { ui.enabled = !m_templateNames.empty(); });
}

void CMainFrame::CaptureClipboard() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    // An image or a list of files is not remembered.
    if (!data || !data->hasText()) return;
    std::vector<std::string> formats;
    for (const QString& f : data->formats())
        formats.push_back(f.toStdString());
    const QString text = data->text();
    if (!clipboardRepeats_.Take({text.toStdString(), std::move(formats),
                                 QGuiApplication::clipboard()->ownsClipboard()}))
        return;
    clipboardHistory_.push_front(text);
    if (clipboardHistory_.size() > kClipboardHistoryMax) clipboardHistory_.pop_back();
}

void CMainFrame::LoadHintFile() {
    const std::string path = FindDataFile(kHintFileName);
    if (auto lines = ReadHintFile(path, PlatformFileReader())) {
        hints_ = std::move(*lines);
        return;
    }
    prompts_.Message(this, QStringLiteral("LSIC86.TXT がありません。"), QMessageBox::Critical);
}

// ---- bar layout ------------------------------------------------------------------------------

// The layout is kept as the toolkit's own state, in hexadecimal, beside the list of the bars it
// places; the output bar's sizes go to their own section.
void CMainFrame::RestoreBarState() {
    const std::string bars = GetProfileString(kBarStateSummarySection, kBarStateBarsEntry);
    const std::string hex = GetProfileString(kBarStateSummarySection, kBarStateLayoutEntry);
    const auto ids = ParseBarIds(bars);
    if (!ids || !SavedBarsExist(*ids, kSavedBars) || hex.empty() || !IsHexText(hex)) return;
    outputBar_->LoadState(kBarStateProfile);
    restoreState(QByteArray::fromHex(QByteArray::fromStdString(hex)), kLayoutVersion);
    statusBar()->setVisible(GetProfileInt(kBarStateSummarySection, kStatusBarEntry, 1) != 0);
}

void CMainFrame::SaveBarState() {
    outputBar_->SaveState(kBarStateProfile);
    WriteProfileString(kBarStateSummarySection, kBarStateBarsEntry, FormatBarIds(kSavedBars));
    WriteProfileString(kBarStateSummarySection, kBarStateLayoutEntry,
                       saveState(kLayoutVersion).toHex().toStdString());
    WriteProfileInt(kBarStateSummarySection, kStatusBarEntry, statusBar()->isHidden() ? 0 : 1);
}

// ---- placement -------------------------------------------------------------------------------

WindowPlacement CMainFrame::Placement() const {
    WindowPlacement p;
    if (isMinimized())
        p.showCmd = kShowMinimized;
    else if (isMaximized())
        p.showCmd = kShowMaximized;
    else
        p.showCmd = kShowNormal;
    QRect r = normalGeometry();
    if (!r.isValid()) r = geometry();
    p.left = r.left();
    p.top = r.top();
    p.right = r.left() + r.width();
    p.bottom = r.top() + r.height();
    return p;
}

void CMainFrame::RestorePlacement() {
    const SettingsStore* store = GetProfileStore();
    const std::optional<WindowPlacement> p = store ? ReadWindowPosSetting(*store) : std::nullopt;
    if (!p) return;
    setGeometry(p->left, p->top, p->right - p->left, p->bottom - p->top);
    Qt::WindowStates state = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    switch (ShowStateOf(p->showCmd)) {
    case WindowShowState::Maximized:
        state |= Qt::WindowMaximized;
        break;
    case WindowShowState::Minimized:
        state |= Qt::WindowMinimized;
        break;
    case WindowShowState::Normal:
        break;
    }
    setWindowState(state);
}

void CMainFrame::setVisible(bool visible) {
    // Once per run, the first show brings back the stored placement and the bar's size.
    const bool first = visible && placementArmed_;
    if (first) {
        placementArmed_ = false;
        RestorePlacement();
    }
    QMainWindow::setVisible(visible);
    if (first) outputBar_->ApplyPlaceSize();
}

// ---- close and destroy -----------------------------------------------------------------------

void CMainFrame::closeEvent(QCloseEvent* event) {
    // Written before the save prompt: they stand even if the user cancels there.
    if (SettingsStore* store = GetProfileStore())
        SaveCloseSettings(*store, m_bTopMost, m_nToolchain);
    CMyDoc* doc = view_->GetDocument();
    if (doc && !doc->SaveModified()) {
        event->ignore();
        return;
    }
    idle_.stop();
    DestroyWindow();
    event->accept();
}

void CMainFrame::DestroyWindow() {
    if (destroyed_) return;
    destroyed_ = true;
    SaveBarState();
    if (SettingsStore* store = GetProfileStore()) {
        FrameSettings s;
        s.font = LogFontFromFont(font_, fontFields_);
        s.colours = colours_;
        s.windowPos = Placement();
        SaveDestroySettings(*store, s);
    }
}

// ---- status bar and hints --------------------------------------------------------------------

void CMainFrame::SetMessageText(const QString& text) {
    messagePane_->setText(text);
}

QString CMainFrame::MessageText() const {
    return messagePane_->text();
}

void CMainFrame::SetPaneText(int indicator, const QString& text) {
    if (QLabel* pane = panes_.value(indicator)) pane->setText(text);
}

QString CMainFrame::PaneText(int indicator) const {
    const QLabel* pane = panes_.value(indicator);
    return pane ? pane->text() : QString();
}

void CMainFrame::ShowHint(const QString& text) {
    if (text.isEmpty()) return;
    SetMessageText(text);
    messagePane_->repaint();
}

std::string CMainFrame::LookupHint(std::string_view word) const {
    return std::string(mireka::LookupHint(hints_, word));
}

bool CMainFrame::event(QEvent* event) {
    // Menu and toolbar prompts go to the message pane; leaving an item brings "レディ" back.
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        SetMessageText(tip.isEmpty() ? kIdleMessage : tip);
        return true;
    }
    return QMainWindow::event(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        if (const auto* key = static_cast<QKeyEvent*>(event);
            key->key() == 0 && key->nativeVirtualKey() == kX11BreakKeysym &&
            (key->modifiers() & Qt::ControlModifier)) {
            Commands().Execute(cmd::BuildStop);
            return true;
        }
        [[fallthrough]];
    case QEvent::KeyRelease:
        if (lockKeysFromEvents_)
            UpdateLockIndicators(static_cast<QKeyEvent*>(event)->nativeModifiers());
        break;
    case QEvent::StatusTip:
        // A pop-up menu not opened from the menu bar (a context menu) keeps its items' prompts
        // to itself, being a window of its own; they belong in the message pane too.
        if (qobject_cast<QMenu*>(watched)) {
            const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
            SetMessageText(tip.isEmpty() ? kIdleMessage : tip);
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::UpdateLockIndicators(quint32 state) {
    // X11 reports the lock keys in each key event's state; there is no kana lock and no fixed
    // bit for Scroll Lock, so those panes stay empty.
    SetPaneText(cmd::IndicatorCaps, (state & kX11LockMask) ? QStringLiteral("CAP") : QString());
    SetPaneText(cmd::IndicatorNum, (state & kX11Mod2Mask) ? QStringLiteral("NUM") : QString());
}

// ---- output ----------------------------------------------------------------------------------

void CMainFrame::ShowBuildOutput(const std::string& text) {
    outputBar_->Edit()->ReplaceText(OutputDisplayBytes(text));
}

void CMainFrame::AppendBuildOutput(std::string_view displayBytes) {
    outputBar_->Edit()->AppendText(displayBytes);
}

void CMainFrame::ShowBuildDisplay(std::string displayBytes, std::optional<std::size_t> kept) {
    outputBar_->Edit()->ReplaceText(displayBytes, kept);
}

// ---- font, colours, toolchain, always on top ---------------------------------------------------

void CMainFrame::OnViewFont() {
    CColorFontDlg dlg(font_, this);
    dlg.SetColors(colours_.keyword, colours_.comment, colours_.string, colours_.text,
                  colours_.background);
    if (RunModal(dlg) != QDialog::Accepted) return;
    EditorColours colours;
    colours.keyword = dlg.GetKeywordColor();
    colours.comment = dlg.GetCommentColor();
    colours.string = dlg.GetStringColor();
    colours.text = dlg.GetTextColor();
    colours.background = dlg.GetBackgroundColor();
    SetEditorFontAndColours(dlg.SelectedFont(), colours);
}

void CMainFrame::SetEditorFontAndColours(const QFont& font, const EditorColours& colours) {
    font_ = font;
    colours_ = colours;
    view_->OnUpdate();
    outputBar_->SetOutputFont(font_);
    outputBar_->Edit()->SetOutputColors(colours_.text, colours_.background);
}

void CMainFrame::SetToolchain(int kind) {
    m_nToolchain = kind;
    const std::string_view indicator = ToolchainIndicator(kind);
    SetPaneText(cmd::IndicatorCompiler,
                QString::fromUtf8(indicator.data(), static_cast<qsizetype>(indicator.size())));
}

void CMainFrame::SetTopMost(bool on) {
    if (m_bTopMost == on) return;
    m_bTopMost = on;
    // Changing a window flag hides a shown window; it comes back where it was.
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (shown) show();
}

void CMainFrame::SwitchPane() {
    // Two panes: the editor and, while it is shown, the output window.
    COutputEdit* output = outputBar_->Edit();
    if (!output->hasFocus() && !outputBar_->isHidden()) {
        output->activateWindow();
        output->setFocus(Qt::OtherFocusReason);
    } else {
        activateWindow();
        view_->setFocus(Qt::OtherFocusReason);
    }
}

// ---- recent files, title, drops --------------------------------------------------------------

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
        QString shown = DisplayPath(RecentFileList::AbbreviateName(items[i], kRecentDisplayChars));
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

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    std::vector<std::string> files;
    for (const QUrl& url : event->mimeData()->urls())
        if (std::string path = PathFromUrl(url); !path.empty()) files.push_back(std::move(path));
    event->acceptProposedAction();
    activateWindow();
    // Opened after the drop has finished, since the save prompt may run a dialog. With one
    // document, each file replaces the previous one.
    QTimer::singleShot(0, this, [this, files] {
        for (const std::string& f : files)
            app_.OpenDocumentFile(f);
    });
}

QWidget* CMainFrame::EditorWidget() const noexcept {
    return view_;
}

} // namespace mireka
