// The output window and its bar.
#include "gui/document/OutputBar.h"

#include "core/document/JumpLine.h"
#include "core/toolchain/Explain.h"
#include "gui/base/FrameServices.h"
#include "gui/document/MyView.h"
#include "gui/editor/ColorEditView.h"
#include "gui/editor/Cp932.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>

namespace mireka {

std::string OutputDisplayBytes(std::string_view systemText) {
    const QString text = cp932::ToCrLf(
        QString::fromLocal8Bit(systemText.data(), static_cast<qsizetype>(systemText.size())));
    std::string out;
    if (cp932::Encode(text, out)) return out;
    // Only the lines that hold such a character are taken apart.
    out.clear();
    out.reserve(static_cast<std::size_t>(text.size()) * 2);
    std::string bytes;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = text.indexOf(u'\n', start);
        end = end < 0 ? text.size() : end + 1;
        const QString line = text.mid(start, end - start);
        if (cp932::Encode(line, bytes))
            out += bytes;
        else
            cp932::EncodeReplacing(line, out);
        start = end;
    }
    return out;
}

COutputEdit::COutputEdit(QWidget* parent) : CEditView(parent) {
    SetReadOnly(true);
}

void COutputEdit::SetOutputColors(Colour text, Colour background) {
    text_ = text;
    background_ = background;
    SetTextColors(ToQColor(text), ToQColor(background));
}

void COutputEdit::ReplaceText(std::string_view bytes, std::optional<std::size_t> kept) {
    const std::lock_guard lock(mutex_);
    if (kept && *kept <= bytes.size() && sinceReplaced_ == *kept &&
        GetWindowTextLength() == static_cast<Offset>(*kept))
        Control().Append(bytes.substr(*kept));
    else
        SetWindowText(bytes);
    sinceReplaced_ = bytes.size();
    // The transcript's lines end in CR LF: two bytes back is the end of its last line.
    const auto len = static_cast<Offset>(bytes.size());
    const Offset lastLineEnd = len >= 2 ? len - 2 : 0;
    SetSel(lastLineEnd, lastLineEnd);
    ScrollCaret();
    SetSel(len, len);
    viewport()->repaint();
    emit Replaced();
}

void COutputEdit::AppendText(std::string_view bytes) {
    const std::lock_guard lock(mutex_);
    QScrollBar* bar = verticalScrollBar();
    const bool following = bar->value() >= bar->maximum();
    Control().Append(bytes);
    sinceReplaced_ += bytes.size();
    if (following) bar->setValue(bar->maximum());
}

void COutputEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    FrameServices* frame = FrameOf(this);
    CMyView* view = frame ? qobject_cast<CMyView*>(frame->EditorWidget()) : nullptr;
    if (event->button() != Qt::LeftButton || !view) {
        CEditView::mouseDoubleClickEvent(event);
        return;
    }
    // The first click of the double-click has put the caret on the line. An explanation leads
    // to the message above it.
    int line = LineFromChar(Control().SelStart());
    static const std::string explanation = OutputDisplayBytes(kExplainPrefix);
    if (line > 0 && Control().LineText(Line(line)).starts_with(explanation)) --line;
    const std::optional<int> number =
        ParseJumpLine(Control().LineText(Line(line)), frame->Toolchain());
    // A line without the toolchain's separators does nothing at all, not even select a word.
    if (!number) return;
    CEditView::mouseDoubleClickEvent(event);
    const auto target = JumpTargetLine(*number, static_cast<std::size_t>(view->GetLineCount()));
    if (!target) return;
    const Offset start = view->LineIndex(static_cast<int>(*target));
    view->SetSel(start, start);
    view->ScrollCaret();
    view->activateWindow();
    view->setFocus(Qt::OtherFocusReason);
}

COutputBar::COutputBar(QMainWindow* frame)
    : CDockingBarG(QStringLiteral("アウトプット ウィンドウ"), frame, BarSize{100, 100},
                   kOutputBarId),
      edit_(new COutputEdit(this)) {
    edit_->setObjectName(QStringLiteral("OutputEdit%1").arg(kOutputEditId));
    // The bar's own minimums decide how small it gets, not the scroll bars'.
    edit_->setMinimumSize(1, 1);
    setWidget(edit_);
    // The system's interface font until the frame hands over the editor's.
    SetOutputFont(QApplication::font());
}

void COutputBar::SetOutputFont(const QFont& font) {
    edit_->SetEditorFont(font);
    edit_->SetMargins(1, 1);
}

} // namespace mireka
