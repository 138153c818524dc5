// Telling clang apart and leaving out what it refuses.
#include "core/toolchain/Clang.h"
#include "core/base/Text.h"

#include <array>

namespace mireka {

namespace {

constexpr std::string_view kInputCharset = "-finput-charset=";
constexpr std::array<std::string_view, 2> kCharsetOptions = {kInputCharset, "-fexec-charset="};

// The end of the word starting at `begin`: blanks inside quotes belong to the word, as the
// shell that runs the compile sees it.
std::size_t WordEnd(std::string_view s, std::size_t begin) noexcept {
    char quote = 0;
    std::size_t i = begin;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (quote) {
            if (c == '\\' && quote == '"' && i + 1 < s.size())
                ++i;
            else if (c == quote)
                quote = 0;
        } else if (c == '\\' && i + 1 < s.size()) {
            ++i;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (IsWhiteSpace(c)) {
            break;
        }
    }
    return i;
}

bool IsCharsetOption(std::string_view word) noexcept {
    for (const std::string_view prefix : kCharsetOptions)
        if (word.starts_with(prefix)) return true;
    return false;
}

bool IsInputCharsetOption(std::string_view word) noexcept {
    return word.starts_with(kInputCharset);
}

// The options without the words `drop` picks; everything else, quoted words and the blanks
// between the words kept, stays as it was.
template <class Drop>
std::string WithoutWords(std::string_view options, Drop drop) {
    // Each kept word comes with the blanks before it, except the first kept one, which takes
    // the place of the first word.
    std::string out;
    bool kept = false;
    std::size_t i = 0;
    while (i < options.size() && IsWhiteSpace(options[i]))
        ++i;
    out.append(options.substr(0, i));
    while (i < options.size()) {
        const std::size_t gap = i;
        while (i < options.size() && IsWhiteSpace(options[i]))
            ++i;
        if (i == options.size()) {
            out.append(options.substr(gap));
            break;
        }
        const std::size_t end = WordEnd(options, i);
        const std::string_view word = options.substr(i, end - i);
        if (!drop(word)) {
            if (kept) out.append(options.substr(gap, i - gap));
            out.append(word);
            kept = true;
        }
        i = end;
    }
    return out;
}

} // namespace

bool IsClangVersionText(std::string_view versionText) noexcept {
    constexpr std::string_view kName = "clang";
    for (std::size_t i = 0; i + kName.size() <= versionText.size(); ++i) {
        std::size_t k = 0;
        while (k < kName.size() && (versionText[i + k] | 0x20) == kName[k])
            ++k;
        if (k == kName.size()) return true;
    }
    return false;
}

std::string WithoutCharsetOptions(std::string_view options) {
    return WithoutWords(options, IsCharsetOption);
}

BuildSettings ForClangDriver(BuildSettings s) {
    s.m_strGccOption = WithoutCharsetOptions(s.m_strGccOption);
    return s;
}

BuildSettings ForSourceEncoding(BuildSettings s, Encoding encoding) {
    if (encoding == Encoding::Utf8)
        s.m_strGccOption = WithoutWords(s.m_strGccOption, IsInputCharsetOption);
    return s;
}

} // namespace mireka
