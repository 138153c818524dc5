// Drag and drop of text: the selection dragged to another place (a move, or a copy with Ctrl) or
// out to other programs, and text dropped in from them, every change one recorded edit.
#include "gui/editor/UndoEditView.h"

#include "gui/editor/Cp932.h"
#include "gui/editor/TextCodec.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QUrl>

namespace mireka {

namespace {

// Pixels the mouse may move inside before a press in the selection becomes a drag.
constexpr int kDragStartDistance = 5;
// The band at each edge of the text area where a drag scrolls, and how often.
constexpr int kDragScrollInset = 11;
constexpr int kDragScrollMs = 50;

CUndoEditView::DragRunner& Runner() {
    static CUndoEditView::DragRunner runner;
    return runner;
}

bool CopyKeyHeld(Qt::KeyboardModifiers mods) {
    return mods & Qt::ControlModifier;
}

// Files dropped on the window are opened by the frame, not inserted as text.
bool HoldsFiles(const QMimeData* data) {
    if (!data->hasUrls()) return false;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) return true;
    return false;
}

// Sets `eventPoint_` for the duration of one event.
class PointerAt {
public:
    PointerAt(std::optional<QPoint>& slot, QPoint point) : slot_(slot) { slot_ = point; }
    ~PointerAt() { slot_.reset(); }
    PointerAt(const PointerAt&) = delete;
    PointerAt& operator=(const PointerAt&) = delete;

private:
    std::optional<QPoint>& slot_;
};

} // namespace

void CUndoEditView::SetDragRunner(DragRunner runner) {
    Runner() = std::move(runner);
}

bool CUndoEditView::EnableDragDrop(int options) {
    if (dragDropEnabled_) return false;
    dragDropEnabled_ = true;
    dragDropOptions_ = options;
    const bool dropIn = options & kDropIn;
    setAcceptDrops(dropIn);
    viewport()->setAcceptDrops(dropIn);
    // The arrow over the selection needs moves without a button; the handler is cheap
    // when nothing is selected.
    viewport()->setMouseTracking(options & kDragOut);
    return true;
}

// ---- the source ----------------------------------------------------------------------------

bool CUndoEditView::OnLeftButtonDown(QMouseEvent* event) {
    const PointerAt at(eventPoint_, event->position().toPoint());
    if (!(dragDropOptions_ & kDragOut) || !IsCursorInSelection() ||
        (event->modifiers() & Qt::ShiftModifier))
        return CEditView::OnLeftButtonDown(event);
    // Nothing happens until the mouse leaves a small square or the button comes up.
    pressPoint_ = event->position().toPoint();
    return true;
}

void CUndoEditView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (pressPoint_) {
        if ((event->buttons() & Qt::LeftButton) &&
            (std::abs(p.x() - pressPoint_->x()) > kDragStartDistance ||
             std::abs(p.y() - pressPoint_->y()) > kDragStartDistance))
            StartDrag();
        return;
    }
    if (!(event->buttons() & Qt::LeftButton) && (dragDropOptions_ & kDragOut)) {
        const PointerAt at(eventPoint_, p);
        const Qt::CursorShape shape =
            Control().HasSelection() && IsCursorInSelection() ? Qt::ArrowCursor : Qt::IBeamCursor;
        if (viewport()->cursor().shape() != shape) viewport()->setCursor(shape);
        return;
    }
    CEditView::mouseMoveEvent(event);
}

void CUndoEditView::mouseReleaseEvent(QMouseEvent* event) {
    if (pressPoint_ && event->button() == Qt::LeftButton) {
        // A click inside the selection without moving: the caret goes there.
        const PointerAt at(eventPoint_, event->position().toPoint());
        pressPoint_.reset();
        SetCaretToCursor();
        return;
    }
    CEditView::mouseReleaseEvent(event);
}

