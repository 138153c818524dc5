// Starting programs in terminal windows and through the desktop.
#include "platform/Launcher.h"

#include "core/toolchain/Terminal.h"
#include "platform/System.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QUrl>

#include <filesystem>

namespace mireka {

namespace {

QString NativePath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// A bare name is looked up on PATH; a name with a directory is taken as it is.
std::string Resolve(const std::string& name, const Environment& env,
                    const PathPredicate& executable) {
    if (name.empty()) return {};
    if (FindLastSeparator(name) != std::string::npos) return executable(name) ? name : "";
    return FindOnPath(name, env.Get("PATH").value_or(std::string()), executable);
}

} // namespace

std::string FindTerminal(const Environment& env, const PathPredicate& executable) {
    if (const auto chosen = env.Get(kTerminalOverride); chosen && !chosen->empty())
        return *chosen; // as given: a test's script, or the user's own choice
    std::string found = Resolve("x-terminal-emulator", env, executable);
    if (found.empty())
        found = Resolve(env.Get("TERMINAL").value_or(std::string()), env, executable);
    if (found.empty()) found = Resolve("xterm", env, executable);
    return found;
}

std::vector<std::string> TerminalNames(const std::string& terminal) {
    std::vector<std::string> names;
    std::filesystem::path path(terminal);
    // A loop of links ends here too.
    constexpr int kMaxLinks = 16;
    for (int i = 0; i <= kMaxLinks && !path.empty(); ++i) {
        names.push_back(path.filename().string());
        if (!path.has_parent_path()) break; // a bare name: what PATH gives is not known here
        std::error_code error;
        if (!std::filesystem::is_symlink(path, error)) break;
        const std::filesystem::path target = std::filesystem::read_symlink(path, error);
        if (error) break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return names;
}

std::optional<ProcessStart> MakeProcessStart(const LaunchCommand& c, const std::string& terminal) {
    ProcessStart s;
    if (!c.newTerminal || kNativePathStyle == PathStyle::Windows) {
        s.program = c.program;
        s.arguments = c.arguments;
        return s;
    }
    const std::vector<std::string> names = TerminalNames(terminal);
    std::optional<std::vector<std::string>> arguments =
        TerminalArguments(TerminalConventionFor(names), c);
    if (!arguments) return std::nullopt;
    s.program = terminal;
    s.arguments = *std::move(arguments);
    return s;
}

bool StartDetached(const LaunchCommand& c, const Environment& lookupEnv,
                   const QProcessEnvironment& env, std::string* error) {
    std::string terminal;
    if (c.newTerminal && kNativePathStyle != PathStyle::Windows) {
        terminal = FindTerminal(lookupEnv, RealFileProbe().executable);
        if (terminal.empty()) {
            if (error)
                *error =
                    "端末エミュレーター (x-terminal-emulator、$TERMINAL、xterm) が見つかりません。";
            return false;
        }
    }
    const std::optional<ProcessStart> made = MakeProcessStart(c, terminal);
    if (!made) {
        if (error) *error = terminal + " にはこのコマンドをそのまま渡せません。";
        return false;
    }
    const ProcessStart& start = *made;
    QProcess process;
    process.setProgram(NativePath(start.program));
    sys::SetLaunchArguments(process, start.arguments, c.parameters, c.newTerminal);
    if (!c.directory.empty()) process.setWorkingDirectory(NativePath(c.directory));
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!process.startDetached()) {
        if (error) *error = start.program + " を起動できませんでした。";
        return false;
    }
    return true;
}

std::string FindCalculator(const Environment& env, const PathPredicate& executable) {
    for (const char* name : sys::CalculatorNames()) {
        std::string found = Resolve(name, env, executable);
        if (!found.empty()) return found;
    }
    return {};
}

bool ShellOpen(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(NativePath(path)));
}

} // namespace mireka
