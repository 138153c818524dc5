// The text of a shortcut as a freedesktop desktop entry, with its values escaped so that no
// name, description or argument can add keys or break the command.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mireka {

struct ShellLink {
    std::string name;                            // shown for the shortcut
    std::string target;                          // the program's path
    std::vector<std::string> arguments;          // each one argument; none when absent
    std::optional<std::string> description;      // the Comment key; absent: not written
    std::optional<std::string> workingDirectory; // the Path key; absent: not written
    std::optional<std::string> icon;             // the Icon key: a theme name or a file's path
    bool takesFile = false;                      // Exec ends in %f: a file dropped on it opens
};

// A string value: "\\", line feed, tab and carriage return as escapes, a leading or trailing
// space as "\\s" (the reader would trim it).
[[nodiscard]] std::string EscapeDesktopString(std::string_view value);

// One argument of the Exec key, before the string escapes: "%" doubled (field codes), and
// double-quoted with "\"", "`", "$" and "\\" backslash-escaped when it holds a reserved
// character.
[[nodiscard]] std::string QuoteDesktopArgument(std::string_view arg);

// The whole file: "[Desktop Entry]", Type, Name, Comment, Exec, Path, Icon, Terminal, LF line
// ends.
[[nodiscard]] std::string MakeDesktopEntry(const ShellLink& link);

} // namespace mireka
