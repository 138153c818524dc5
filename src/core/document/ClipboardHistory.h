// The clipboard history's list lines: each remembered text on one line, its control characters
// spelt out.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mireka {

// Texts remembered, newest first.
inline constexpr std::size_t kClipboardHistoryMax = 100;
// A list line holds at most this many bytes of code page 932.
inline constexpr std::size_t kClipboardLineMax = 256;

// "%3ld: %s" with the text's display form (tab, LF, CR, double quote and backslash as C
// escapes; a double-byte character copied whole), cut to kClipboardLineMax bytes between two
// characters.
[[nodiscard]] std::string ClipboardHistoryLine(long index, std::string_view text);

// What one clipboard announcement carried.
struct ClipboardAnnouncement {
    std::string text;                 // UTF-8
    std::vector<std::string> formats; // the offered types, in the order offered
    bool ours = false;                // this program owned the clipboard
};

// Wayland announces the clipboard again each time the window gets the focus back. Such a repeat
// carries exactly what the newest entry has, with no change of owner; it is no new copy. Where
// announcements are not repeated, every one is a copy, the same text twice included.
class ClipboardRepeats {
public:
    explicit ClipboardRepeats(bool repeatedOnFocus) noexcept : repeatedOnFocus_(repeatedOnFocus) {}
    // True when the announcement is to be remembered; it is then the newest.
    [[nodiscard]] bool Take(ClipboardAnnouncement announcement);

private:
    bool repeatedOnFocus_;
    bool any_ = false;
    ClipboardAnnouncement newest_;
};

} // namespace mireka
