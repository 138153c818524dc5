// The main frame through the real application objects: menus, toolbar, status bar, settings
// kept across a restart, the bar layout, hints and the frame's own commands.
#include "core/app/FrameSettings.h"
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/base/CommandIds.h"
#include "gui/base/MenuDefs.h"
#include "gui/document/MyView.h"
#include "gui/document/OutputBar.h"
#include "gui/editor/Cp932.h"

#include "GuiTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFontMetrics>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>

namespace mireka {
namespace {

// Blue keywords, dark red comments, teal strings, black on white.
constexpr EditorColours kFirstStartColours{0xFF0000, 0x0000C0, 0x808000, 0x000000, 0xFFFFFF};

// The first Japanese monospace font of the machine (the test machine has Noto CJK), 14 points.
void ExpectFallbackFont(const QFont& font) {
    EXPECT_EQ(font.family(), "Noto Sans Mono CJK JP");
    EXPECT_EQ(font.pointSize(), 14);
    const QFontMetrics metrics(font);
    EXPECT_EQ(metrics.horizontalAdvance(u'i'), metrics.horizontalAdvance(u'W'));
}

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        QApplication::setQuitOnLastWindowClosed(false);
        ASSERT_TRUE(dir.isValid());
        QDir::setCurrent(dir.path());
    }
    // A new run of the program on the same settings.
    CMainFrame& Start() {
        app.reset();
        app = std::make_unique<CMyApp>();
        EXPECT_TRUE(app->InitInstance({}));
        QApplication::setActiveWindow(&Frame());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
        QApplication::processEvents();
        return Frame();
    }
    CMainFrame& Frame() { return *app->MainFrame(); }
    std::string Setting(std::string_view section, std::string_view entry) {
        return settings.store.ReadString(section, entry).value_or("<none>");
    }
    void Set(std::string_view entry, std::string_view value) {
        settings.store.WriteString("Settings", entry, value);
    }

    QTemporaryDir dir;
    test::PrivateSettings settings;
    test::FakePrompts prompts;
    std::unique_ptr<CMyApp> app;
};

// "—" for a separator; a submenu's title is followed by its items, indented.
QStringList MenuLines(const QMenu* menu, const QString& indent = {}) {
    QStringList lines;
    for (const QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            lines << indent + QStringLiteral("—");
        } else if (a->isVisible()) {
            lines << indent + a->text();
            if (a->menu()) lines << MenuLines(a->menu(), indent + QStringLiteral("  "));
        }
    }
    return lines;
}

