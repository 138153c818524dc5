// The line lexer of the syntax colouring and its keyword table.
#include "core/editor/Colorizer.h"

#include "core/base/Dbcs.h"

#include <algorithm>
#include <array>
#include <limits>

namespace mireka {
namespace {

constexpr std::array<std::string_view, 79> kKeywordList = {
    "#define",      "#elif",      "#else",     "#endif",    "#error",
    "#if",          "#ifdef",     "#ifndef",   "#import",   "#include",
    "#line",        "#pragma",    "#undef",    "asm",       "auto",
    "bad_cast",     "bad_typeid", "bool",      "break",     "case",
    "catch",        "char",       "class",     "const",     "const_cast",
    "continue",     "default",    "delete",    "do",        "double",
    "dynamic_cast", "else",       "enum",      "except",    "explicit",
    "extern",       "false",      "finally",   "float",     "for",
    "friend",       "goto",       "if",        "inline",    "int",
    "long",         "mutable",    "namespace", "new",       "operator",
    "private",      "protected",  "public",    "register",  "reinterpret_cast",
    "return",       "short",      "signed",    "sizeof",    "static",
    "static_cast",  "struct",     "switch",    "template",  "this",
    "throw",        "true",       "try",       "type_info", "typedef",
    "typeid",       "typename",   "union",     "unsigned",  "using",
    "virtual",      "void",       "volatile",  "while",
};

// Sorted once, with the comparison the lookup uses.
constexpr auto kKeywords = [] {
    auto table = kKeywordList;
    std::sort(table.begin(), table.end());
    return table;
}();
static_assert(std::adjacent_find(kKeywords.begin(), kKeywords.end()) == kKeywords.end(),
              "keyword table holds a duplicate");

constexpr std::size_t kLongestKeyword = [] {
    std::size_t n = 0;
    for (auto k : kKeywordList)
        n = std::max(n, k.size());
    return n;
}();

// What the lexer does with a single-byte character.
enum Kind : std::uint8_t { kWord, kDelim, kTab, kDQuote, kSQuote, kSlash, kStar, kBackslash };

constexpr std::array<Kind, 256> kKinds = [] {
    std::array<Kind, 256> k{};
    k.fill(kWord);
    for (unsigned char c : std::string_view(" !%&()+,-:;<=>[]{}|"))
        k[c] = kDelim;
    k['\t'] = kTab;
    k['"'] = kDQuote;
    k['\''] = kSQuote;
    k['/'] = kSlash;
    k['*'] = kStar;
    k['\\'] = kBackslash;
    return k;
}();

// A pending run longer than this is painted before it grows further.
constexpr std::int32_t kMaxRun = 1023;

// Collects painted ranges, merging a range into the previous span when they touch and agree.
class SpanWriter {
public:
    explicit SpanWriter(std::vector<ColorSpan>& spans) : spans_(spans) { spans_.clear(); }

