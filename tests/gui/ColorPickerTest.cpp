// The colour picker and its palette, driven with the mouse and the keyboard.
#include "gui/widgets/ColorPicker.h"
#include "gui/base/DialogRunner.h"

#include "GuiTestSupport.h"

#include <QColorDialog>
#include <QHelpEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

namespace mireka {
namespace {

class ColorPickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(300, 200);
        picker = new CColorPicker(&window);
        picker->setGeometry(10, 10, 80, 26);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override { SetDialogRunner({}); }
    CColorPopup* Open() {
        QTest::mouseClick(picker, Qt::LeftButton);
        return picker->Popup();
    }
    QWidget window;
    CColorPicker* picker = nullptr;
    // The notifications in the order they came, by their numbers.
    std::vector<std::pair<int, Colour>> events;
    void Listen() {
        const auto note = [this](int code) {
            return [this, code](Colour c) { events.emplace_back(code, c); };
        };
        QObject::connect(picker, &CColorPicker::SelChange, picker, note(2025));
        QObject::connect(picker, &CColorPicker::DropDown, picker, note(2026));
        QObject::connect(picker, &CColorPicker::CloseUp, picker, note(2027));
        QObject::connect(picker, &CColorPicker::SelEndOk, picker, note(2028));
        QObject::connect(picker, &CColorPicker::SelEndCancel, picker, note(2029));
    }
};

using Events = std::vector<std::pair<int, Colour>>;
constexpr Colour kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x009300, kTeal = 0x8E8E38;

TEST_F(ColorPickerTest, KeysMoveAndEscapeRestoresTheColourItHad) {
    picker->SetBkColour(kRed);
    picker->SetTrackSelection(true);
    Listen();
    CColorPopup* popup = Open();
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->HotCell(), 16);
    EXPECT_EQ(popup->ChosenCell(), 16);
    QTest::keyClick(popup, Qt::Key_Right);
    QTest::keyClick(popup, Qt::Key_Up);
    EXPECT_EQ(popup->HotCell(), 7);
    EXPECT_EQ(picker->GetBkColour(), 0x282828u) << "track selection recolours while moving";
    QTest::keyClick(popup, Qt::Key_Escape);
    EXPECT_FALSE(picker->IsActive());
    EXPECT_EQ(picker->GetBkColour(), kRed);
    EXPECT_EQ(
        events,
        (Events{{2026, kRed}, {2025, 0x5BADFF}, {2025, 0x282828}, {2027, kRed}, {2029, kRed}}));
}

