// Every command line the build commands start, as pure functions of the toolchain, the
// settings, the paths and the command interpreter.
#pragma once

#include "core/base/Paths.h"
#include "core/toolchain/BuildSettings.h"
#include "core/toolchain/Environment.h"
#include "core/toolchain/ShellQuote.h"
#include "core/toolchain/Toolchain.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mireka {

// The interpreter every compile and command runs through. It gets the command text as one
// argument after its switch.
struct CommandInterpreter {
    std::string path;      // what is started
    std::string name;      // its file-name part, shown at the start of the command line
    std::string switchArg; // "-c" or "/C"
    ShellSyntax syntax = ShellSyntax::Posix;
};

// COMSPEC when set and not empty; else "/bin/sh" with "-c" on POSIX and "CMD.EXE" with "/C" on
// Windows.
[[nodiscard]] CommandInterpreter GetCommandInterpreter(const Environment& env,
                                                       PathStyle style = kNativePathStyle);

// The short (8.3) form of a path, or nothing where the system cannot produce one. Without a
// function the long path is used, as on POSIX.
using ShortPathFn = std::function<std::optional<std::string>(const std::string& path)>;

// A command ready for the runner.
struct BuildCommand {
    std::string line;      // shown as the first line of the transcript: name, switch, command
    std::string command;   // the text the interpreter runs
    std::string directory; // working directory, ending in a separator; empty: the current one
    std::string note;      // a word for the user after the end marker (or the error block)
};

// The program a compile of `path` produces, without directory: the base name with ".exe", or
// for a kind with native program names on POSIX the base name alone ("name.out" when the
// source has no extension, so the program never overwrites its source).
[[nodiscard]] std::string ProgramName(ToolchainKind kind, std::string_view path,
                                      PathStyle style = kNativePathStyle);

// The options as a compile gets them: for a debug compile of a kind with a debug flag, the
// options without trailing white space plus " " and the flag (the flag alone when empty).
[[nodiscard]] std::string CompileOptions(const ToolchainDescriptor& d, const BuildSettings& s,
                                         bool debug);

// The compile of the source at `sourcePath` (debug: source-level debugging). Nothing when a
// file name cannot be given to the interpreter safely.
[[nodiscard]] std::optional<BuildCommand>
MakeCompileCommand(int toolchain, const BuildSettings& s, std::string_view sourcePath, bool debug,
                   const CommandInterpreter& shell, const ShortPathFn& shortPath = {},
                   PathStyle style = kNativePathStyle);

// The compile through the response file at `responsePath`; the program is named after it.
[[nodiscard]] std::optional<BuildCommand>
MakeResponseCompileCommand(int toolchain, const BuildSettings& s, std::string_view responsePath,
                           const CommandInterpreter& shell, const ShortPathFn& shortPath = {},
                           PathStyle style = kNativePathStyle);

// A command line the user typed, run verbatim in the document's directory.
[[nodiscard]] BuildCommand MakeUserCommand(const CommandInterpreter& shell,
                                           std::string_view commandText,
                                           std::string_view documentPath,
                                           PathStyle style = kNativePathStyle);

// The directory put in front of PATH before a build: the driver's directory without its
// trailing separator (a root keeps it); empty when the driver path has no directory.
[[nodiscard]] std::string ToolchainDirForPath(const std::string& toolchainPath,
                                              const ShortPathFn& shortPath = {},
                                              PathStyle style = kNativePathStyle);

// Puts the directory of the toolchain's driver in front of PATH.
bool AddToolchainDirToPath(Environment& env, const std::string& toolchainPath,
                           const ShortPathFn& shortPath = {}, PathStyle style = kNativePathStyle);

// Something to start without capturing its output.
struct LaunchCommand {
    std::string program;                // path of what is started
    std::vector<std::string> arguments; // one entry per argument
    std::string parameters;             // the same arguments as one text, quoted as on Windows
    std::string directory;              // its working directory; empty: the current one
    bool newTerminal = false;           // runs in a terminal window of its own
};

// The debugger of the selected kind, or empty when it has none or it is not there: the file
// beside the driver (Turbo Debugger) or the name on the PATH given (gdb).
[[nodiscard]] std::string FindDebugger(int toolchain, const BuildSettings& s,
                                       std::string_view pathValue, const FileProbe& probe,
                                       PathStyle style = kNativePathStyle);

// What the debugger command does for a document.
struct DebuggerPlan {
    enum class Action { Nothing, MissingProgram, Launch };
    Action action = Action::Nothing;
    std::string message;  // MissingProgram: the text for the message box
    LaunchCommand launch; // Launch
};

// Nothing for a kind without debugger or a source that is neither ".c" nor ".cpp"; the
// missing-program message when the program is not in the source's directory; else the launch
// of `debuggerPath` on the program, in the source's directory (gdb in a terminal window).
[[nodiscard]] DebuggerPlan PlanDebugger(int toolchain, std::string_view documentPath,
                                        const std::string& debuggerPath,
                                        const PathPredicate& exists,
                                        PathStyle style = kNativePathStyle);

// The interpreter in a window of its own, in the document's directory.
[[nodiscard]] LaunchCommand MakeShellWindowCommand(const CommandInterpreter& shell,
                                                   std::string_view documentPath,
                                                   PathStyle style = kNativePathStyle);

} // namespace mireka