TEST_F(FrameTest, MenuBarAndAcceleratorsAreExactlyThoseOfTheProgram) {
    CMainFrame& frame = Start();
    const std::vector<std::pair<QString, QStringList>> expected = {
        {"ファイル(&F)",
         {"新規作成(&N)\tCtrl+N", "開く(&O)...\tCtrl+O", "上書き保存(&S)\tCtrl+S",
          "名前を付けて保存(&A)...", "—", "HTML 出力(&H)...", "—", "印刷(&P)...\tCtrl+P",
          "印刷プレビュー(&V)", "プリンタの設定(&R)...", "—", "最近使ったファイル", "—",
          "アプリケーションの終了(&X)"}},
        {"編集(&E)",
         {"元に戻す(&U)\tCtrl+Z",
          "やり直し(&R)\tCtrl+Y",
          "—",
          "切り取り(&T)\tCtrl+X",
          "コピー(&C)\tCtrl+C",
          "貼り付け(&P)\tCtrl+V",
          "削除(&D)\tDel",
          "—",
          "1行削除(&Y)\tCtrl+D",
          "行末まで削除(&K)\tCtrl+K",
          "行頭から削除(&S)\tCtrl+U",
          "—",
          "すべて選択(&A)\tCtrl+A",
          "—",
          "検索(&F)...\tCtrl+F",
          "次を検索(&N)\tF3",
          "置換(&E)...\tCtrl+H",
          "—",
          "ジャンプ(&G)...\tCtrl+G",
          "—",
          "クリップボードの履歴(&B)..."}},
        {"表示(&V)",
         {"常に手前に表示(&M)", "—", "ツール バー(&T)", "ステータス バー(&S)", "アウトプット(&O)",
          "—", "オート インデント(&A)", "構文強調表示(&T)", "コンパイラのメッセージを解説(&X)",
          "全角空白を表示(&Z)", "—", "フォントの選択(&F)...", "タブ幅の設定(&W)...", "—",
          "文字コード変換(&C)", "UTF-8 から変換(&U)", "文字コード(&K)", "  Shift_JIS (CP932)",
          "  UTF-8"}},
        {"ビルド(&B)",
         {"コンパイル(&C)\tF7",
          "実行(&X)\tF5",
          "引数を指定して実行(&P)...",
          "—",
          "ソースレベルデバッグ用コンパイル(&S)",
          "デバッガの起動(&G)",
          "—",
          "レスポンスファイル(&O)",
          "  コンパイル(&C) ", // the name of the response file follows; none is chosen
          "  実行(&X)",
          "  引数を指定して実行(&P)...",
          "  —",
          "  レスポンスファイルの指定(&E)...",
          "—",
          "コマンドを実行(&R)...",
          "中止(&A)\tCtrl+Break",
          "DOS窓を開く(&D)",
          "—",
          "実行後にPAUSE(&U)",
          "PIF を作成して実行(&I)",
          "—",
          "LSI C-86 試食版 の設定(&L)...",
          "Borland C++ 5.5 の設定(&B)...",
          "VC++ Toolkit 2003 の設定(&V)...",
          "GCC の設定(&E)...",
          "—",
          "コンパイラの切り替え(&T)"}},
        {"ひな型(&T)", {"ひな型に追加(&A)...", "ひな型の整理(&O)...", "—"}},
        {"ヘルプ(&H)",
         {"お読み下さい(&R)", "ユーザーズ マニュアル(&M)", "Borland C++ ヘルプ(&B)", "—",
          "UMO のホーム ページ(&H)", "—", "ショートカットの作成(&S)...", "電卓の起動(&C)", "—",
          "レポート(&P)...", "バージョン情報(&A)..."}},
    };
    const QList<QAction*> menus = frame.menuBar()->actions();
    ASSERT_EQ(menus.size(), static_cast<qsizetype>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].first.toStdString());
        EXPECT_EQ(menus[static_cast<qsizetype>(i)]->text(), expected[i].first);
        EXPECT_EQ(MenuLines(menus[static_cast<qsizetype>(i)]->menu()), expected[i].second);
    }

    // Every accelerator key carries out its command.
    const std::vector<std::pair<QString, int>> keys = {
        {"Ctrl+A", 57642},
        {"Ctrl+Z", 57643},
        {"Alt+Backspace", 57643},
        {"Ctrl+C", 57634},
        {"Ctrl+Ins", 57634},
        {"Ctrl+Y", 57644},
        {"Ctrl+X", 57635},
        {"Shift+Del", 57635},
        {"Ctrl+V", 57637},
        {"Shift+Ins", 57637},
        {"Ctrl+D", 32786},
        {"Ctrl+K", 32788},
        {"Ctrl+Del", 32788},
        {"Ctrl+U", 32789},
        {"Ctrl+F", 57636},
        {"F3", 57640},
        {"Ctrl+H", 57641},
        {"Ctrl+G", 32775},
        {"Ctrl+N", 57600},
        {"Ctrl+O", 57601},
        {"Ctrl+S", 57603},
        {"Ctrl+P", 57607},
        {"F5", 32779},
        {"F7", 32776},
        {"Ctrl+Pause", 32822},
        {"F6", 57680},
        {"Shift+F6", 57681},
        {"Ctrl+Tab", 32818},
        {"Ctrl+Shift+Tab", 32819},
        {"Ctrl+Shift+Del", 32819},
    };
    std::map<QString, int> bound;
    for (const QAction* a : frame.actions())
        for (const QKeySequence& k : a->shortcuts())
            bound[k.toString(QKeySequence::PortableText)] = a->property("mirekaCommandId").toInt();
    for (const auto& [key, id] : keys) {
        ASSERT_TRUE(bound.count(key)) << key.toStdString();
        EXPECT_EQ(bound[key], id) << key.toStdString();
    }
}

