// Drag and drop of text on the edit view: real mouse presses start the drag, real drag events
// with real mime data carry the drop, on the view itself or from elsewhere.
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/document/MyDoc.h"
#include "gui/document/MyView.h"
#include "gui/editor/UndoEditView.h"

#include "GuiTestSupport.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

namespace mireka {
namespace {

class DragDropTest : public ::testing::Test {
protected:
    void SetUp() override {
        view = new CUndoEditView(&window);
        view->EnableDragDrop(CUndoEditView::kDragOut | CUndoEditView::kDropIn);
        window.resize(500, 300);
        view->resize(500, 300);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override { CUndoEditView::SetDragRunner({}); }
    std::string Text() const { return view->GetWindowText(); }
    // The middle of the character at `offset`.
    QPoint At(Offset offset) const {
        const QPoint p = view->PosFromChar(offset);
        return {p.x() + 2, p.y() + view->LineHeight() / 2};
    }
    // Drags `data` over the view to `point` and drops it; returns the action taken.
    Qt::DropAction Drop(QMimeData& data, QPoint point, Qt::KeyboardModifiers mods = {}) {
        QDragEnterEvent enter(point, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, mods);
        QCoreApplication::sendEvent(view->viewport(), &enter);
        if (!enter.isAccepted()) return Qt::IgnoreAction;
        QDragMoveEvent move(point, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, mods);
        QCoreApplication::sendEvent(view->viewport(), &move);
        QDropEvent drop(QPointF(point), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                        mods);
        QCoreApplication::sendEvent(view->viewport(), &drop);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    }
    // Presses inside the selection at `from` and moves far enough to start a drag, whose loop
    // is `runner`.
    void DragFrom(Offset from, CUndoEditView::DragRunner runner) {
        CUndoEditView::SetDragRunner(std::move(runner));
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, At(from));
        QMouseEvent move(QEvent::MouseMove, QPointF(At(from) + QPoint(0, 12)),
                         view->viewport()->mapToGlobal(QPointF(At(from) + QPoint(0, 12))),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &move);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, At(from) + QPoint(0, 12));
    }

    QWidget window;
    CUndoEditView* view = nullptr;
    test::FakePrompts prompts;
};

TEST_F(DragDropTest, TextFromElsewhereIsInsertedAtTheDropPointAndSelected) {
    view->SetWindowText("int x;\r\nint y;");
    view->SetSel(0, 3); // a selection elsewhere is not replaced
    QMimeData data;
    data.setText(QStringLiteral("/* あ */\n"));
    EXPECT_EQ(Drop(data, At(8)), Qt::MoveAction);
    EXPECT_EQ(Text(), "int x;\r\n/* \x82\xa0 */\r\nint y;");
    EXPECT_EQ(view->Control().SelStart(), 8);
    EXPECT_EQ(view->Control().SelEnd(), 8 + 10);
    view->Undo();
    EXPECT_EQ(Text(), "int x;\r\nint y;") << "one undo step";

    // Text the code page cannot hold is refused with the paste rule's message.
    data.setText(QStringLiteral("😀"));
    EXPECT_EQ(Drop(data, At(2)), Qt::IgnoreAction);
    EXPECT_EQ(Text(), "int x;\r\nint y;");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains("😀"));
    // Files are not text to insert: the view leaves them to the window around it.
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/x.c"))});
    EXPECT_EQ(Drop(files, At(2)), Qt::IgnoreAction);
}

