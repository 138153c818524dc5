// Desktop-entry text for shortcuts.
#include "core/app/ShellLink.h"

namespace mireka {

namespace {

bool IsReservedInExec(char c) noexcept {
    constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`";
    return reserved.find(c) != std::string_view::npos;
}

} // namespace

std::string EscapeDesktopString(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case ' ':
            out += i == 0 || i + 1 == value.size() ? "\\s" : " ";
            break;
        default:
            // Other control characters cannot stand in a value at all.
            if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) out += c;
            break;
        }
    }
    return out;
}

std::string QuoteDesktopArgument(std::string_view arg) {
    bool reserved = arg.empty();
    std::string out;
    for (const char c : arg) {
        if (c == '%')
            out += "%%";
        else
            out += c;
        reserved = reserved || IsReservedInExec(c);
    }
    if (!reserved) return out;
    std::string quoted = "\"";
    for (const char c : out) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string MakeDesktopEntry(const ShellLink& link) {
    std::string exec = QuoteDesktopArgument(link.target);
    for (const std::string& a : link.arguments) {
        exec += ' ';
        exec += QuoteDesktopArgument(a);
    }
    if (link.takesFile) exec += " %f"; // a field code, so not quoted
    std::string text = "[Desktop Entry]\nType=Application\nVersion=1.0\n";
    text += "Name=" + EscapeDesktopString(link.name) + '\n';
    if (link.description) text += "Comment=" + EscapeDesktopString(*link.description) + '\n';
    text += "Exec=" + EscapeDesktopString(exec) + '\n';
    if (link.workingDirectory) text += "Path=" + EscapeDesktopString(*link.workingDirectory) + '\n';
    if (link.icon) text += "Icon=" + EscapeDesktopString(*link.icon) + '\n';
    text += "Terminal=false\n";
    return text;
}

} // namespace mireka
