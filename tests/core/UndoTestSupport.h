// An edit session, driven the way the edit view drives it.
#pragma once

#include "core/editor/EditSession.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace mireka::testing {

struct ScrollCounter : TextControlListener {
    int scrolls = 0;
    void OnTextReplaced(Offset, Offset, Offset, int) override {}
    void OnSelectionChanged() override {}
    void OnScrollCaretRequested() override { ++scrolls; }
};

struct Editor {
    explicit Editor(std::string_view text = {}, std::size_t ceiling = UndoHistory::kDefaultCeiling)
        : session(4, ceiling) {
        if (!text.empty()) ctl.SetText(text);
        ctl.SetListener(&scroll);
    }

    // One character message per byte, as the keyboard delivers them.
    void Type(std::string_view bytes) { session.TypeText(bytes); }
    void Backspace() { Type("\b"); }
    void Enter() { Type("\r"); }
    void Delete() { session.DeleteForward(); }
    void Ime(std::string_view result) { session.TypeImeResult(result); }
    // Nothing: the clipboard could not be opened.
    void Paste(std::optional<std::string_view> clip) {
        if (clip) session.Paste(*clip);
    }
    void Cut() { session.Cut(); }
    void Undo() { session.Undo(); }
    void Redo() { session.Redo(); }

    std::string Text() const { return ctl.Text(); }
    std::size_t Undos() const { return history.UndoList().size(); }
    std::size_t Redos() const { return history.RedoList().size(); }
    const UndoRecord& Last() const { return history.UndoList().back(); }

    EditSession session;
    TextControl& ctl = session.Control();
    const UndoHistory& history = session.History();
    const InputRecorder& input = session.Recorder();
    ScrollCounter scroll;
};

inline UndoRecord Insertion(Offset start, Offset end, bool canMerge = false) {
    return {UndoKind::Insertion, start, end, {}, canMerge, false};
}

inline UndoRecord Deletion(Offset start, Offset end, std::string text, bool caretAtStart = false) {
    return {UndoKind::Deletion, start, end, std::move(text), false, caretAtStart};
}

} // namespace mireka::testing

namespace mireka {
inline void PrintTo(const UndoRecord& r, std::ostream* os) {
    *os << (r.kind == UndoKind::Insertion ? "ins" : "del") << "[" << r.start << "," << r.end
        << ") text.size=" << r.text.size() << " merge=" << r.canMerge
        << " caretAtStart=" << r.caretAtStart;
}
} // namespace mireka
