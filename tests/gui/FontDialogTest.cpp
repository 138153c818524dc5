// The font and colour dialog on its own and through the frame's フォントの選択 command.
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/base/CommandIds.h"
#include "gui/base/DialogRunner.h"
#include "gui/document/MyView.h"
#include "gui/document/OutputBar.h"
#include "gui/editor/ColorFontDlg.h"
#include "gui/editor/LineNumberWnd.h"
#include "gui/widgets/ColorPicker.h"

#include "GuiTestSupport.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace mireka {
namespace {

TEST(ColorFontDlg, OffersOnlyFixedPitchFontsAndTheFiveColours) {
    MIREKA_REQUIRE_FONT("Noto Sans Mono CJK JP");
    CColorFontDlg dlg(QFont(QStringLiteral("Noto Sans Mono CJK JP"), 14));
    EXPECT_EQ(dlg.windowTitle(), "エディタ フォントの設定");
    QStringList families;
    for (int i = 0; i < dlg.FamilyList()->count(); ++i)
        families << dlg.FamilyList()->item(i)->text();
    EXPECT_TRUE(families.contains("Noto Sans Mono CJK JP")) << "Japanese monospace fonts too";
    EXPECT_FALSE(families.contains("Noto Sans CJK JP")) << "proportional fonts are not offered";
    for (const QString& f : families) {
        EXPECT_FALSE(f.startsWith(u'@')) << f.toStdString();
        EXPECT_TRUE(CColorFontDlg::IsOffered(f)) << f.toStdString();
    }
    EXPECT_EQ(dlg.FamilyList()->currentItem()->text(), "Noto Sans Mono CJK JP");
    EXPECT_EQ(dlg.SizeList()->currentItem()->text(), "14");
    EXPECT_EQ(dlg.StyleList()->currentItem()->text(), "標準") << "style names in Japanese";
    EXPECT_TRUE(dlg.Sample()->text().startsWith("AaBbYyZz"));
    QStringList labels;
    for (const QLabel* l : dlg.findChild<QGroupBox*>()->parentWidget()->findChildren<QLabel*>())
        labels << l->text();
    for (const char* label : {"テキスト:", "背景色:", "キーワード:", "コメント:", "ストリング:"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(label))) << label;
    bool group = false;
    for (const QGroupBox* g : dlg.findChildren<QGroupBox*>())
        group = group || g->title() == "構文強調表示";
    EXPECT_TRUE(group);

    // The colours go to the pickers when the dialog shows, in SetColors' order.
    dlg.SetColors(1, 2, 3, 4, 5);
    dlg.show();
    EXPECT_EQ(dlg.Picker(CColorFontDlg::kKeyword)->GetBkColour(), 1u);
    EXPECT_EQ(dlg.Picker(CColorFontDlg::kComment)->GetBkColour(), 2u);
    EXPECT_EQ(dlg.Picker(CColorFontDlg::kString)->GetBkColour(), 3u);
    EXPECT_EQ(dlg.Picker(CColorFontDlg::kText)->GetBkColour(), 4u);
    EXPECT_EQ(dlg.Picker(CColorFontDlg::kBackground)->GetBkColour(), 5u);
}

class FontCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        QApplication::setQuitOnLastWindowClosed(false);
        ASSERT_TRUE(dir.isValid());
        QDir::setCurrent(dir.path());
        app = std::make_unique<CMyApp>();
        ASSERT_TRUE(app->InitInstance({}));
    }
    void TearDown() override { SetDialogRunner({}); }
    CMainFrame& Frame() { return *app->MainFrame(); }
    // Answers the dialog: 20 points, red keywords through the keyword picker's palette, and
    // then OK or Cancel.
    void Answer(bool ok) {
        SetDialogRunner([ok](QDialog& d) {
            auto& dlg = dynamic_cast<CColorFontDlg&>(d);
            dlg.show();
            EXPECT_EQ(dlg.Picker(CColorFontDlg::kKeyword)->GetBkColour(), 0xFF0000u);
            dlg.SizeList()->setCurrentItem(dlg.SizeList()->findItems("20", Qt::MatchExactly)[0]);
            CColorPicker* keyword = dlg.Picker(CColorFontDlg::kKeyword);
            QTest::mouseClick(keyword, Qt::LeftButton);
            EXPECT_TRUE(keyword->Popup());
            if (keyword->Popup()) {
                for (int i = 0; i < 3; ++i) // from blue (cell 13) to red (cell 16)
                    QTest::keyClick(keyword->Popup(), Qt::Key_Right);
                QTest::keyClick(keyword->Popup(), Qt::Key_Return);
            }
            QTest::mouseClick(ok ? dlg.OkButton() : dlg.CancelButton(), Qt::LeftButton);
            return dlg.result();
        });
    }

    QTemporaryDir dir;
    test::PrivateSettings settings;
    test::FakePrompts prompts;
    std::unique_ptr<CMyApp> app;
};

