// How each terminal emulator takes the command it runs in its window. They differ: an option of
// their own, "--", nothing at all, or the whole command as one string that they split again.
#pragma once

#include "core/toolchain/CommandLine.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mireka {

enum class TerminalCommandForm {
    Words,        // the program and each argument as arguments of their own
    ShellString,  // one argument, split again the way /bin/sh splits words
    GroupedString // one argument, split at blanks outside quotes; a backslash is an
                  // ordinary character
};

struct TerminalConvention {
    std::string_view name;            // the emulator's file name
    std::string_view subcommand;      // words before everything else, blank-separated
    std::string_view directoryOption; // followed by the working directory; empty: it starts
                                      // in the directory it is started in
    std::string_view lead;            // words right before the command, blank-separated
    TerminalCommandForm form = TerminalCommandForm::Words;
    // "$NAME" in a word is replaced by the variable, whatever the quoting; no escape keeps it.
    bool expandsVariables = false;
};

// Every emulator known by name; an unknown one is taken for xterm ("-e", then the words),
// which is also what Debian asks of every x-terminal-emulator.
[[nodiscard]] std::span<const TerminalConvention> TerminalConventions() noexcept;

// The convention of the first known name among `names`: the name the terminal was found by,
// then the names its symbolic links lead to, so that x-terminal-emulator is taken for what it
// really is.
[[nodiscard]] const TerminalConvention&
TerminalConventionFor(std::span<const std::string> names) noexcept;

// The terminal's arguments that run `c.program` with `c.arguments` in `c.directory`. Nothing
// when the emulator's splitting cannot give back one of the words unchanged.
[[nodiscard]] std::optional<std::vector<std::string>> TerminalArguments(const TerminalConvention& t,
                                                                        const LaunchCommand& c);

} // namespace mireka
