// Starting programs without waiting for them: in a terminal window of their own, or through the
// desktop's "open" action.
#pragma once

#include "core/toolchain/CommandLine.h"
#include "core/toolchain/Environment.h"

#include <QProcessEnvironment>

#include <optional>
#include <string>
#include <vector>

namespace mireka {

// Names the terminal emulator for tests and for users who want another one.
inline constexpr std::string_view kTerminalOverride = "MIREKA_TERMINAL";

// The terminal emulator that runs a command in a window of its own: MIREKA_TERMINAL when set,
// else x-terminal-emulator on PATH, else $TERMINAL, else xterm. Found on PATH when it is a bare
// name; empty when nothing can be found.
[[nodiscard]] std::string FindTerminal(const Environment& env, const PathPredicate& executable);

// The file names a terminal goes by: its own, then those of the symbolic links it leads
// through (x-terminal-emulator, /etc/alternatives/…, the emulator itself).
[[nodiscard]] std::vector<std::string> TerminalNames(const std::string& terminal);

// The program and arguments that start `c`: for a terminal window the terminal with the
// arguments its convention asks for, else the program and its arguments. Nothing when the
// terminal cannot be given the command unchanged.
struct ProcessStart {
    std::string program;
    std::vector<std::string> arguments;
};
[[nodiscard]] std::optional<ProcessStart> MakeProcessStart(const LaunchCommand& c,
                                                           const std::string& terminal);

// Starts `c` in its directory with `env` and returns at once. False when it could not be
// started, with the system's reason in `error`.
bool StartDetached(const LaunchCommand& c, const Environment& lookupEnv,
                   const QProcessEnvironment& env, std::string* error);

// The first calculator found on PATH of those desktops commonly have; empty when none is.
[[nodiscard]] std::string FindCalculator(const Environment& env, const PathPredicate& executable);

// The desktop's "open" action on a file (or a program, on Windows). False when refused.
bool ShellOpen(const std::string& path);

} // namespace mireka
