// Building the C library reference: page selection, staleness, cleaning, names, the index.
#include "core/app/ManReference.h"

#include "core/base/Fnv.h"
#include "core/base/Text.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>

namespace mireka {

namespace {

// Raised whenever the reference's layout or the cleaning changes, so that old caches go.
constexpr std::string_view kReferenceFormat = "mireka-clibref-2";

constexpr std::array<std::string_view, 5> kSections = {"2", "3", "3type", "3const", "3head"};

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) lf = text.size();
        lines.push_back(text.substr(start, lf - start));
        start = lf + 1;
    }
    return lines;
}

// Length of the UTF-8 sequence a lead byte starts; 1 for a stray byte.
std::size_t Utf8Length(unsigned char b) noexcept {
    if (b >= 0xF0 && b <= 0xF4) return 4;
    if (b >= 0xE0) return 3;
    if (b >= 0xC2 && b < 0xE0) return 2;
    return 1;
}

char32_t Utf8Decode(std::string_view s, std::size_t len) noexcept {
    const auto b = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(s[i]));
    };
    switch (len) {
    case 2:
        return (b(0) & 0x1F) << 6 | (b(1) & 0x3F);
    case 3:
        return (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
    case 4:
        return (b(0) & 0x07) << 18 | (b(1) & 0x3F) << 12 | (b(2) & 0x3F) << 6 | (b(3) & 0x3F);
    default:
        return b(0);
    }
}

// The ASCII a one-column typographic character becomes; nothing for one that stays, and an
// empty text for one that goes.
std::optional<std::string_view> AsciiLookAlike(char32_t c) noexcept {
    switch (c) {
    case 0x00A0: // no-break space
        return " ";
    case 0x00AD: // soft hyphen
        return "";
    case 0x00B7: // middle dot
        return ".";
    case 0x2010: // hyphen
    case 0x2011: // non-breaking hyphen
    case 0x2012: // figure dash
    case 0x2013: // en dash
    case 0x2014: // em dash
    case 0x2212: // minus sign: in a code example it must stay the C operator
        return "-";
    case 0x2018:
    case 0x2019:
        return "'";
    case 0x201C:
    case 0x201D:
        return "\"";
    case 0x2022: // bullet
    case 0x2217: // asterisk operator
        return "*";
    case 0x2500: // table rules
    case 0x2501:
        return "-";
    case 0x2502:
    case 0x2503:
        return "|";
    default:
        if (c >= 0x250C && c <= 0x254B) return "+"; // corners, tees and crossings
        return std::nullopt;
    }
}

// Drops the last character of `out` (an overstruck one); a line break is never taken back.
void DropLastChar(std::string& out) {
    if (out.empty() || out.back() == '\n') return;
    std::size_t i = out.size() - 1;
    while (i > 0 && (static_cast<unsigned char>(out[i]) & 0xC0) == 0x80)
        --i;
    out.resize(i);
}

// Skips a terminal escape sequence starting at `i` (an ESC); returns where the text goes on.
std::size_t SkipEscape(std::string_view s, std::size_t i) noexcept {
    ++i;
    if (i >= s.size()) return i;
    if (s[i] == '[') { // CSI: parameters, then a final byte
        ++i;
        while (i < s.size() && !(s[i] >= 0x40 && s[i] <= 0x7E))
            ++i;
        return std::min(i + 1, s.size());
    }
    if (s[i] == ']') { // OSC (hyperlinks): up to BEL or ESC backslash
        ++i;
        while (i < s.size() && s[i] != '\a' && s[i] != '\x1b')
            ++i;
        if (i < s.size() && s[i] == '\x1b') ++i;
        return std::min(i + 1, s.size());
    }
    return i + 1;
}

std::string SectionRankKey(std::string_view section) {
    const auto it = std::find(kSections.begin(), kSections.end(), section);
    return std::to_string(it - kSections.begin()) + std::string(section);
}

bool IsNameWord(std::string_view w) noexcept {
    if (w.empty()) return false;
    return std::all_of(w.begin(), w.end(), [](char c) { return c > 0x20 && c < 0x7F; });
}

} // namespace

std::optional<ManPageName> ParseManPageFileName(std::string_view name) {
    if (name.size() > 3 && name.substr(name.size() - 3) == ".gz") name.remove_suffix(3);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return std::nullopt;
    const std::string_view section = name.substr(dot + 1);
    if (std::find(kSections.begin(), kSections.end(), section) == kSections.end())
        return std::nullopt;
    return ManPageName{std::string(name.substr(0, dot)), std::string(section)};
}

std::vector<ManPageFile> ChooseReferencePages(std::vector<ManPageFile> translated,
                                              const std::vector<ManPageFile>& english) {
    std::set<std::pair<std::string, std::string>> have;
    for (const ManPageFile& p : translated)
        have.emplace(p.stem, p.section);
    std::vector<ManPageFile> pages = std::move(translated);
    for (const ManPageFile& p : english)
        if (!have.count({p.stem, p.section})) pages.push_back(p);
    std::sort(pages.begin(), pages.end(), [](const ManPageFile& a, const ManPageFile& b) {
        const std::string fa = FoldManualText(a.stem);
        const std::string fb = FoldManualText(b.stem);
        if (fa != fb) return fa < fb;
        if (a.stem != b.stem) return a.stem < b.stem;
        if (a.section != b.section) return SectionRankKey(a.section) < SectionRankKey(b.section);
        return a.path < b.path;
    });
    return pages;
}

