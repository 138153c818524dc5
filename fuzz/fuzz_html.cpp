// The HTML listing of arbitrary text under an arbitrary title and tab width: the page has its
// fixed frame, the title comes back escaped; in the body the only tags are font tags in the
// editor's colours, never nested, each closed except one left open by a literal or comment at
// the end; no raw '<', '>', '"' or stray '&' escapes; and with the tags taken out and the
// entities decoded, the body is the text with tabs expanded, CRs dropped and LF as CR LF.
#include "core/document/HtmlExport.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

namespace {

bool Consume(std::string_view& s, std::string_view what) {
    if (s.substr(0, what.size()) != what) return false;
    s.remove_prefix(what.size());
    return true;
}

// Takes one escaped character from the front of `s`.
bool Entity(std::string_view& s, std::string& out) {
    for (const auto& [name, c] : {std::pair{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}})
        if (Consume(s, name)) return out += c, true;
    return false;
}

// The text of `s` up to `end`, which must follow; no raw '<', '>' or '&' in it.
std::string Decoded(std::string_view& s, std::string_view end) {
    std::string out;
    while (!Consume(s, end)) {
        if (Entity(s, out)) continue;
        if (s.empty() || s[0] == '<' || s[0] == '>' || s[0] == '&') std::abort();
        out += s[0];
        s.remove_prefix(1);
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int tabWidth = data[0] % 12 + 1;
    const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::string_view title = rest.substr(0, data[1] % 16);
    const std::string_view text = rest.substr(title.size());
    const mireka::EditorColours colours; // all five differ
    const std::string html = mireka::MakeHtmlListing(text, colours, tabWidth, title);
    std::string_view page = html;
    if (!Consume(page, "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" "
                       "content=\"text/html;charset=Shift_JIS\">\r\n<meta name=\"GENERATOR\" "
                       "content=\"Mireka\">\r\n<title>") ||
        Decoded(page, "</title>\r\n") != title ||
        !Consume(page, "</head>\r\n<body bgcolor=\"" + mireka::HtmlColour(colours.background) +
                           "\" text=\"" + mireka::HtmlColour(colours.text) + "\">\r\n<pre>"))
        std::abort();
    const std::string_view tail = "</pre>\r\n</body>\r\n</html>";
    if (!page.ends_with(tail)) std::abort();
    page.remove_suffix(tail.size());

    std::string visible;
    std::string open; // the colour of the open font tag
    while (!page.empty()) {
        if (Consume(page, "</font>")) {
            if (open.empty()) std::abort();
            open.clear();
        } else if (Consume(page, "<font color=\"")) {
            if (!open.empty() || page.size() < 9 || page.substr(7, 2) != "\">") std::abort();
            open = page.substr(0, 7);
            if (open != mireka::HtmlColour(colours.keyword) &&
                open != mireka::HtmlColour(colours.string) &&
                open != mireka::HtmlColour(colours.comment))
                std::abort();
            page.remove_prefix(9);
        } else if (Consume(page, "&quot;")) {
            visible += '"';
        } else if (!Entity(page, visible)) {
            if (std::string_view("<>&\"").find(page[0]) != std::string_view::npos) std::abort();
            visible += page[0];
            page.remove_prefix(1);
        }
    }
    // Only a literal or a comment may be left open; a keyword is always closed.
    if (open == mireka::HtmlColour(colours.keyword)) std::abort();

    std::string expect;
    long long column = 0;
    for (const char c : text) {
        if (c == '\n') {
            expect += "\r\n";
            column = -1;
        } else if (c == '\t') {
            expect.append(static_cast<std::size_t>(tabWidth - column % tabWidth), ' ');
            column = -1;
        } else if (c != '\r') {
            expect += c;
        }
        ++column;
    }
    if (visible != expect) std::abort();
    return 0;
}
