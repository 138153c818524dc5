// The text control's model: the buffer, the selection and the operations the editor logic
// relies on, with a listener through which a window learns of every change.
#pragma once

#include "core/base/Encoding.h"
#include "core/editor/TextBuffer.h"

#include <string>
#include <string_view>

namespace mireka {

// What a window showing a TextControl must hear about.
class TextControlListener {
public:
    virtual ~TextControlListener() = default;
    // `removed` bytes at `pos` were replaced by `inserted` bytes; line counts before and after.
    virtual void OnTextReplaced(Offset pos, Offset removed, Offset inserted, int linesBefore) = 0;
    virtual void OnSelectionChanged() = 0;
    virtual void OnScrollCaretRequested() = 0;
};

class TextControl {
public:
    explicit TextControl(std::size_t chunkCapacity = TextBuffer::kDefaultChunkCapacity)
        : buffer_(chunkCapacity) {}
    TextControl(const TextControl&) = delete;
    TextControl& operator=(const TextControl&) = delete;

    void SetListener(TextControlListener* listener) noexcept { listener_ = listener; }

    [[nodiscard]] const TextBuffer& Buffer() const noexcept { return buffer_; }

    // Selection as [start, end) with start ≤ end (the get-selection operation).
    [[nodiscard]] Offset SelStart() const noexcept { return anchor_ < caret_ ? anchor_ : caret_; }
    [[nodiscard]] Offset SelEnd() const noexcept { return anchor_ < caret_ ? caret_ : anchor_; }
    [[nodiscard]] bool HasSelection() const noexcept { return anchor_ != caret_; }
    // The fixed end and the moving end of the selection.
    [[nodiscard]] Offset Anchor() const noexcept { return anchor_; }
    [[nodiscard]] Offset Caret() const noexcept { return caret_; }

    // Selects from `anchor` to `caret`; the caret ends at the second offset. Offsets are clamped
    // to the text; -1 as `caret` means the end of the text.
    void SetSel(Offset anchor, Offset caret);
    void SetCaret(Offset pos) { SetSel(pos, pos); }
    void SelectAll() { SetSel(0, -1); }
    void ScrollCaret();

    // Replaces the selection with `text`; the caret ends after it. No undo is recorded here.
    void ReplaceSel(std::string_view text);
    void Clear() { ReplaceSel({}); }
    void SetText(std::string_view text);
    void SetText(TextBuffer::Builder&& built);
    // Adds `text` at the end; the selection stays where it was.
    void Append(std::string_view text);

    [[nodiscard]] std::string SelectedText() const { return buffer_.Text(SelStart(), SelEnd()); }
    [[nodiscard]] std::string Text() const { return buffer_.Text(); }
    [[nodiscard]] std::string Text(Offset start, Offset end) const {
        return buffer_.Text(start, end);
    }
    [[nodiscard]] Offset Length() const noexcept { return buffer_.Length(); }
    [[nodiscard]] int LineCount() const noexcept { return buffer_.LineCount(); }

    // Line containing `pos`; -1 gives the line of the selection start.
    [[nodiscard]] Line LineFromChar(Offset pos) const noexcept;
    // First offset of `line`; -1 gives the selection start's line; -1 when the line is missing.
    [[nodiscard]] Offset LineIndex(Line line) const noexcept;
    // Length, without line break, of the line that contains `pos`.
    [[nodiscard]] Offset LineLength(Offset pos) const noexcept;
    [[nodiscard]] std::string LineText(Line line) const { return buffer_.LineText(line); }

    [[nodiscard]] bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool on) noexcept { readOnly_ = on; }

    // The character rules the text's bytes follow: the document's encoding.
    [[nodiscard]] Encoding GetEncoding() const noexcept { return encoding_; }
    void SetEncoding(Encoding encoding) noexcept { encoding_ = encoding; }

private:
    TextBuffer buffer_;
    Offset anchor_ = 0;
    Offset caret_ = 0;
    bool readOnly_ = false;
    Encoding encoding_ = Encoding::Cp932;
    TextControlListener* listener_ = nullptr;
};

} // namespace mireka
