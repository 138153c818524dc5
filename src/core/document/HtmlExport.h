// The coloured HTML listing of the editor text: preformatted text with font tags in the editor's
// colours. Its lexer is a sibling of the screen's with differences that are part of the format:
// literals run on over line ends, a keyword needs a delimiter, an asterisk or the end after it,
// and a comment left open at the end leaves its font tag open.
#pragma once

#include "core/base/Colour.h"
#include "core/base/Encoding.h"

#include <string>
#include <string_view>

namespace mireka {

// "#rrggbb" in lower case for a colour stored as 0x00BBGGRR.
[[nodiscard]] std::string HtmlColour(Colour colour);

// The whole file, lines ending in CR LF, in the text's encoding, which the page declares. `text`
// is the editor text (CR LF), the title the document's title in the same encoding (escaped
// here, so that a<b>.c stays valid HTML), the tab width in cells (1 or more) expands tabs by
// the cells before them. In UTF-8 bytes from 0x80 up are word bytes, as on screen.
[[nodiscard]] std::string MakeHtmlListing(std::string_view text, const EditorColours& colours,
                                          int tabWidth, std::string_view title,
                                          Encoding enc = Encoding::Cp932);

} // namespace mireka
