// The clipboard history's list lines.
#include "core/document/ClipboardHistory.h"

#include "core/base/Dbcs.h"

#include <cstdio>

namespace mireka {

std::string ClipboardHistoryLine(long index, std::string_view text) {
    char number[32];
    std::snprintf(number, sizeof number, "%3ld: ", index);
    std::string line = number;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string_view piece;
        switch (c) {
        case '\t':
            piece = "\\t";
            break;
        case '\n':
            piece = "\\n";
            break;
        case '\r':
            piece = "\\r";
            break;
        case '"':
            piece = "\\\"";
            break;
        case '\\':
            piece = "\\\\";
            break;
        default:
            // The trail byte goes with its lead whatever it is, as the list shows the pair.
            piece = text.substr(i, dbcs::IsLeadByte(c) && i + 1 < text.size() ? 2 : 1);
            i += piece.size() - 1;
            break;
        }
        // A character or escape that does not fit whole is left out, never cut in two.
        if (line.size() + piece.size() > kClipboardLineMax) break;
        line.append(piece);
    }
    return line;
}

bool ClipboardRepeats::Take(ClipboardAnnouncement announcement) {
    // Another owner means another program took the clipboard in between, whatever it holds.
    if (repeatedOnFocus_ && any_ && announcement.ours == newest_.ours &&
        announcement.text == newest_.text && announcement.formats == newest_.formats)
        return false;
    newest_ = std::move(announcement);
    any_ = true;
    return true;
}

} // namespace mireka