TEST_F(FontCommandTest, OkAppliesEverywhereAndIsKeptCancelChangesNothing) {
    const QFont before = Frame().EditorFont();
    const EditorColours coloursBefore = Frame().Colours();
    Answer(false);
    ASSERT_TRUE(Frame().Commands().Execute(cmd::ViewFont));
    EXPECT_EQ(Frame().EditorFont(), before);
    EXPECT_EQ(Frame().Colours(), coloursBefore);

    // The window is up, as when the user opens the dialog.
    Frame().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
    QTest::qWait(50);
    const int heightBefore = Frame().View()->LineNumberWnd()->RowHeightAtPaint();
    Answer(true);
    ASSERT_TRUE(Frame().Commands().Execute(cmd::ViewFont));
    EXPECT_EQ(Frame().EditorFont().pointSize(), 20);
    EXPECT_EQ(Frame().Colours().keyword, 0x0000FFu) << "red, from the palette";
    EXPECT_EQ(Frame().View()->EditorFont(), Frame().EditorFont());
    EXPECT_EQ(Frame().OutputBar()->Edit()->EditorFont(), Frame().EditorFont());
    // The gutter's rows follow the new line height at the next paint.
    EXPECT_NE(Frame().View()->LineHeight(), heightBefore);
    EXPECT_EQ_SOON(Frame().View()->LineNumberWnd()->RowHeightAtPaint(),
                   Frame().View()->LineHeight());
    // Kept for the next start.
    ASSERT_TRUE(Frame().close());
    app.reset();
    EXPECT_EQ(settings.store.ReadString("Settings", "Colors"), "0000FF,0000C0,808000");
    EXPECT_EQ(settings.store.ReadString("Settings", "Font").value_or("").substr(0, 4), "-27,");
}

// A stored height between the list's sizes and a family the list would not offer come back
// unchanged from OK; picking only another family keeps the size.
TEST(FontCommandStoredTest, OkWithoutAPickKeepsTheFontItWasGiven) {
    MIREKA_REQUIRE_FONT("Noto Sans Mono CJK JP");
    MIREKA_REQUIRE_FONT("Noto Sans CJK JP");
    struct Case {
        const char* family;
        bool pickFamily;
        const char* storedFamily;
    };
    for (const Case c : {Case{"Noto Sans CJK JP", false, "Noto Sans CJK JP"},
                         Case{"Noto Sans CJK JP", true, "Noto Sans Mono CJK JP"}}) {
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        test::PrivateSettings settings;
        test::FakePrompts prompts;
        settings.store.WriteString("Settings", "Font", "-17,0,0,0,400,0,0,0,128,3,2,1,49");
        settings.store.WriteString("Settings", "Font-Family", c.family);
        auto app = std::make_unique<CMyApp>();
        ASSERT_TRUE(app->InitInstance({}));
        SetDialogRunner([&c](QDialog& d) {
            auto& dlg = dynamic_cast<CColorFontDlg&>(d);
            dlg.show();
            EXPECT_EQ(dlg.FamilyList()->currentItem()->text(), c.family);
            EXPECT_EQ(dlg.SizeList()->currentItem()->text(), "12.75");
            if (c.pickFamily)
                dlg.FamilyList()->setCurrentItem(
                    dlg.FamilyList()->findItems("Noto Sans Mono CJK JP", Qt::MatchExactly)[0]);
            QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
            return dlg.result();
        });
        EXPECT_TRUE(app->MainFrame()->Commands().Execute(cmd::ViewFont));
        SetDialogRunner({});
        ASSERT_TRUE(app->MainFrame()->close());
        app.reset();
        EXPECT_EQ(settings.store.ReadString("Settings", "Font").value_or("").substr(0, 4), "-17,")
            << c.pickFamily;
        EXPECT_EQ(settings.store.ReadString("Settings", "Font-Family"), c.storedFamily);
    }
}

} // namespace
} // namespace mireka
