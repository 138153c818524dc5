// The text control's model operations.
#include "core/editor/TextControl.h"

#include <algorithm>

namespace mireka {

void TextControl::SetSel(Offset anchor, Offset caret) {
    const Offset len = buffer_.Length();
    if (caret < 0) caret = len;
    anchor = std::clamp<Offset>(anchor, 0, len);
    caret = std::clamp<Offset>(caret, 0, len);
    if (anchor == anchor_ && caret == caret_) return;
    anchor_ = anchor;
    caret_ = caret;
    if (listener_) listener_->OnSelectionChanged();
}

void TextControl::ScrollCaret() {
    if (listener_) listener_->OnScrollCaretRequested();
}

void TextControl::ReplaceSel(std::string_view text) {
    const Offset start = SelStart();
    const Offset removed = SelEnd() - start;
    if (removed == 0 && text.empty()) return;
    const int linesBefore = buffer_.LineCount();
    if (start == 0 && removed == buffer_.Length()) {
        // The whole text (a conversion, Select All and paste): built afresh, without the
        // temporary copies an insertion into a chunk makes.
        buffer_.SetText(text);
    } else {
        buffer_.Erase(start, start + removed);
        buffer_.Insert(start, text);
    }
    anchor_ = caret_ = start + static_cast<Offset>(text.size());
    if (listener_) {
        listener_->OnTextReplaced(start, removed, static_cast<Offset>(text.size()), linesBefore);
        listener_->OnSelectionChanged();
    }
}

void TextControl::SetText(std::string_view text) {
    TextBuffer::Builder built(text.size(), buffer_.ChunkCapacity());
    built.Append(text);
    SetText(std::move(built));
}

void TextControl::SetText(TextBuffer::Builder&& built) {
    const Offset removed = buffer_.Length();
    const int linesBefore = buffer_.LineCount();
    buffer_.SetText(std::move(built));
    anchor_ = caret_ = 0;
    if (listener_) {
        listener_->OnTextReplaced(0, removed, buffer_.Length(), linesBefore);
        listener_->OnSelectionChanged();
    }
}

void TextControl::Append(std::string_view text) {
    if (text.empty()) return;
    const Offset pos = buffer_.Length();
    const int linesBefore = buffer_.LineCount();
    buffer_.Insert(pos, text);
    if (listener_) listener_->OnTextReplaced(pos, 0, static_cast<Offset>(text.size()), linesBefore);
}

Line TextControl::LineFromChar(Offset pos) const noexcept {
    return buffer_.LineFromOffset(pos < 0 ? SelStart() : pos);
}

Offset TextControl::LineIndex(Line line) const noexcept {
    return buffer_.LineStart(line < Line(0) ? LineFromChar(-1) : line);
}

Offset TextControl::LineLength(Offset pos) const noexcept {
    return buffer_.LineLength(buffer_.LineFromOffset(pos < 0 ? SelStart() : pos));
}

} // namespace mireka
