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
                           std::vector<ColorSpan>& spans, Encoding enc) {
    return ColorizeRange(line, {0, state}, std::numeric_limits<std::int32_t>::max(), spans, nullptr,
                         4096, enc)
        .at.state;
}

namespace {

// One pass of the lexer over part of a line. The pending run P is always the bytes [r, i): each
// rule that empties or restarts P moves r so. The lexer appends an invalid byte as a space, but
// only the keyword test reads P's content beyond its first byte, and a keyword holds neither a
// space nor an invalid byte, so the line's own bytes serve as P.
class RangeLexer {
public:
    RangeLexer(std::string_view line, LexPoint from, std::vector<ColorSpan>& spans, Encoding enc)
        : out_(spans), s_(line.data()), dbcs_(enc == Encoding::Cp932),
          // Offsets are 32-bit; a longer line is coloured up to that limit and drawn plain
          // beyond it.
          n_(static_cast<std::int32_t>(
              std::min<std::size_t>(line.size(), std::numeric_limits<std::int32_t>::max()))),
          state_(from.state), colour_(ColourOf(from.state)), r_(std::clamp(from.offset, 0, n_)) {}

    [[nodiscard]] std::int32_t Start() const noexcept { return r_; }
    [[nodiscard]] std::int32_t End() const noexcept { return n_; }
    // Nothing is pending before byte i: colouring can resume there.
    [[nodiscard]] bool AtResumePoint(std::int32_t i) const noexcept {
        return r_ == i && !afterLead_;
    }
    [[nodiscard]] std::uint32_t State() const noexcept { return state_; }

    void Step(std::int32_t i) {
        const auto c = static_cast<unsigned char>(s_[i]);
        if (dbcs_ && DoubleByte(i, c)) return;
        switch (kKinds[c]) {
        case kDQuote:
            Quote(i, kStateString);
            break;
        case kSQuote:
            Quote(i, kStateChar);
            break;
        case kSlash:
            Slash(i);
            break;
        case kStar:
            Star(i);
            break;
        case kBackslash:
            Backslash(i);
            break;
        case kDelim:
        case kTab:
            Delimiter(i, kKinds[c] == kDelim);
            break;
        case kWord:
            CapRun(i);
            break;
        }
    }

    // Paints what is pending at the line's end; the next line's state.
    LexStop Finish() {
        if (state_ == kStateNormal && PendingIsKeyword(n_)) {
            out_.Paint(r_, n_, ColorClass::Keyword);
            return {{n_, kStateNormal}, true};
        }
        out_.Paint(r_, n_, colour_);
        return {{n_, state_ == kStateBlockComment ? kStateBlockComment : kStateNormal}, true};
    }

private:
    // The colour follows from the state alone, which is what makes resume points possible.
    static ColorClass ColourOf(std::uint32_t state) noexcept {
        if (state == kStateBlockComment || state == kStateLineComment) return ColorClass::Comment;
        if (state == kStateString || state == kStateChar) return ColorClass::String;
        return ColorClass::Text;
    }
    [[nodiscard]] bool PendingIs(std::int32_t i, char c) const noexcept {
        return i - r_ == 1 && s_[r_] == c;
    }
    [[nodiscard]] bool PendingIsKeyword(std::int32_t i) const noexcept {
        return IsKeyword(std::string_view(s_ + r_, static_cast<std::size_t>(i - r_)));
    }
    // A pending run longer than kMaxRun is painted before it grows further.
    void CapRun(std::int32_t i) {
        // Nor is a UTF-8 character cut.
        if (i - r_ > kMaxRun && (dbcs_ || (static_cast<unsigned char>(s_[i]) & 0xC0) != 0x80)) {
            out_.Paint(r_, i, colour_);
            r_ = i;
        }
    }

    // Double-byte characters come first: a trail byte equal to a special or a delimiter must not
    // act as one. A byte after a lead byte that is no valid trail byte is invalid and falls
    // through to the single-byte rules. True when the byte was taken.
    bool DoubleByte(std::int32_t i, unsigned char c) {
        if (afterLead_) {
            afterLead_ = false;
            if (!dbcs::IsTrailByte(c)) return false;
            out_.Paint(r_, i + 1, colour_);
            r_ = i + 1;
            return true;
        }
        if (!dbcs::IsLeadByte(c)) return false;
        CapRun(i);
        afterLead_ = true;
        return true;
    }