std::string ReferenceFingerprint(const std::vector<ManPageFile>& pages) {
    std::uint64_t h = kFnvStart;
    const auto mix = [&h](std::string_view s) {
        h = Fnv1a64(s, h);
        h ^= 0xFF; // a separator no text byte can fake
        h *= 0x100000001b3ULL;
    };
    mix(kReferenceFormat);
    mix(std::to_string(kReferencePageWidth));
    for (const ManPageFile& p : pages) {
        mix(p.path);
        mix(std::to_string(p.size));
        mix(std::to_string(p.mtime));
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    return hex;
}

std::string CleanRenderedPage(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b == 0x1B) {
            i = SkipEscape(s, i);
        } else if (b == '\b') {
            DropLastChar(out);
            ++i;
        } else if (b == '\r') {
            ++i;
        } else if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
        } else {
            // A broken sequence is passed on byte by byte, so that it never swallows a control
            // byte after it.
            std::size_t len = Utf8Length(b);
            for (std::size_t k = 1; k < len; ++k)
                if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                    len = 1;
                    break;
                }
            if (auto ascii = AsciiLookAlike(Utf8Decode(s.substr(i, len), len)))
                out += *ascii;
            else
                out.append(s.substr(i, len));
            i += len;
        }
    }
    // Blanks at line ends and blank lines at either end go.
    std::string text;
    text.reserve(out.size());
    for (std::string_view line : SplitLines(out)) {
        while (!line.empty() && IsBlank(line.back()))
            line.remove_suffix(1);
        if (line.empty() && text.empty()) continue;
        text.append(line);
        text += '\n';
    }
    while (text.size() >= 2 && text[text.size() - 2] == '\n')
        text.pop_back();
    return text;
}

bool IsCLibraryPage(std::string_view page) {
    const std::vector<std::string_view> lines = SplitLines(page);
    const auto names = [](std::string_view line) {
        return line.find("Linux") != std::string_view::npos;
    };
    return !lines.empty() && (names(lines.front()) || names(lines.back()));
}

std::vector<std::string> ParseNameSection(std::string_view page) {
    const std::vector<std::string_view> lines = SplitLines(page);
    // After the header line, the first heading, then its indented body up to a blank line or
    // the next heading.
    std::size_t i = 1;
    while (i < lines.size() && (lines[i].empty() || IsBlank(lines[i].front())))
        ++i;
    std::string body;
    for (++i; i < lines.size() && !lines[i].empty() && IsBlank(lines[i].front()); ++i) {
        const std::string_view part = TrimBlanks(lines[i]);
        const bool hyphenated = body.size() >= 2 && body.back() == '-' &&
                                body[body.size() - 2] != ' ' && body[body.size() - 2] != ',';
        if (hyphenated)
            body.pop_back();
        else if (!body.empty())
            body += ' ';
        body.append(part);
    }
    std::string_view names = body;
    if (const std::size_t dash = names.find(" - "); dash != std::string_view::npos)
        names = names.substr(0, dash);
    else if (names.size() >= 2 && names.substr(names.size() - 2) == " -")
        names.remove_suffix(2);
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start <= names.size()) {
        std::size_t comma = names.find(',', start);
        if (comma == std::string_view::npos) comma = names.size();
        const std::string_view word = TrimBlanks(names.substr(start, comma - start));
        if (IsNameWord(word) && std::find(words.begin(), words.end(), word) == words.end())
            words.emplace_back(word);
        start = comma + 1;
    }
    return words;
}

ReferenceBuilder::ReferenceBuilder(std::string_view preface) : text_(preface) {
    if (!text_.empty() && text_.back() != '\n') text_ += '\n';
    lines_ = CountManualPieces(text_);
    while (lines_ < static_cast<std::size_t>(kManualFirstShownLine)) {
        text_ += '\n';
        ++lines_;
    }
}

void ReferenceBuilder::AddPage(std::string_view text, const std::vector<std::string>& names,
                               std::string_view stem, std::string_view section) {
    const long first = static_cast<long>(lines_);
    const std::size_t before = text_.size();
    text_.append(text);
    if (!text_.empty() && text_.back() != '\n') text_ += '\n';
    text_ += '\n';
    // Every part ends in a line feed, so the pieces of the whole are the sum of the parts'.
    lines_ += CountManualPieces(std::string_view(text_).substr(before));
    ++pages_;
    // "name(section)": a name several pages document is told apart, and the typed name is
    // still a prefix of its entry.
    const auto add = [&](std::string_view name) {
        entries_.push_back(
            {FoldManualText(name), std::string(section),
             ManualIndexEntry{first, std::string(name) + "(" + std::string(section) + ")"}});
    };
    if (names.empty())
        add(stem);
    else
        for (const std::string& name : names)
            add(name);
}

std::vector<ManualIndexEntry> ReferenceBuilder::Entries() const {
    std::vector<const Entry*> order;
    order.reserve(entries_.size());
    for (const Entry& e : entries_)
        order.push_back(&e);
    std::stable_sort(order.begin(), order.end(), [](const Entry* a, const Entry* b) {
        if (a->folded != b->folded) return a->folded < b->folded;
        if (a->section != b->section)
            return SectionRankKey(a->section) < SectionRankKey(b->section);
        return a->entry.line < b->entry.line;
    });
    std::vector<ManualIndexEntry> out;
    out.reserve(order.size());
    for (const Entry* e : order)
        out.push_back(e->entry);
    return out;
}

std::string ReferenceBuilder::IndexText() const {
    std::string out;
    char number[32];
    for (const ManualIndexEntry& e : Entries()) {
        const int n = std::snprintf(number, sizeof number, "%ld,", e.line);
        out.append(number, static_cast<std::size_t>(n));
        out += e.text;
        out += '\n';
    }
    return out;
}

} // namespace mireka
