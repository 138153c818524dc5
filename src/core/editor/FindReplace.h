// Find and replace over the text control: the search primitives with their start rules, and the
// find-next, replace and replace-all steps, every replacement recorded for undo.
#pragma once

#include "core/editor/EditSession.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace mireka {

// The search settings shared by all edit views of the process. The open dialog itself is the
// window's to keep; `findOnly` records which kind it is.
struct FindReplaceState {
    bool findOnly = false;
    std::string findText;
    std::string replaceText;
    bool matchCase = false;
    bool searchDown = true;
    // The encoding of the two texts: that of the document they were last searched in.
    Encoding encoding = Encoding::Cp932;
};

// The one state object of the process, created on first use; user-interface thread only.
[[nodiscard]] FindReplaceState& SharedFindReplaceState();

// Told the search text whenever a search the user asked for finds nothing. The window beeps,
// shows its message and gives the focus back to the dialog.
using TextNotFoundHook = std::function<void(const std::string& find)>;

// Occurrence of `find` in `buffer`. Searching down it is the first one that begins at `from` or
// later; searching up the last one that begins at `from` or earlier. Occurrences begin and end
// on character boundaries of `enc`, so a multibyte character is one unit and none of its later
// bytes starts a match. Without `matchCase` only the ASCII letters of `find` match either case;
// full-width letters and every other byte compare exactly. An empty `find` is never found.
[[nodiscard]] std::optional<ByteRange> SearchText(const TextBuffer& buffer, std::string_view find,
                                                  Offset from, bool down, bool matchCase,
                                                  Encoding enc = Encoding::Cp932);

// True when the selection has the byte length of `find` and equals it.
[[nodiscard]] bool SameAsSelected(const TextControl& ctl, std::string_view find, bool matchCase);

// Searching down starts at the selection start, one character later when the selection equals
// `find`; searching up starts one character before the selection start and fails at offset 0.
// Never wraps. On success selects the occurrence, scrolls it into view and returns true; on
// failure the selection stays as it was.
bool FindText(TextControl& ctl, std::string_view find, bool down, bool matchCase);

// The dialog's Find next.
void OnFindNext(TextControl& ctl, FindReplaceState& state, std::string_view find, bool down,
                bool matchCase, const TextNotFoundHook& notFound);

// Makes sure the selection holds an occurrence before a replacement; false when none was found.
bool InitializeReplace(TextControl& ctl, const FindReplaceState& state,
                       const TextNotFoundHook& notFound);

// The dialog's Replace: the first press on anything but an occurrence only finds; a press on an
// occurrence replaces it and selects the next one (silently leaving the caret when there is none).
void OnReplaceSel(EditSession& session, FindReplaceState& state, std::string_view find, bool down,
                  bool matchCase, std::string_view replace, const TextNotFoundHook& notFound);

// The dialog's Replace all: from the current occurrence to the end of the text, never wrapping.
// Each replacement is a deletion and an insertion in the undo history (only the deletion when
// `replace` is empty). Returns the number of replacements.
std::size_t OnReplaceAll(EditSession& session, FindReplaceState& state, std::string_view find,
                         std::string_view replace, bool matchCase,
                         const TextNotFoundHook& notFound);

// The repeat command (F3) and its enabling rule.
[[nodiscard]] bool CanRepeatFind(const TextControl& ctl, const FindReplaceState& state) noexcept;
bool RepeatFind(TextControl& ctl, const FindReplaceState& state, const TextNotFoundHook& notFound);

} // namespace mireka