TEST_F(FrameTest, FirstStartShowsTheBarsWithTheirDefaults) {
    MIREKA_REQUIRE_FONT("Noto Sans Mono CJK JP");
    // A pointer left on a toolbar button by an earlier test would show that button's prompt.
    QCursor::setPos(5000, 5000);
    ASSERT_EQ(QCursor::pos(), QPoint(5000, 5000));
    CMainFrame& frame = Start();
    EXPECT_TRUE(prompts.messages.empty()) << "the shipped hint file is found";
    // Toolbar at the top, output window docked at the bottom.
    ASSERT_TRUE(frame.ToolBar());
    EXPECT_EQ(frame.ToolBar()->windowTitle(), "ツール バー");
    EXPECT_EQ(frame.toolBarArea(frame.ToolBar()), Qt::TopToolBarArea);
    ASSERT_TRUE(frame.OutputBar());
    EXPECT_EQ(frame.OutputBar()->windowTitle(), "アウトプット ウィンドウ");
    EXPECT_EQ(frame.dockWidgetArea(frame.OutputBar()), Qt::BottomDockWidgetArea);
    EXPECT_TRUE(frame.OutputBar()->isVisible());
    EXPECT_TRUE(frame.OutputBar()->Edit()->IsReadOnly());
    EXPECT_EQ(frame.OutputBar()->Sizes().vert, (BarSize{100, 100}));
    EXPECT_NEAR(frame.OutputBar()->height(), 100, 2);
    // Font, colours, toolchain, status panes.
    ExpectFallbackFont(frame.EditorFont());
    EXPECT_EQ(frame.Colours(), kFirstStartColours);
    EXPECT_EQ(frame.OutputBar()->Edit()->EditorFont(), frame.EditorFont());
    EXPECT_FALSE(frame.IsTopMost());
    // A first start selects GCC where one is found on PATH, else LSI C-86.
    const bool gcc = !frame.View()->GetBuildSettings().m_strGccPath.empty();
    EXPECT_EQ(frame.Toolchain(), gcc ? 3 : 1);
    EXPECT_EQ(frame.PaneText(cmd::IndicatorCompiler), gcc ? "GCC" : "LSIC86");
    EXPECT_EQ(frame.MessageText(), "レディ");

    // 25 positions: buttons with drawn icons and their prompt's tooltip, separators between.
    const QList<QAction*> buttons = frame.ToolBar()->actions();
    const std::vector<ToolbarItemDef>& defs = ToolbarDefs();
    ASSERT_EQ(buttons.size(), 25);
    const std::vector<int> ids = {57600, 57601, 57603, 0,     57635, 57634, 57637, 57643, 57644,
                                  57636, 0,     32776, 32779, 32797, 32806, 32805, 32784, 32822,
                                  32787, 32798, 0,     57607, 0,     32791, 57664};
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const int id = ids[static_cast<std::size_t>(i)];
        EXPECT_EQ(defs[static_cast<std::size_t>(i)].id, id);
        EXPECT_EQ(buttons[i]->isSeparator(), id == 0);
        if (id == 0) continue;
        const QString prompt = frame.Commands().Prompt(id);
        ASSERT_TRUE(prompt.contains(u'\n'));
        EXPECT_EQ(buttons[i]->toolTip(), prompt.section(u'\n', 1));
        EXPECT_EQ(buttons[i]->statusTip(), prompt.section(u'\n', 0, 0));
        for (int px : {16, 32}) {
            const QImage image = buttons[i]->icon().pixmap(px, px).toImage();
            ASSERT_FALSE(image.isNull());
            int inked = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    inked += qAlpha(image.pixel(x, y)) > 128;
            EXPECT_GT(inked, px * px / 8) << "the icon is drawn at " << px << " px";
        }
    }
}

TEST_F(FrameTest, EveryCommandOfMenusToolbarAndKeysHasAPrompt) {
    CMainFrame& frame = Start();
    std::vector<int> ids;
    std::function<void(const std::vector<MenuItemDef>&)> collect =
        [&](const std::vector<MenuItemDef>& items) {
            for (const MenuItemDef& item : items) {
                if (item.id == MenuItemDef::kSubmenu)
                    collect(item.sub);
                else if (item.id != 0)
                    ids.push_back(item.id);
            }
        };
    for (const MenuDef& menu : MainMenuDefs())
        collect(menu.items);
    collect(ContextMenuDefs());
    for (const AcceleratorDef& acc : AcceleratorDefs())
        ids.push_back(acc.id);
    for (const ToolbarItemDef& item : ToolbarDefs())
        if (item.id != 0) ids.push_back(item.id);
    for (int id : ids)
        EXPECT_FALSE(frame.Commands().Prompt(id).isEmpty()) << id;
    // Commands whose parts are not here yet are shown, disabled.
    frame.Commands().UpdateAll();
    for (QAction* a : frame.Commands().Actions(cmd::HelpManual))
        EXPECT_FALSE(a->isEnabled());
}

