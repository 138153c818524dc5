// Compile, command, debugger and shell-window command lines.
#include "core/toolchain/CommandLine.h"

#include "core/toolchain/BuildText.h"

#include <array>

namespace mireka {

namespace {

bool IsFileNameSlot(CommandSlot slot) noexcept {
    return slot == CommandSlot::Driver || slot == CommandSlot::Input || slot == CommandSlot::Output;
}

// Fills the format's %s from `values`, quoting file names for the interpreter. A file name in
// a quoted field ("\"%s\"") stays there when the quotes protect it; otherwise the whole field,
// quotes included, becomes the interpreter's own quoting of the name.
std::optional<std::string>
FillFormat(const CommandFormat& f, const std::array<std::string, 6>& values, ShellSyntax syntax) {
    const std::string_view fmt = f.format;
    std::string out;
    std::size_t slot = 0;
    for (std::size_t i = 0; i < fmt.size(); ++i) {
        if (fmt[i] != '%' || i + 1 >= fmt.size() || fmt[i + 1] != 's' || slot >= f.slotCount) {
            out += fmt[i];
            continue;
        }
        const CommandSlot kind = f.fills[slot];
        const std::string& value = values[static_cast<std::size_t>(kind)];
        ++slot;
        ++i; // past the "s"
        if (!IsFileNameSlot(kind)) {
            out += value;
            continue;
        }
        const bool quoted = i >= 2 && fmt[i - 2] == '"' && i + 1 < fmt.size() && fmt[i + 1] == '"';
        if (quoted && IsSafeInDoubleQuotes(value, syntax)) {
            out += value;
            continue;
        }
        const std::optional<std::string> word = QuoteWord(value, syntax);
        if (!word) return std::nullopt;
        if (quoted) {
            out.pop_back(); // the field's opening quote
            ++i;            // and its closing one
        }
        out += *word;
    }
    return out;
}

std::string InputPath(const ToolchainDescriptor& d, std::string_view path,
                      const ShortPathFn& shortPath) {
    std::string input(path);
    if (d.shortInputPath && shortPath) {
        if (std::optional<std::string> s = shortPath(input)) input = *std::move(s);
    }
    return input;
}

std::optional<BuildCommand> MakeCommand(const CommandFormat& format, int toolchain,
                                        const BuildSettings& s, std::string_view path, bool debug,
                                        const CommandInterpreter& shell,
                                        const ShortPathFn& shortPath, PathStyle style) {
    const ToolchainDescriptor& d = ToolchainOf(toolchain);
    const std::string input = InputPath(d, path, shortPath);
    std::array<std::string, 6> values;
    values[static_cast<std::size_t>(CommandSlot::Driver)] =
        GetFileNameExt(s.GetToolchainPath(toolchain), style);
    values[static_cast<std::size_t>(CommandSlot::Options)] = CompileOptions(d, s, debug);
    values[static_cast<std::size_t>(CommandSlot::Input)] = GetFileNameExt(input, style);
    values[static_cast<std::size_t>(CommandSlot::Library)] = d.library ? s.*d.library : "";
    values[static_cast<std::size_t>(CommandSlot::Output)] = ProgramName(d.kind, input, style);
    std::optional<std::string> command = FillFormat(format, values, shell.syntax);
    if (!command) return std::nullopt;
    BuildCommand c;
    c.line = shell.name + ' ' + shell.switchArg + ' ' + *command;
    c.command = *std::move(command);
    c.directory = GetFileDir(input, style);
    return c;
}

bool IsSourceExtension(std::string_view ext) noexcept {
    return EqualsNoCase(ext, ".c") || EqualsNoCase(ext, ".cpp");
}

} // namespace

CommandInterpreter GetCommandInterpreter(const Environment& env, PathStyle style) {
    CommandInterpreter shell;
    shell.path = env.Get("COMSPEC").value_or(std::string());
    const bool windows = style == PathStyle::Windows;
    if (shell.path.empty()) shell.path = windows ? "CMD.EXE" : "/bin/sh";
    shell.name = GetFileNameExt(shell.path, style);
    shell.switchArg = windows ? "/C" : "-c";
    shell.syntax = windows ? ShellSyntax::Cmd : ShellSyntax::Posix;
    return shell;
}

std::string ProgramName(ToolchainKind kind, std::string_view path, PathStyle style) {
    const std::string name = GetFileNameExt(path, style);
    if (Toolchain(kind).nativeProgramName && style == PathStyle::Posix) {
        std::string base = ReplaceFileExt(name, "", style);
        if (base.empty() || base == name) return name + ".out";
        return base;
    }
    return ReplaceFileExt(name, "exe", style);
}

std::string CompileOptions(const ToolchainDescriptor& d, const BuildSettings& s, bool debug) {
    std::string options = s.*d.option;
    if (!debug || d.debugFlag.empty()) return options;
    const std::size_t end = options.find_last_not_of(" \t\r\n\v\f");
    options.erase(end == std::string::npos ? 0 : end + 1);
    if (!options.empty()) options += ' ';
    options += d.debugFlag;
    return options;
}

std::optional<BuildCommand> MakeCompileCommand(int toolchain, const BuildSettings& s,
                                               std::string_view sourcePath, bool debug,
                                               const CommandInterpreter& shell,
                                               const ShortPathFn& shortPath, PathStyle style) {
    return MakeCommand(ToolchainOf(toolchain).normal, toolchain, s, sourcePath, debug, shell,
                       shortPath, style);
}

std::optional<BuildCommand> MakeResponseCompileCommand(int toolchain, const BuildSettings& s,
                                                       std::string_view responsePath,
                                                       const CommandInterpreter& shell,
                                                       const ShortPathFn& shortPath,
                                                       PathStyle style) {
    return MakeCommand(ToolchainOf(toolchain).response, toolchain, s, responsePath, false, shell,
                       shortPath, style);
}

BuildCommand MakeUserCommand(const CommandInterpreter& shell, std::string_view commandText,
                             std::string_view documentPath, PathStyle style) {
    BuildCommand c;
    c.command = std::string(commandText);
    c.line = shell.name + ' ' + shell.switchArg + ' ' + c.command;
    c.directory = GetFileDir(documentPath, style);
    return c;
}

std::string ToolchainDirForPath(const std::string& toolchainPath, const ShortPathFn& shortPath,
                                PathStyle style) {
    std::string path = toolchainPath;
    if (shortPath) {
        if (std::optional<std::string> s = shortPath(path)) path = *std::move(s);
    }
    std::string dir = GetFileDir(path, style);
    const bool root = dir.size() == DriveLength(dir, style) + 1;
    if (!dir.empty() && !root && FindLastSeparator(dir, style) == dir.size() - 1) dir.pop_back();
    return dir;
}

bool AddToolchainDirToPath(Environment& env, const std::string& toolchainPath,
                           const ShortPathFn& shortPath, PathStyle style) {
    const std::string dir = ToolchainDirForPath(toolchainPath, shortPath, style);
    return dir.empty() || PrependToEnvironmentVariable(env, "PATH", dir, style);
}

std::string FindDebugger(int toolchain, const BuildSettings& s, std::string_view pathValue,
                         const FileProbe& probe, PathStyle style) {
    const ToolchainDescriptor& d = ToolchainOf(toolchain);
    switch (d.debuggerPlace) {
    case DebuggerPlace::BesideDriver: {
        const std::string& driver = s.GetToolchainPath(toolchain);
        if (driver.empty() || !probe.exists) return {};
        std::string candidate = GetFileDir(driver, style) + std::string(d.debugger);
        return probe.exists(candidate) ? candidate : std::string();
    }
    case DebuggerPlace::OnPath:
        return FindOnPath(d.debugger, pathValue, probe.executable, style);
    case DebuggerPlace::None:
        break;
    }
    return {};
}

DebuggerPlan PlanDebugger(int toolchain, std::string_view documentPath,
                          const std::string& debuggerPath, const PathPredicate& exists,
                          PathStyle style) {
    DebuggerPlan plan;
    const ToolchainDescriptor& d = ToolchainOf(toolchain);
    if (d.debuggerPlace == DebuggerPlace::None || documentPath.empty()) return plan;
    if (!IsSourceExtension(GetFileExt(documentPath, style))) return plan;
    if (debuggerPath.empty()) {
        plan.action = DebuggerPlan::Action::MissingProgram;
        plan.message = FormatMissingFile(d.debugger);
        return plan;
    }
    const std::string program = ProgramName(d.kind, documentPath, style);
    const std::string dir = GetFileDir(documentPath, style);
    if (!exists || !exists(dir + program)) {
        plan.action = DebuggerPlan::Action::MissingProgram;
        plan.message = FormatMissingFile(program);
        return plan;
    }
    // gdb would look a bare name up on PATH; "./" keeps it to the source's directory.
    const bool terminal = d.debuggerPlace == DebuggerPlace::OnPath;
    const std::string argument = terminal && style == PathStyle::Posix ? "./" + program : program;
    plan.action = DebuggerPlan::Action::Launch;
    plan.launch.program = debuggerPath;
    plan.launch.arguments = {argument};
    plan.launch.parameters = '"' + argument + '"';
    plan.launch.directory = dir;
    plan.launch.newTerminal = terminal;
    return plan;
}

LaunchCommand MakeShellWindowCommand(const CommandInterpreter& shell, std::string_view documentPath,
                                     PathStyle style) {
    LaunchCommand c;
    c.program = shell.path;
    c.directory = GetFileDir(documentPath, style);
    c.newTerminal = true;
    return c;
}

} // namespace mireka