void CUndoEditView::StartDrag() {
    pressPoint_.reset();
    const std::string text = GetSelectedLinesText();
    if (text.empty()) return;
    // The selection stays as it is during the drag: the drop target only shows a caret.
    auto* data = new QMimeData;
    data->setText(cp932::ToLf(codec::Decode(Session().GetEncoding(), text)));
    QDrag drag(this);
    drag.setMimeData(data);
    droppedIntoSelf_ = false;
    refusedAt_.reset();
    dragging_ = true;
    const Qt::DropAction result =
        Runner() ? Runner()(drag) : drag.exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    dragging_ = false;
    if (result == Qt::MoveAction && droppedIntoSelf_) {
        droppedIntoSelf_ = false;
        Session().MoveSelectionTo({Line(dropLine_), dropColumn_});
        return;
    }
    droppedIntoSelf_ = false;
    if (result == Qt::MoveAction) {
        ReplaceSelWithUndo({}); // moved to another program
    } else if (result == Qt::IgnoreAction) {
        // Refused or cancelled: the caret goes where the mouse let go.
        if (refusedAt_) {
            const PointerAt at(eventPoint_, *refusedAt_);
            SetCaretToCursor();
        } else {
            SetCaretToCursor();
        }
    }
    refusedAt_.reset();
}

// ---- the target ----------------------------------------------------------------------------

void CUndoEditView::dragEnterEvent(QDragEnterEvent* event) {
    if (!(dragDropOptions_ & kDropIn) || IsReadOnly() || !event->mimeData()->hasText() ||
        HoldsFiles(event->mimeData())) {
        event->ignore();
        return;
    }
    dragOver_ = true;
    setFocus(Qt::OtherFocusReason);
    event->setDropAction(CopyKeyHeld(event->modifiers()) ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
}

void CUndoEditView::dragMoveEvent(QDragMoveEvent* event) {
    const QPoint p = event->position().toPoint();
    if (!dragOver_ || !GetRect().contains(p)) {
        event->ignore();
        return;
    }
    const PointerAt at(eventPoint_, p);
    dragScrollPoint_ = p;
    if (DragScroll(p))
        dragScrollTimer_.start(kDragScrollMs, this);
    else
        dragScrollTimer_.stop();
    ShowCaretAtCursor();
    event->setDropAction(CopyKeyHeld(event->modifiers()) ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
}

void CUndoEditView::dragLeaveEvent(QDragLeaveEvent* event) {
    dragOver_ = false;
    dragScrollTimer_.stop();
    ShowDropCaret(-1);
    event->accept();
}

void CUndoEditView::dropEvent(QDropEvent* event) {
    dragScrollTimer_.stop();
    ShowDropCaret(-1);
    if (!dragOver_) {
        event->ignore();
        return;
    }
    dragOver_ = false;
    const PointerAt at(eventPoint_, event->position().toPoint());
    if (dragging_ && IsCursorInSelection()) {
        // Onto the dragged text itself.
        refusedAt_ = event->position().toPoint();
        event->ignore();
        if (highlight_) viewport()->update();
        return;
    }
    std::string bytes;
    if (!DropBytes(event->mimeData(), bytes)) {
        event->ignore();
        return;
    }
    const bool copy = CopyKeyHeld(event->modifiers());
    if (!copy && dragging_) {
        // A move inside the view: the drag's own end makes it.
        droppedIntoSelf_ = true;
        const CursorLineCol drop = GetCursorLineCol();
        dropLine_ = drop.line;
        dropColumn_ = drop.column;
    } else {
        Session().InsertAndSelect(CharFromPos(CursorPoint()), bytes);
    }
    if (highlight_) viewport()->update();
    event->setDropAction(copy ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
}

bool CUndoEditView::DropBytes(const QMimeData* data, std::string& bytes) {
    const QString text = data->text();
    return !text.isEmpty() && IncomingBytes(text, bytes);
}

bool CUndoEditView::DragScroll(QPoint p) {
    const QRect area = GetRect();
    if (!area.contains(p) ||
        area.adjusted(kDragScrollInset, kDragScrollInset, -kDragScrollInset, -kDragScrollInset)
            .contains(p))
        return false;
    if (p.y() < area.top() + kDragScrollInset)
        ScrollLines(-1);
    else if (p.y() > area.bottom() - kDragScrollInset)
        ScrollLines(1);
    else if (p.x() < area.left() + kDragScrollInset)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() -
                                        horizontalScrollBar()->singleStep());
    else
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() +
                                        horizontalScrollBar()->singleStep());
    return true;
}

void CUndoEditView::timerEvent(QTimerEvent* event) {
    if (event->timerId() != dragScrollTimer_.timerId()) return CEditView::timerEvent(event);
    if (!dragOver_ || !DragScroll(dragScrollPoint_)) {
        dragScrollTimer_.stop();
        return;
    }
    const PointerAt at(eventPoint_, dragScrollPoint_);
    ShowCaretAtCursor();
}

} // namespace mireka