TEST_F(FrameTest, HoveringAMenuItemShowsItsPromptAndLeavingItShowsReady) {
    CMainFrame& frame = Start();
    QAction* viewMenu = frame.menuBar()->actions()[2];
    QTest::mouseClick(frame.menuBar(), Qt::LeftButton, {},
                      frame.menuBar()->actionGeometry(viewMenu).center());
    QMenu* view = viewMenu->menu();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    QAction* output = frame.Commands().Actions(cmd::ViewOutput).front();
    // What the menu does when the pointer comes over an item (a pointer move alone counts only
    // once it has travelled a little since the menu opened).
    view->setActiveAction(output);
    EXPECT_EQ(frame.MessageText(), "アウトプット ウィンドウの 表示/非表示");
    // A disabled item (no text to convert) shows its prompt as well.
    QAction* convert = frame.Commands().Actions(cmd::ViewCodeConvert).front();
    ASSERT_FALSE(convert->isEnabled());
    view->setActiveAction(convert);
    EXPECT_EQ(frame.MessageText(), "日本語文字コードの自動変換");
    view->hide();
    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(&frame, &leave);
    EXPECT_EQ(frame.MessageText(), "レディ");
    // So do the items of a context menu.
    QMenu context;
    QAction* item = context.addAction("x");
    item->setStatusTip("context prompt");
    context.popup(frame.mapToGlobal(QPoint(100, 100)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&context));
    context.setActiveAction(item);
    EXPECT_EQ(frame.MessageText(), "context prompt");
    context.hide();
    // A hint shows in the same pane; an empty one changes nothing.
    frame.ShowHint("int printf(const char *format, ...);");
    frame.ShowHint({});
    EXPECT_EQ(frame.MessageText(), "int printf(const char *format, ...);");
}