TEST_F(DragDropTest, MovingInsideTheViewCopyingWithCtrlAndOntoItself) {
    const std::string original = "aaa bbb\r\nccc";
    // A move to a later place: it lands where it was dropped although the deletion shifted it.
    view->SetWindowText(original);
    view->SetSel(0, 3);
    DragFrom(1, [this](QDrag& drag) { return Drop(*drag.mimeData(), At(12)); });
    EXPECT_EQ(Text(), " bbb\r\ncccaaa");
    EXPECT_EQ(view->Control().SelStart(), 9);
    EXPECT_EQ(view->Control().SelEnd(), 12);
    view->Undo();
    view->Undo();
    EXPECT_EQ(Text(), original) << "a move undoes in two steps";

    // With Ctrl the drop copies.
    view->SetSel(0, 3);
    DragFrom(1, [this](QDrag& drag) { return Drop(*drag.mimeData(), At(9), Qt::ControlModifier); });
    EXPECT_EQ(Text(), "aaa bbb\r\naaaccc");

    // Onto itself, ends included: nothing changes; the caret goes where it was let go.
    view->SetWindowText(original);
    view->SetSel(4, 7);
    DragFrom(5, [this](QDrag& drag) { return Drop(*drag.mimeData(), At(6)); });
    EXPECT_EQ(Text(), original);
    EXPECT_FALSE(view->Control().HasSelection());
    EXPECT_EQ(view->Control().Caret(), 6);
    // At its end (included) and just past the end of its last line: the text stays and the
    // caret goes to the end.
    for (const QPoint past : {At(7) - QPoint(1, 0), At(7) + QPoint(40, 0)}) {
        view->SetSel(4, 7);
        DragFrom(5, [this, past](QDrag& drag) { return Drop(*drag.mimeData(), past); });
        EXPECT_EQ(Text(), original);
        EXPECT_FALSE(view->Control().HasSelection()) << past.x();
        EXPECT_EQ(view->Control().Caret(), 7);
    }

    // Moved out to another program: the selection goes.
    view->SetSel(4, 7);
    DragFrom(5, [](QDrag&) { return Qt::MoveAction; });
    EXPECT_EQ(Text(), "aaa \r\nccc");

    // A click inside the selection without moving puts the caret there.
    view->SetWindowText(original);
    view->SetSel(0, 7);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, At(2));
    EXPECT_FALSE(view->Control().HasSelection());
    EXPECT_EQ(view->Control().Caret(), 2);
}

TEST_F(DragDropTest, TheArrowShowsOverTheSelectionWithoutAButton) {
    view->SetWindowText("aaa bbb\r\nccc");
    view->SetSel(4, 7);
    QTest::mouseMove(view->viewport(), At(5));
    EXPECT_EQ(view->viewport()->cursor().shape(), Qt::ArrowCursor);
    QTest::mouseMove(view->viewport(), At(1));
    EXPECT_EQ(view->viewport()->cursor().shape(), Qt::IBeamCursor);
}

TEST_F(DragDropTest, ADragNearTheEdgeScrolls) {
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "line\r\n";
    view->SetWindowText(text);
    QMimeData data;
    data.setText(QStringLiteral("x"));
    const QRect area = view->GetRect();
    const QPoint bottom(area.center().x(), area.bottom() - 2);
    QDragEnterEvent enter(bottom, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view->viewport(), &enter);
    QDragMoveEvent move(bottom, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view->viewport(), &move);
    EXPECT_EQ(view->GetFirstVisibleLine(), 1) << "one line at once";
    EXPECT_EQ_SOON(view->GetFirstVisibleLine() > 3, true); // and on while it stays there
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(view->viewport(), &leave);
    const int stopped = view->GetFirstVisibleLine();
    QTest::qWait(150);
    EXPECT_EQ(view->GetFirstVisibleLine(), stopped) << "leaving stops the scrolling";
    // In the middle nothing scrolls.
    QDragEnterEvent again(area.center(), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view->viewport(), &again);
    QDragMoveEvent middle(area.center(), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view->viewport(), &middle);
    EXPECT_EQ(view->GetFirstVisibleLine(), stopped);
}

// On the real window: the main view takes text, and files dropped on it still open.
TEST(DragDropFrameTest, FilesDroppedOnTheEditorOpen) {
    QTemporaryDir dir;
    test::PrivateSettings settings;
    test::FakePrompts prompts;
    test::WriteBytes(dir.filePath("d.c"), "dropped");
    CMyApp app;
    ASSERT_TRUE(app.InitInstance({}));
    CMyView& view = *app.MainFrame()->View();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dir.filePath("d.c"))});
    const QPoint at(40, 20);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view.viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted()) << "the frame takes files dropped on the editor";
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view.viewport(), &drop);
    EXPECT_EQ_SOON(view.GetWindowText(), std::string("dropped"));
}

} // namespace
} // namespace mireka