    void Paint(std::int32_t start, std::int32_t end, ColorClass cls) {
        if (start >= end) return;
        if (!spans_.empty() && spans_.back().end == start && spans_.back().cls == cls) {
            spans_.back().end = end;
            return;
        }
        spans_.push_back({start, end, cls});
    }

private:
    std::vector<ColorSpan>& spans_;
};

} // namespace

bool IsKeyword(std::string_view token) noexcept {
    // Cheap rejections first: most tokens are identifiers, numbers or too long.
    if (token.size() < 2 || token.size() > kLongestKeyword) return false;
    const char first = token.front();
    if (first != '#' && (first < 'a' || first > 'w')) return false;
    return std::binary_search(kKeywords.begin(), kKeywords.end(), token);
}

ByteClass ClassifyByte(unsigned char b) noexcept {
    switch (kKinds[b]) {
    case kWord:
        return ByteClass::Word;
    case kDelim:
    case kTab:
        return ByteClass::Delimiter;
    default:
        return ByteClass::Special;
    }
}

std::uint32_t ColorizeLine(std::string_view line, std::uint32_t state,
                           std::vector<ColorSpan>& spans) {
    return ColorizeRange(line, {0, state}, std::numeric_limits<std::int32_t>::max(), spans)
        .at.state;
}

LexStop ColorizeRange(std::string_view line, LexPoint from, std::int32_t until,
                      std::vector<ColorSpan>& spans, std::vector<LexPoint>* points,
                      std::int32_t spacing) {
    SpanWriter out(spans);
    // Offsets are 32-bit; a longer line is coloured up to that limit and drawn plain beyond it.
    const auto n = static_cast<std::int32_t>(
        std::min<std::size_t>(line.size(), std::numeric_limits<std::int32_t>::max()));
    const char* s = line.data();

    std::uint32_t state = from.state;
    // The colour follows from the state alone, which is what makes resume points possible.
    ColorClass colour = state == kStateBlockComment || state == kStateLineComment
                            ? ColorClass::Comment
                        : state == kStateString || state == kStateChar ? ColorClass::String
                                                                       : ColorClass::Text;
    // The pending run P is always the bytes [r, i): each rule that empties or restarts P moves r
    // so. The lexer appends an invalid byte as a space, but only the keyword test reads P's
    // content beyond its first byte, and a keyword holds neither a space nor an invalid byte,
    // so the line's own bytes serve as P.
    std::int32_t r = std::clamp(from.offset, 0, n);
    bool afterLead = false;
    std::int32_t nextPoint = r + spacing;
    const auto pendingIs = [&](std::int32_t i, char c) { return i - r == 1 && s[r] == c; };
    const auto pendingIsKeyword = [&](std::int32_t i) {
        return IsKeyword(std::string_view(s + r, static_cast<std::size_t>(i - r)));
    };

    for (std::int32_t i = r; i < n; ++i) {
        if (r == i && !afterLead) { // nothing pending: a resume point
            if (i >= until) return {{i, state}, false};
            if (points && i >= nextPoint) {
                points->push_back({i, state});
                nextPoint = i + spacing;
            }
        }
        const auto c = static_cast<unsigned char>(s[i]);
        // Double-byte characters come first: a trail byte equal to a special or a delimiter must
        // not act as one. A byte after a lead byte that is no valid trail byte is invalid and
        // falls through to the single-byte rules below.
        if (afterLead) {
            afterLead = false;
            if (dbcs::IsTrailByte(c)) {
                out.Paint(r, i + 1, colour);
                r = i + 1;
                continue;
            }
        } else if (dbcs::IsLeadByte(c)) {
            if (i - r > kMaxRun) {
                out.Paint(r, i, colour);
                r = i;
            }
            afterLead = true;
            continue;
        }

        switch (kKinds[c]) {
        case kDQuote:
        case kSQuote: {
            const std::uint32_t literal = kKinds[c] == kDQuote ? kStateString : kStateChar;
            if (state == kStateNormal) {
                out.Paint(r, i, colour);
                colour = ColorClass::String;
                out.Paint(i, i + 1, colour);
                state = literal;
            } else if (state == literal) {
                const bool escaped = pendingIs(i, '\\');
                out.Paint(r, i + 1, colour);
                if (!escaped) {
                    colour = ColorClass::Text;
                    state = kStateNormal;
                }
            } else {
                out.Paint(r, i + 1, colour);
            }
            r = i + 1;
            break;
        }
        case kSlash:
            if (state == kStateNormal && pendingIs(i, '/')) {
                colour = ColorClass::Comment;
                state = kStateLineComment;
                out.Paint(r, i + 1, colour);
                r = i + 1;
            } else if (state == kStateBlockComment && pendingIs(i, '*')) {
                state = kStateNormal;
                out.Paint(r, i + 1, colour);
                colour = ColorClass::Text;
                r = i + 1;
            } else {
                const bool keyword = state == kStateNormal && pendingIsKeyword(i);
                out.Paint(r, i, keyword ? ColorClass::Keyword : colour);
                if (keyword) colour = ColorClass::Text;
                r = i; // the slash starts the next run
            }
            break;
        case kStar:
            if (state == kStateNormal && pendingIs(i, '/')) {
                colour = ColorClass::Comment;
                state = kStateBlockComment;
                out.Paint(r, i + 1, colour);
                r = i + 1;
            } else if (state == kStateNormal && pendingIsKeyword(i)) {
                out.Paint(r, i, ColorClass::Keyword);
                colour = ColorClass::Text;
                out.Paint(i, i + 1, colour);
                r = i + 1;
            } else {
                out.Paint(r, i, colour);
                r = i; // the asterisk starts the next run
            }
            break;
        case kBackslash:
            if (pendingIs(i, '\\')) {
                // An escaped backslash is painted at once, so it cannot escape what follows.
                out.Paint(r, i + 1, colour);
                r = i + 1;
            } else {
                out.Paint(r, i, colour);
                r = i;
            }
            break;
        case kDelim:
        case kTab:
            // A leading "*" or "/" is split off so that "*p" or "/int" leave the word to test.
            if (i > r && (s[r] == '*' || s[r] == '/')) {
                out.Paint(r, r + 1, colour);
                ++r;
            }
            if (state == kStateNormal && pendingIsKeyword(i)) {
                out.Paint(r, i, ColorClass::Keyword);
                colour = ColorClass::Text;
                r = i;
            }
            out.Paint(r, i, colour);
            if (kKinds[c] == kDelim) out.Paint(i, i + 1, colour); // a tab is never drawn
            r = i + 1;
            break;
        case kWord:
            if (i - r > kMaxRun) {
                out.Paint(r, i, colour);
                r = i;
            }
            break;
        }
    }

    if (state == kStateNormal && pendingIsKeyword(n)) {
        out.Paint(r, n, ColorClass::Keyword);
        return {{n, kStateNormal}, true};
    }
    out.Paint(r, n, colour);
    return {{n, state == kStateBlockComment ? kStateBlockComment : kStateNormal}, true};
}

} // namespace mireka
