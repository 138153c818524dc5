// The coloured HTML listing of the editor text: preformatted text with font tags in the editor's
// colours. Its lexer is a sibling of the screen's with differences that are part of the format:
// literals run on over line ends, a keyword needs a delimiter, an asterisk or the end after it,
// and a comment left open at the end leaves its font tag open.
#pragma once

#include "core/base/Colour.h"

#include <string>
#include <string_view>

namespace mireka {

// "#rrggbb" in lower case for a colour stored as 0x00BBGGRR.
[[nodiscard]] std::string HtmlColour(Colour colour);

// The whole file, lines ending in CR LF. `text` is the editor text (Shift_JIS, CR LF), the
// title the document's title in Shift_JIS (escaped here, so that a<b>.c stays valid HTML), the
// tab width in characters (1 or more) expands tabs by byte columns.
[[nodiscard]] std::string MakeHtmlListing(std::string_view text, const EditorColours& colours,
                                          int tabWidth, std::string_view title);

} // namespace mireka
