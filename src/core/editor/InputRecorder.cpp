// Recording rules for keyboard, input-method and clipboard input.
#include "core/editor/InputRecorder.h"

#include "core/base/Dbcs.h"

namespace mireka {

CharAction InputRecorder::OnChar(const TextControl& ctl, unsigned char c) {
    // The result was recorded as one insertion; its bytes are inserted as they are.
    if (imeTrailDue_) {
        imeTrailDue_ = false;
        return CharAction::InsertByte;
    }
    const bool utf8 = ctl.GetEncoding() == Encoding::Utf8;
    if (imeSkip_ >= 1) {
        if (!utf8 && dbcs::IsLeadByte(c)) {
            imeTrailDue_ = imeSkip_ >= 2;
            imeSkip_ -= 2;
        } else {
            imeSkip_ -= 1;
        }
        return CharAction::InsertByte;
    }

    // Some trail bytes (0x80, 0xA0) are neither printable nor lead bytes, yet are inserted
    // after a typed lead byte and so must be recorded.
    const bool trail = typedTrailDue_ && dbcs::IsTrailByte(c);
    typedTrailDue_ = false;
    if (c == 8) {
        if (ctl.HasSelection())
            history_.RecordSelectionDeletion(ctl);
        else
            history_.RecordKeyDeletion(ctl, kKeyBackspace);
        return CharAction::Backspace;
    }
    if (c == 10 || c == 13) {
        if (ctl.HasSelection()) history_.RecordSelectionDeletion(ctl);
        history_.RecordInsertion(ctl, "\r\n");
        return CharAction::InsertLineBreak;
    }
    // Every byte of a UTF-8 character is inserted as it comes; code page 932 pairs lead and
    // trail.
    const bool lead = !utf8 && !trail && dbcs::IsLeadByte(c);
    if (trail || lead || (utf8 && c >= 0x80) || dbcs::IsPrintableSingle(c) || c == 9 || c == 127) {
        if (ctl.HasSelection()) history_.RecordSelectionDeletion(ctl);
        history_.RecordTypedChar(ctl, c);
        typedTrailDue_ = lead;
        return CharAction::InsertByte;
    }
    return CharAction::Ignore;
}

void InputRecorder::OnDeleteKey(const TextControl& ctl) {
    typedTrailDue_ = false;
    if (ctl.HasSelection())
        history_.RecordSelectionDeletion(ctl);
    else
        history_.RecordKeyDeletion(ctl, kKeyDelete);
}

void InputRecorder::OnImeComposition() noexcept {
    imeSkip_ = 0;
    imeTrailDue_ = false;
}

bool InputRecorder::OnImeResult(const TextControl& ctl, std::optional<std::string_view> result) {
    OnImeComposition();
    typedTrailDue_ = false;
    // Nothing is recorded unless the result will be inserted: a deletion recorded for a
    // selection that stays would make a later Undo insert that text a second time.
    if (!result) return false;
    if (result->empty()) return true;
    if (ctl.HasSelection()) history_.RecordSelectionDeletion(ctl);
    history_.RecordInsertion(ctl, *result);
    imeSkip_ = static_cast<Offset>(result->size());
    return true;
}

void InputRecorder::OnCut(const TextControl& ctl) {
    typedTrailDue_ = false;
    if (ctl.HasSelection()) history_.RecordSelectionDeletion(ctl);
}

bool InputRecorder::OnPaste(const TextControl& ctl, std::optional<std::string_view> clipboardText) {
    typedTrailDue_ = false;
    // Pasting text that was never recorded would shift every later offset in the history.
    if (!clipboardText) return false;
    if (ctl.HasSelection()) history_.RecordSelectionDeletion(ctl);
    history_.RecordInsertion(ctl, *clipboardText);
    return true;
}

} // namespace mireka