TEST_F(ColorPickerTest, TheMouseChoosesAndReleasingOutsideCancels) {
    picker->SetBkColour(kRed);
    Listen();
    CColorPopup* popup = Open();
    QTest::mouseMove(popup, popup->CellCentre(13));
    EXPECT_EQ(popup->HotCell(), 13);
    EXPECT_EQ(picker->GetBkColour(), kRed) << "without track selection the button waits";
    QTest::mouseRelease(popup, Qt::LeftButton, {}, popup->CellCentre(13));
    EXPECT_EQ(picker->GetBkColour(), kBlue);
    EXPECT_EQ(events, (Events{{2026, kRed}, {2025, kBlue}, {2027, kBlue}, {2028, kBlue}}));

    events.clear();
    popup = Open();
    QTest::mouseMove(popup, popup->CellCentre(11));
    QTest::mouseRelease(popup, Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_EQ(picker->GetBkColour(), kBlue);
    EXPECT_EQ(events.back(), (std::pair<int, Colour>{2029, kBlue}));

    // In text mode the caption colour is the one chosen; Enter accepts the hot cell.
    picker->SetSelectionMode(CColorPicker::SelectionMode::Text);
    picker->SetTextColour(kGreen);
    popup = Open();
    EXPECT_EQ(popup->HotCell(), 11);
    QTest::keyClick(popup, Qt::Key_Right);
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_EQ(picker->GetTextColour(), kTeal);
    EXPECT_EQ(picker->GetBkColour(), kBlue);
}

TEST_F(ColorPickerTest, RowsAndTheSystemColourDialog) {
    // A colour not in the table opens with the custom row hot, or none without that row.
    picker->SetBkColour(0x123456);
    CColorPopup* popup = Open();
    EXPECT_EQ(popup->HotCell(), kCellCustom);
    // Cell names show as tool tips.
    QHelpEvent tip(QEvent::ToolTip, popup->CellCentre(35),
                   popup->mapToGlobal(popup->CellCentre(35)));
    QCoreApplication::sendEvent(popup, &tip);
    EXPECT_EQ(QToolTip::text(), "Pale green ");
    // The custom row asks the colour dialog: OK takes its colour.
    SetDialogRunner([](QDialog& d) {
        auto& dialog = dynamic_cast<QColorDialog&>(d);
        EXPECT_EQ(dialog.currentColor(), QColor(0x56, 0x34, 0x12));
        dialog.setCurrentColor(QColor(1, 2, 3));
        dialog.accept();
        return dialog.result();
    });
    Listen();
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_EQ(picker->GetBkColour(), 0x030201u);
    EXPECT_EQ(events, (Events{{2027, 0x030201}, {2028, 0x030201}}));
    // Cancelling the dialog cancels the choice.
    events.clear();
    SetDialogRunner([](QDialog& d) {
        d.reject();
        return d.result();
    });
    popup = Open();
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_EQ(picker->GetBkColour(), 0x030201u);
    EXPECT_EQ(events, (Events{{2026, 0x030201}, {2027, 0x030201}, {2029, 0x030201}}));

    picker->SetCustomText({});
    picker->SetDefaultText({});
    popup = Open();
    EXPECT_EQ(popup->HotCell(), kCellNone);
    QTest::keyClick(popup, Qt::Key_Left);
    EXPECT_EQ(popup->HotCell(), 39) << "without rows the walk wraps round the grid";
    QTest::keyClick(popup, Qt::Key_Escape);
}

TEST_F(ColorPickerTest, TheAutomaticRowGivesTheAutomaticColour) {
    picker->SetCustomText({});
    picker->SetBkColour(0x123456);
    CColorPopup* popup = Open();
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->HotCell(), kCellNone) << "not in the table, and no custom row";
    QTest::mouseMove(popup, popup->CellCentre(kCellAutomatic));
    EXPECT_EQ(popup->HotCell(), kCellAutomatic);
    QTest::mouseRelease(popup, Qt::LeftButton, {}, popup->CellCentre(kCellAutomatic));
    EXPECT_EQ(picker->GetBkColour(), kAutomaticColour);
}

TEST_F(ColorPickerTest, ThePaletteStaysOnTheScreenAndOpensAboveAtTheBottom) {
    const QRect screen = window.screen()->availableGeometry();
    // At the bottom right corner, at the right edge, and at the top left.
    for (const QPoint corner : {screen.bottomRight() - QPoint(80, 26),
                                QPoint(screen.right() - 80, 40), screen.topLeft()}) {
        window.move(corner - picker->pos());
        QTest::qWait(10);
        CColorPopup* popup = Open();
        ASSERT_TRUE(popup);
        const QRect at = popup->frameGeometry();
        EXPECT_TRUE(screen.contains(at)) << corner.x() << "," << corner.y() << ": " << at.x() << ","
                                         << at.y() << " " << at.width() << "x" << at.height();
        const QRect button(picker->mapToGlobal(QPoint(0, 0)), picker->size());
        if (button.bottom() + at.height() > screen.bottom())
            EXPECT_LE(at.bottom(), button.top()) << "above the picker when there is no room below";
        else
            EXPECT_EQ(at.top(), button.bottom() + 1) << "below the picker";
        QTest::keyClick(popup, Qt::Key_Escape);
    }
}

} // namespace
} // namespace mireka
