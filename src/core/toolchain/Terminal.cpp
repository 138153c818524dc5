// The terminal emulators' command conventions, as each was seen to behave.
#include "core/toolchain/Terminal.h"

#include "core/toolchain/ShellQuote.h"

#include <array>

namespace mireka {

namespace {

using F = TerminalCommandForm;

constexpr TerminalConvention kXterm{"xterm", "", "", "-e", F::Words};

// The Debian wrappers (*.wrapper) stand behind x-terminal-emulator. Those of MATE, Xfce and
// Tilix turn "-e" with one argument into the emulator's own one-string "-e", which is the only
// form that survives a program path with blanks.
constexpr std::array<TerminalConvention, 28> kTerminals = {{
    kXterm,
    {"uxterm", "", "", "-e", F::Words},
    {"lxterm", "", "", "-e", F::Words},
    {"koi8rxterm", "", "", "-e", F::Words},
    {"urxvt", "", "", "-e", F::Words},
    {"rxvt", "", "", "-e", F::Words},
    {"st", "", "", "-e", F::Words},
    {"stterm", "", "", "-e", F::Words},
    {"alacritty", "", "", "-e", F::Words},
    {"kitty", "", "", "", F::Words},
    {"foot", "", "", "", F::Words},
    {"footclient", "", "", "", F::Words},
    {"konsole", "", "--workdir", "-e", F::Words, true},
    {"gnome-terminal", "", "", "--", F::Words},
    {"gnome-terminal.wrapper", "", "", "-e", F::Words},
    {"kgx", "", "--working-directory", "--", F::Words},
    {"ptyxis", "", "-d", "--", F::Words},
    {"mate-terminal", "", "", "-x", F::Words},
    {"mate-terminal.wrapper", "", "", "-e", F::ShellString},
    {"xfce4-terminal", "", "", "-x", F::Words},
    {"xfce4-terminal.wrapper", "", "", "-e", F::ShellString},
    {"terminator", "", "", "-x", F::Words},
    {"tilix", "", "", "-e", F::ShellString},
    {"tilix.wrapper", "", "", "-e", F::ShellString},
    {"lxterminal", "", "", "-e", F::ShellString},
    {"terminology", "", "", "-e", F::ShellString},
    {"qterminal", "", "", "-e", F::GroupedString, true},
    // wezterm starts its first window in the home folder unless told otherwise.
    {"wezterm", "start", "--cwd", "--", F::Words},
}};

void AppendWords(std::vector<std::string>& out, std::string_view words) {
    while (!words.empty()) {
        const std::size_t blank = words.find(' ');
        out.emplace_back(words.substr(0, blank));
        if (blank == std::string_view::npos) break;
        words.remove_prefix(blank + 1);
    }
}

bool IsNameStart(char c) noexcept {
    return c == '_' || c == '{' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           (c >= '0' && c <= '9');
}

bool HasVariable(std::string_view word) noexcept {
    for (std::size_t i = 0; i + 1 < word.size(); ++i)
        if (word[i] == '$' && IsNameStart(word[i + 1])) return true;
    return false;
}

// A word for qterminal's splitter: quotes group and nothing escapes.
std::optional<std::string> GroupedWord(std::string_view word) {
    const bool plain = !word.empty() && word.find_first_of(" \t\n\r\v\f'\"") == word.npos;
    if (plain) return std::string(word);
    for (const char quote : {'\'', '"'})
        if (word.find(quote) == word.npos) return quote + std::string(word) + quote;
    return std::nullopt;
}

} // namespace

std::span<const TerminalConvention> TerminalConventions() noexcept {
    return kTerminals;
}

const TerminalConvention& TerminalConventionFor(std::span<const std::string> names) noexcept {
    for (const std::string& name : names)
        for (const TerminalConvention& t : TerminalConventions())
            if (t.name == name) return t;
    return kXterm;
}

std::optional<std::vector<std::string>> TerminalArguments(const TerminalConvention& t,
                                                          const LaunchCommand& c) {
    if (t.expandsVariables) {
        if (HasVariable(c.program)) return std::nullopt;
        for (const std::string& a : c.arguments)
            if (HasVariable(a)) return std::nullopt;
    }
    std::vector<std::string> out;
    AppendWords(out, t.subcommand);
    if (!t.directoryOption.empty() && !c.directory.empty()) {
        out.emplace_back(t.directoryOption);
        out.push_back(c.directory);
    }
    AppendWords(out, t.lead);
    if (t.form == F::Words) {
        out.push_back(c.program);
        out.insert(out.end(), c.arguments.begin(), c.arguments.end());
        return out;
    }
    std::string line;
    for (std::size_t i = 0; i <= c.arguments.size(); ++i) {
        const std::string& word = i == 0 ? c.program : c.arguments[i - 1];
        const std::optional<std::string> quoted =
            t.form == F::ShellString ? QuoteWord(word, ShellSyntax::Posix) : GroupedWord(word);
        if (!quoted) return std::nullopt;
        if (i > 0) line += ' ';
        line += *quoted;
    }
    out.push_back(std::move(line));
    return out;
}

} // namespace mireka
