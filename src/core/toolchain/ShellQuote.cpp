// Quoting file names for /bin/sh and CMD.EXE.
#include "core/toolchain/ShellQuote.h"

#include "core/base/Dbcs.h"

namespace mireka {

namespace {

bool IsAsciiAlnum(unsigned char b) noexcept {
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

// Calls `f` with each character's first byte and its length. CMD file names are code page 932,
// so a double-byte character is one unit whose trail byte may equal "|" or "\\"; POSIX names
// are UTF-8, where no byte of a multibyte character is ASCII.
template <class F>
bool AllChars(std::string_view s, ShellSyntax syntax, F f) noexcept {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = syntax == ShellSyntax::Posix ? 1 : dbcs::CharLength(s, i);
        if (!f(static_cast<unsigned char>(s[i]), n)) return false;
        i += n;
    }
    return true;
}

bool IsPlainChar(unsigned char b, std::size_t len, ShellSyntax syntax) noexcept {
    if (len > 1 || b >= 0x80) return true;
    if (IsAsciiAlnum(b)) return true;
    if (syntax == ShellSyntax::Posix) {
        switch (b) {
        case '_':
        case '-':
        case '.':
        case '/':
        case '+':
        case ',':
        case ':':
        case '@':
        case '%':
            return true;
        default:
            return false;
        }
    }
    switch (b) {
    case '_':
    case '-':
    case '.':
    case '/':
    case '\\':
    case ':':
    case '+':
    case '@':
    case '~':
    case '#':
    case '$':
    case '\'':
    case '`':
    case '{':
    case '}':
    case '[':
    case ']':
        return true;
    default:
        return false;
    }
}

bool IsSafeQuotedChar(unsigned char b, std::size_t len, ShellSyntax syntax) noexcept {
    if (len > 1 || b >= 0x80) return true;
    if (syntax == ShellSyntax::Posix) return b != '$' && b != '`' && b != '\\' && b != '"';
    return b >= 0x20 && b != 0x7F && b != '"' && b != '%' && b != '!';
}

} // namespace

bool IsPlainWord(std::string_view word, ShellSyntax syntax) noexcept {
    return !word.empty() && AllChars(word, syntax, [syntax](unsigned char b, std::size_t n) {
        return IsPlainChar(b, n, syntax);
    });
}

bool IsSafeInDoubleQuotes(std::string_view word, ShellSyntax syntax) noexcept {
    return AllChars(word, syntax, [syntax](unsigned char b, std::size_t n) {
        return IsSafeQuotedChar(b, n, syntax);
    });
}

std::optional<std::string> QuoteWord(std::string_view word, ShellSyntax syntax) {
    if (IsPlainWord(word, syntax)) return std::string(word);
    std::string out;
    if (syntax == ShellSyntax::Posix) {
        out += '\'';
        for (const char c : word) {
            if (c == '\'')
                out += "'\\''";
            else
                out += c;
        }
        out += '\'';
        return out;
    }
    out += '"';
    for (std::size_t i = 0; i < word.size();) {
        const std::size_t n = dbcs::CharLength(word, i);
        const auto b = static_cast<unsigned char>(word[i]);
        if (n == 1 && (b < 0x20 || b == 0x7F || b == '"')) return std::nullopt;
        if (n == 1 && b == '%') {
            // A batch file reads "%%" as "%". On a command line a "%" outside the quotes,
            // escaped with "^", cannot start a variable reference.
            out += syntax == ShellSyntax::Batch ? "%%" : "\"^%\"";
        } else if (n == 1 && b == '!' && syntax == ShellSyntax::Cmd) {
            out += "\"^!\"";
        } else {
            out.append(word.substr(i, n));
        }
        i += n;
    }
    out += '"';
    return out;
}

} // namespace mireka
