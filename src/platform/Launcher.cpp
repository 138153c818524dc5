// Starting programs in terminal windows and through the desktop.
#include "platform/Launcher.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QUrl>

#ifdef _WIN32
#include <windows.h>
#endif

namespace mireka {

namespace {

QString Local(const std::string& s) {
    return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

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

ProcessStart MakeProcessStart(const LaunchCommand& c, const std::string& terminal) {
    ProcessStart s;
    if (!c.newTerminal || kNativePathStyle == PathStyle::Windows) {
        s.program = c.program;
        s.arguments = c.arguments;
        return s;
    }
    s.program = terminal;
    s.arguments.push_back("-e");
    s.arguments.push_back(c.program);
    s.arguments.insert(s.arguments.end(), c.arguments.begin(), c.arguments.end());
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
    const ProcessStart start = MakeProcessStart(c, terminal);
    QProcess process;
    process.setProgram(NativePath(start.program));
#ifdef _WIN32
    process.setNativeArguments(Local(c.parameters));
    if (c.newTerminal) {
        process.setCreateProcessArgumentsModifier(
            [](QProcess::CreateProcessArguments* args) { args->flags |= CREATE_NEW_CONSOLE; });
    }
#else
    QStringList args;
    for (const std::string& a : start.arguments)
        args << Local(a);
    process.setArguments(args);
#endif
    if (!c.directory.empty()) process.setWorkingDirectory(NativePath(c.directory));
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!process.startDetached()) {
        if (error) *error = start.program + " を起動できませんでした。";
        return false;
    }
    return true;
}

bool ShellOpen(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(NativePath(path)));
}

} // namespace mireka
