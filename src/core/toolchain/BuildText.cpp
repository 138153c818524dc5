// Build messages and case-insensitive name helpers.
#include "core/toolchain/BuildText.h"

#include "core/base/Dbcs.h"

namespace mireka {

namespace {

char LowerAscii(char c) noexcept {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::size_t CharLen(std::string_view s, std::size_t i, PathStyle style) noexcept {
    return style == PathStyle::Windows ? dbcs::CharLength(s, i) : 1;
}

} // namespace

std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from,
                       PathStyle style) noexcept {
    if (needle.empty()) return from <= text.size() ? from : std::string_view::npos;
    for (std::size_t i = from; i + needle.size() <= text.size(); i += CharLen(text, i, style)) {
        if (EqualsNoCase(text.substr(i, needle.size()), needle)) return i;
    }
    return std::string_view::npos;
}

std::string FormatCannotRun(std::string_view command) {
    return std::string(kCannotRunMessage) + "（" + std::string(command) + "）";
}

std::string FormatMissingFile(std::string_view name) {
    return std::string(name) + " が有りません！";
}

std::string FormatMissingProgram(std::string_view name) {
    return "実行ファイル " + std::string(name) + " がありません。先にコンパイルしてください。";
}

bool EqualsNoCase(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

bool ContainsNoCase(std::string_view text, std::string_view needle, PathStyle style) noexcept {
    return FindNoCase(text, needle, 0, style) != std::string_view::npos;
}

std::string ToLowerAscii(std::string_view text, PathStyle style) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size();) {
        const std::size_t n = CharLen(out, i, style);
        if (n == 1) out[i] = LowerAscii(out[i]);
        i += n;
    }
    return out;
}

std::string ReplaceNoCase(std::string_view text, std::string_view needle,
                          std::string_view replacement, PathStyle style) {
    if (needle.empty()) return std::string(text);
    std::string out;
    std::size_t from = 0;
    for (std::size_t hit = FindNoCase(text, needle, 0, style); hit != std::string_view::npos;
         hit = FindNoCase(text, needle, from, style)) {
        out.append(text.substr(from, hit - from));
        out.append(replacement);
        from = hit + needle.size();
    }
    out.append(text.substr(from));
    return out;
}

} // namespace mireka