    void Quote(std::int32_t i, std::uint32_t literal) {
        if (state_ == kStateNormal) {
            out_.Paint(r_, i, colour_);
            colour_ = ColorClass::String;
            out_.Paint(i, i + 1, colour_);
            state_ = literal;
        } else if (state_ == literal) {
            const bool escaped = PendingIs(i, '\\');
            out_.Paint(r_, i + 1, colour_);
            if (!escaped) {
                colour_ = ColorClass::Text;
                state_ = kStateNormal;
            }
        } else {
            out_.Paint(r_, i + 1, colour_);
        }
        r_ = i + 1;
    }

    void Slash(std::int32_t i) {
        if (state_ == kStateNormal && PendingIs(i, '/')) {
            colour_ = ColorClass::Comment;
            state_ = kStateLineComment;
            out_.Paint(r_, i + 1, colour_);
            r_ = i + 1;
        } else if (state_ == kStateBlockComment && PendingIs(i, '*')) {
            state_ = kStateNormal;
            out_.Paint(r_, i + 1, colour_);
            colour_ = ColorClass::Text;
            r_ = i + 1;
        } else {
            const bool keyword = state_ == kStateNormal && PendingIsKeyword(i);
            out_.Paint(r_, i, keyword ? ColorClass::Keyword : colour_);
            if (keyword) colour_ = ColorClass::Text;
            r_ = i; // the slash starts the next run
        }
    }

    void Star(std::int32_t i) {
        if (state_ == kStateNormal && PendingIs(i, '/')) {
            colour_ = ColorClass::Comment;
            state_ = kStateBlockComment;
            out_.Paint(r_, i + 1, colour_);
            r_ = i + 1;
        } else if (state_ == kStateNormal && PendingIsKeyword(i)) {
            out_.Paint(r_, i, ColorClass::Keyword);
            colour_ = ColorClass::Text;
            out_.Paint(i, i + 1, colour_);
            r_ = i + 1;
        } else {
            out_.Paint(r_, i, colour_);
            r_ = i; // the asterisk starts the next run
        }
    }

    void Backslash(std::int32_t i) {
        // An escaped backslash is painted at once, so it cannot escape what follows.
        const bool escaped = PendingIs(i, '\\');
        out_.Paint(r_, escaped ? i + 1 : i, colour_);
        r_ = escaped ? i + 1 : i;
    }

    void Delimiter(std::int32_t i, bool drawn) {
        // A leading "*" or "/" is split off so that "*p" or "/int" leave the word to test.
        if (i > r_ && (s_[r_] == '*' || s_[r_] == '/')) {
            out_.Paint(r_, r_ + 1, colour_);
            ++r_;
        }
        if (state_ == kStateNormal && PendingIsKeyword(i)) {
            out_.Paint(r_, i, ColorClass::Keyword);
            colour_ = ColorClass::Text;
            r_ = i;
        }
        out_.Paint(r_, i, colour_);
        if (drawn) out_.Paint(i, i + 1, colour_); // a tab is never drawn
        r_ = i + 1;
    }

    SpanWriter out_;
    const char* s_;
    bool dbcs_; // code page 932: lead and trail bytes pair up
    std::int32_t n_;
    std::uint32_t state_;
    ColorClass colour_;
    std::int32_t r_;
    bool afterLead_ = false;
};

} // namespace

LexStop ColorizeRange(std::string_view line, LexPoint from, std::int32_t until,
                      std::vector<ColorSpan>& spans, std::vector<LexPoint>* points,
                      std::int32_t spacing, Encoding enc) {
    RangeLexer lexer(line, from, spans, enc);
    std::int32_t nextPoint = lexer.Start() + spacing;
    for (std::int32_t i = lexer.Start(); i < lexer.End(); ++i) {
        if (lexer.AtResumePoint(i)) {
            if (i >= until) return {{i, lexer.State()}, false};
            if (points && i >= nextPoint) {
                points->push_back({i, lexer.State()});
                nextPoint = i + spacing;
            }
        }
        lexer.Step(i);
    }
    return lexer.Finish();
}

} // namespace mireka