TEST_F(FrameTest, StoredSettingsComeBackAndAreWrittenInTheirFormats) {
    MIREKA_REQUIRE_FONT("Noto Sans Mono CJK JP");
    Set("Font", "-27,0,0,0,700,1,0,0,128,3,2,1,49");
    Set("Font-Family", "Noto Sans Mono CJK JP");
    Set("Colors", "0000ff,00FF00,123456");
    Set("Editor", "EEEEEE,101010");
    settings.store.WriteInt("Settings", "TopMost", 5);
    settings.store.WriteInt("Settings", "IsLCC", 2);
    CMainFrame& frame = Start();
    EXPECT_EQ(frame.EditorFont().family(), "Noto Sans Mono CJK JP");
    EXPECT_DOUBLE_EQ(frame.EditorFont().pointSizeF(), 20.25);
    EXPECT_EQ(frame.EditorFont().weight(), QFont::Bold);
    EXPECT_TRUE(frame.EditorFont().italic());
    EXPECT_EQ(frame.Colours().keyword, 0x0000FFu);
    EXPECT_EQ(frame.Colours().string, 0x123456u);
    EXPECT_EQ(frame.Colours().text, 0xEEEEEEu);
    EXPECT_EQ(frame.Colours().background, 0x101010u);
    EXPECT_EQ(frame.OutputBar()->Edit()->TextColour(), 0xEEEEEEu);
    EXPECT_EQ(frame.OutputBar()->Edit()->BackgroundColour(), 0x101010u);
    EXPECT_EQ(frame.OutputBar()->Edit()->EditorFont(), frame.EditorFont());
    EXPECT_EQ(frame.View()->EditorFont(), frame.EditorFont());
    EXPECT_TRUE(frame.IsTopMost()) << "any non-zero TopMost is on";
    EXPECT_TRUE(frame.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(frame.Toolchain(), 2);
    EXPECT_EQ(frame.PaneText(cmd::IndicatorCompiler), "VCTK");

    frame.SetToolchain(3);
    EXPECT_EQ(frame.PaneText(cmd::IndicatorCompiler), "GCC");
    ASSERT_TRUE(frame.close());
    EXPECT_EQ(Setting("Settings", "Font"), "-27,0,0,0,700,1,0,0,128,3,2,1,49");
    EXPECT_EQ(Setting("Settings", "Font-Family"), "Noto Sans Mono CJK JP");
    EXPECT_EQ(Setting("Settings", "Colors"), "0000FF,00FF00,123456");
    EXPECT_EQ(Setting("Settings", "Editor"), "EEEEEE,101010");
    EXPECT_EQ(settings.store.ReadInt("Settings", "TopMost"), 8);
    EXPECT_EQ(settings.store.ReadInt("Settings", "IsLCC"), 3);
}

TEST_F(FrameTest, AStoredFontThisMachineLacksGivesTheFallbackFont) {
    MIREKA_REQUIRE_FONT("Noto Sans Mono CJK JP");
    Set("Font", "-27,0,0,0,400,0,0,0,128,3,2,1,49");
    Set("Font-Family", "No Such Font Anywhere");
    ExpectFallbackFont(Start().EditorFont());
}

TEST_F(FrameTest, UnparsableSettingsKeepTheDefaults) {
    MIREKA_REQUIRE_FONT("Noto Sans Mono CJK JP");
    Set("Font", "-27,0,0,0,700,1,0,0,128,3,2,1"); // twelve numbers
    Set("Font-Family", "Noto Serif CJK JP");
    Set("Colors", "0000FF,00FF00");
    Set("Editor", "EEEEEE,10101G");
    Set("WindowPos", "1,10,10,500");
    CMainFrame& frame = Start();
    ExpectFallbackFont(frame.EditorFont());
    EXPECT_EQ(frame.Colours(), kFirstStartColours);
    EXPECT_FALSE(frame.isMaximized());
    ASSERT_TRUE(frame.close());
    // The fallback font is written back in full: 14 points on a 96-dpi screen, fixed pitch.
    EXPECT_EQ(Setting("Settings", "Font"), "-19,0,0,0,400,0,0,0,1,0,0,0,49");
    EXPECT_EQ(Setting("Settings", "Font-Family"), "Noto Sans Mono CJK JP");
    EXPECT_EQ(Setting("Settings", "Colors"), "FF0000,0000C0,808000");
    EXPECT_EQ(Setting("Settings", "Editor"), "000000,FFFFFF");
}

TEST_F(FrameTest, CancellingTheSavePromptStillWritesTopMostAndToolchain) {
    CMainFrame& frame = Start();
    ASSERT_TRUE(frame.Commands().Execute(cmd::ViewTopMost));
    EXPECT_TRUE(frame.IsTopMost());
    EXPECT_TRUE(frame.isVisible()) << "switching always-on-top keeps the window shown";
    frame.SetToolchain(0);
    QTest::keyClicks(frame.View(), "x");
    prompts.answers = {QMessageBox::Cancel};
    EXPECT_FALSE(frame.close());
    EXPECT_TRUE(frame.isVisible());
    EXPECT_EQ(settings.store.ReadInt("Settings", "TopMost"), 8);
    EXPECT_EQ(settings.store.ReadInt("Settings", "IsLCC"), 0);
    EXPECT_EQ(Setting("Settings", "Font"), "<none>") << "the rest waits for the window's end";

    ASSERT_TRUE(frame.Commands().Execute(cmd::ViewTopMost));
    prompts.answers = {QMessageBox::No};
    EXPECT_TRUE(frame.close());
    EXPECT_EQ(settings.store.ReadInt("Settings", "TopMost"), 0);
    EXPECT_NE(Setting("Settings", "Font"), "<none>");
}

TEST_F(FrameTest, MaximisedComesBackMaximisedAndMinimisedComesBackNormal) {
    CMainFrame& first = Start();
    first.showNormal();
    first.setGeometry(100, 120, 640, 480);
    first.showMaximized();
    ASSERT_TRUE(first.close());
    EXPECT_EQ(Setting("Settings", "WindowPos"), "3,100,120,740,600");

    CMainFrame& second = Start();
    EXPECT_TRUE(second.isMaximized());
    EXPECT_EQ(second.normalGeometry(), QRect(100, 120, 640, 480));
    second.showNormal();
    second.setGeometry(50, 60, 500, 400);
    second.showMinimized();
    ASSERT_TRUE(second.close());
    EXPECT_EQ(Setting("Settings", "WindowPos"), "1,50,60,550,460");

    CMainFrame& third = Start();
    EXPECT_FALSE(third.isMinimized());
    EXPECT_FALSE(third.isMaximized());
    EXPECT_EQ(third.geometry(), QRect(50, 60, 500, 400));
}

TEST_F(FrameTest, BarLayoutAndSizesSurviveARestart) {
    CMainFrame& first = Start();
    COutputBar* bar = first.OutputBar();
    first.addDockWidget(Qt::LeftDockWidgetArea, bar);
    QApplication::processEvents();
    first.resizeDocks({bar}, {250}, Qt::Horizontal);
    EXPECT_EQ_SOON(bar->width(), 250);
    ASSERT_TRUE(first.Commands().Execute(cmd::ViewToolbar));
    ASSERT_TRUE(first.Commands().Execute(cmd::ViewStatusBar));
    EXPECT_EQ(bar->Sizes().vert.cx, 250);
    EXPECT_EQ(bar->Sizes().horz.cy, 100) << "the size of the other place is kept";
    ASSERT_TRUE(first.close());
    EXPECT_EQ(Setting("BarState-Summary", "Bars"), "59392,59393,124");
    EXPECT_EQ(settings.store.ReadInt("BarState-SCBar-124", "sizeVertCX"), 250);
    EXPECT_EQ(settings.store.ReadInt("BarState-SCBar-124", "sizeHorzCY"), 100);

    CMainFrame& second = Start();
    EXPECT_EQ(second.dockWidgetArea(second.OutputBar()), Qt::LeftDockWidgetArea);
    EXPECT_TRUE(second.ToolBar()->isHidden());
    EXPECT_TRUE(second.statusBar()->isHidden());
    EXPECT_EQ_SOON(second.OutputBar()->width(), 250);
    second.Commands().UpdateAll();
    EXPECT_FALSE(second.Commands().Actions(cmd::ViewToolbar).front()->isChecked());
    EXPECT_TRUE(second.Commands().Actions(cmd::ViewOutput).front()->isChecked());
    // Each place keeps its own size: floating, then docked at the left again.
    COutputBar* bar2 = second.OutputBar();
    bar2->setFloating(true);
    EXPECT_EQ_SOON(bar2->size(), QSize(100, 100));
    bar2->resize(300, 150);
    EXPECT_EQ_SOON(bar2->Sizes().floating, (BarSize{300, 150}));
    bar2->setFloating(false);
    EXPECT_EQ_SOON(second.dockWidgetArea(bar2), Qt::LeftDockWidgetArea);
    EXPECT_EQ_SOON(bar2->width(), 250);
    ASSERT_TRUE(second.close());
    EXPECT_EQ(settings.store.ReadInt("BarState-SCBar-124", "sizeFloatCX"), 300);

    // A layout naming a bar this program does not have is ignored with the sizes saved with it.
    settings.store.WriteString("BarState-Summary", "Bars", "59392,59393,124,125");
    settings.store.WriteInt("BarState-SCBar-124", "sizeHorzCY", 300);
    CMainFrame& third = Start();
    EXPECT_EQ(third.dockWidgetArea(third.OutputBar()), Qt::BottomDockWidgetArea);
    EXPECT_FALSE(third.ToolBar()->isHidden());
    EXPECT_EQ(third.OutputBar()->Sizes().horz.cy, 100);
    ASSERT_TRUE(third.close());

    // A stored size below its minimum is read as the minimum.
    settings.store.WriteInt("BarState-SCBar-124", "sizeHorzCY", 10);
    CMainFrame& fourth = Start();
    EXPECT_EQ(fourth.OutputBar()->Sizes().horz.cy, 32);
}

TEST_F(FrameTest, FrameCommandsToggleTheBarsAndThePanes) {
    CMainFrame& frame = Start();
    CommandTable& commands = frame.Commands();
    QAction* output = commands.Actions(cmd::ViewOutput).front();
    commands.UpdateAll();
    EXPECT_TRUE(output->isChecked());
    // The close box on the gripper hides the bar; the command brings it back.
    COutputBar* bar = frame.OutputBar();
    QTest::mouseClick(bar->Gripper(), Qt::LeftButton, {}, bar->CloseButtonRect().center());
    EXPECT_TRUE(bar->isHidden());
    commands.UpdateAll();
    EXPECT_FALSE(output->isChecked());
    ASSERT_TRUE(commands.Execute(cmd::ViewOutput));
    EXPECT_FALSE(bar->isHidden());

    // F6 and Shift+F6 move between the editor and the output window.
    frame.View()->setFocus();
    QTest::keyClick(frame.View(), Qt::Key_F6);
    EXPECT_TRUE(bar->Edit()->hasFocus());
    QTest::keyClick(bar->Edit(), Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_TRUE(frame.View()->hasFocus());
    // With the output window hidden the editor keeps the focus.
    ASSERT_TRUE(commands.Execute(cmd::ViewOutput));
    QTest::keyClick(frame.View(), Qt::Key_F6);
    EXPECT_TRUE(frame.View()->hasFocus());
}

TEST_F(FrameTest, ADisabledCommandIsNotCarriedOutThroughItsKeyOrButton) {
    CMainFrame& frame = Start();
    QSignalSpy executed(&frame.Commands(), &CommandTable::Executed);
    CMyView* view = frame.View();
    QTest::keyClicks(view, "abc");
    view->SetSel(0, 2);
    frame.Commands().UpdateAll(); // the copy key and button are enabled now
    view->SetSel(0, 0);           // and the rule disables copying before the next idle update
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    for (QAction* a : frame.Commands().Actions(cmd::EditCopy))
        a->trigger();
    // With no toolchain configured the compile key and button are disabled.
    view->GetBuildSettings().m_strGccPath.clear();
    QTest::keyClick(view, Qt::Key_F7);
    for (QAction* a : frame.Commands().Actions(cmd::BuildCompile))
        a->trigger();
    for (const QList<QVariant>& call : executed) {
        EXPECT_NE(call.at(0).toInt(), cmd::EditCopy);
        EXPECT_NE(call.at(0).toInt(), cmd::BuildCompile);
    }
    // An enabled one does run through its key.
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    ASSERT_FALSE(executed.isEmpty());
    EXPECT_EQ(executed.last().at(0).toInt(), cmd::EditSelectAll);
}

TEST_F(FrameTest, AKeyPressedRightAfterAChangeFollowsTheNewState) {
    CMainFrame& frame = Start();
    CMyView* view = frame.View();
    frame.Commands().UpdateAll(); // nothing to undo: the undo item is disabled
    for (QAction* a : frame.Commands().Actions(cmd::EditUndo)) {
        if (a->property("mirekaMenuItem").toBool()) {
            EXPECT_FALSE(a->isEnabled());
        }
    }
    // Typing and undoing faster than idle time updates the items.
    QTest::keyClicks(view, "ab");
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(view->GetWindowText(), "");
    QTest::keyClick(view, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(view->GetWindowText(), "ab");
}

TEST_F(FrameTest, TheOutputWindowCopiesItsOwnSelection) {
    CMainFrame& frame = Start();
    QTest::keyClicks(frame.View(), "editor");
    frame.View()->SetSel(0, 6);
    frame.Commands().UpdateAll(); // the frame's copy key is enabled for the editor's selection
    frame.ShowBuildOutput("hello.c(3): error");
    COutputEdit* out = frame.OutputBar()->Edit();
    out->setFocus();
    QTest::keyClick(out, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(out, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("hello.c(3): error"));
}

TEST_F(FrameTest, HintsComeFromTheShippedFile) {
    CMainFrame& frame = Start();
    EXPECT_EQ(cp932::Decode(frame.LookupHint("printf")),
              "int printf(const char *format, ...); 書式付きで標準出力に出力");
    EXPECT_EQ(frame.LookupHint("Printf"), "");
    EXPECT_EQ(frame.LookupHint("no_such_function"), "");
}

TEST_F(FrameTest, AMissingHintFileIsReportedOnceAndHintsStayEmpty) {
    QTemporaryDir empty;
    const QByteArray saved = qgetenv("MIREKA_PROGRAM_DIR");
    qputenv("MIREKA_PROGRAM_DIR", empty.path().toLocal8Bit());
    CMainFrame& frame = Start();
    qputenv("MIREKA_PROGRAM_DIR", saved);
    // The manual's index, missing from the same folder, is told next.
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[0].text, "LSIC86.TXT がありません。");
    EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(prompts.messages[1].text, "LSICMAN.TXT がありません。");
    EXPECT_EQ(prompts.messages[1].icon, QMessageBox::Critical);
    EXPECT_TRUE(frame.HintLines().empty());
    EXPECT_EQ(frame.LookupHint("printf"), "");
}

} // namespace
} // namespace mireka
