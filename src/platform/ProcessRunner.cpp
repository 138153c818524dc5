// The capture run.
#include "platform/ProcessRunner.h"

#include "core/base/ErrorText.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>

#include <algorithm>

#ifndef _WIN32
#include <csignal>
#include <unistd.h>
#endif

namespace mireka {

namespace {

// How often a running command's output is looked at: it shows within twice this.
constexpr int kPollMs = 50;
// At most this much new output goes to the window per look, so that no single display keeps the
// interface busy; a faster command is simply shown a little behind.
constexpr qint64 kLivePieceBytes = 1024 * 1024;
// How long a command asked to end may take before it is ended by force.
constexpr int kPoliteEndMs = 2000;
// Attempts at a fresh name before giving up; a clash of 64-bit random names means something
// else is wrong.
constexpr int kCaptureNameAttempts = 16;

QString Local(const std::string& s) {
    return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

QString NativePath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// Why no file can be made in `dir`: QFile tells only in English, so the folder is looked at.
std::string FolderErrorText(const std::string& dir) {
    const QFileInfo info(NativePath(dir));
    if (!info.exists())
        return SystemErrorText(std::make_error_code(std::errc::no_such_file_or_directory));
    if (!info.isDir()) return SystemErrorText(std::make_error_code(std::errc::not_a_directory));
    return SystemErrorText(std::make_error_code(std::errc::permission_denied));
}

// Why the interpreter could not be started or waited for; Qt's texts are English.
std::string ProcessErrorText(const QProcess& process, const std::string& program,
                             const std::string& directory) {
    switch (process.error()) {
    case QProcess::FailedToStart: {
        if (!directory.empty() && !QFileInfo(NativePath(directory)).isDir())
            return "作業フォルダー " + directory + " が見つかりません。";
        const QFileInfo info(NativePath(program));
        if (!info.exists()) return "コマンド インタープリター " + program + " が見つかりません。";
        if (!info.isExecutable())
            return "コマンド インタープリター " + program + " を実行する権限がありません。";
        return "コマンド インタープリター " + program + " を起動できませんでした。";
    }
    case QProcess::Crashed:
        return "コマンド インタープリターが異常終了しました。";
    default:
        return "コマンド インタープリターとのやり取りでエラーが発生しました。";
    }
}

// Ends the command and whatever it started: on POSIX the interpreter leads a process group of
// its own, so a pipeline or a background child cannot keep writing to the capture file.
void EndProcess(QProcess& process, qint64 group) {
#ifndef _WIN32
    if (group > 0) ::kill(-static_cast<pid_t>(group), SIGKILL);
#else
    (void)group;
#endif
    process.kill();
    process.waitForFinished(-1);
}

// Asks the command and everything it started to end, giving them the chance to clean up.
void AskToEnd(QProcess& process, qint64 group) {
#ifndef _WIN32
    if (group > 0) ::kill(-static_cast<pid_t>(group), SIGTERM);
#else
    (void)group;
#endif
    process.terminate();
}

#ifdef __linux__
// True when some member of the group is still running. An orphan that has ended stays a zombie
// until the system reaps it, which in a container may be never; it counts as ended.
bool GroupRuns(pid_t group) {
    QDir proc(QStringLiteral("/proc"));
    const QStringList pids = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    bool readAny = false;
    for (const QString& name : pids) {
        bool isPid = false;
        name.toInt(&isPid);
        if (!isPid) continue;
        QFile stat(proc.filePath(name) + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly)) continue;
        readAny = true;
        // "pid (name) state ppid pgrp …"; the name may itself hold spaces and parentheses.
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        if (close < 0) continue;
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (fields.size() < 3 || fields[2].toLongLong() != group) continue;
        if (fields[0] != "Z") return true;
    }
    return !readAny; // without /proc, only the grace time tells
}
#endif

// True once the interpreter has ended and nothing it started is left.
bool AllEnded(const QProcess& process, qint64 group) {
    if (process.state() != QProcess::NotRunning) return false;
#ifndef _WIN32
    if (group <= 0 || ::kill(-static_cast<pid_t>(group), 0) != 0) return true;
#ifdef __linux__
    return !GroupRuns(static_cast<pid_t>(group));
#else
    return false;
#endif
#else
    (void)group;
    return true;
#endif
}

} // namespace

std::optional<std::string> CreateCaptureFile(const std::string& dir, std::string* error) {
    if (dir.empty()) {
        if (error) *error = kNoWritableFolderText;
        return std::nullopt;
    }
    const QDir folder(NativePath(dir));
    for (int attempt = 0; attempt < kCaptureNameAttempts; ++attempt) {
        const std::string name = CaptureFileName(QRandomGenerator::system()->generate64());
        QFile file(folder.filePath(QString::fromLatin1(name.c_str())));
        // NewOnly fails on anything already there, a symbolic link included.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            file.close();
            return QFile::encodeName(file.fileName()).toStdString();
        }
        if (file.exists()) continue; // taken: another name
        break;
    }
    if (error) *error = FolderErrorText(dir);
    return std::nullopt;
}

CaptureResult RunCaptured(RunKind kind, const BuildCommand& command,
                          const CommandInterpreter& shell, const QProcessEnvironment& env,
                          const std::string& captureDir, const CaptureCallbacks& callbacks) {
    const auto show = [&](const Transcript& t, bool beep) {
        if (callbacks.show) callbacks.show(t.Text(), beep);
    };
    const auto abandoned = [&] { return callbacks.abandoned && callbacks.abandoned(); };

    std::string error;
    const std::optional<std::string> capture = CreateCaptureFile(captureDir, &error);
    Transcript transcript(kind);
    transcript.Begin(command.line);
    show(transcript, false);
    if (!capture) {
        transcript.Failed(ErrorBlock(error) + command.note);
        show(transcript, true);
        return CaptureResult::NotStarted;
    }
    const QString capturePath = NativePath(*capture);

    QProcess process;
    process.setProgram(Local(shell.path));
#ifdef _WIN32
    // CMD.EXE parses its own command line: it must get the text exactly as composed.
    process.setNativeArguments(Local(shell.switchArg + ' ' + command.command));
#else
    process.setArguments({Local(shell.switchArg), Local(command.command)});
#endif
    if (!command.directory.empty()) process.setWorkingDirectory(NativePath(command.directory));
    process.setProcessEnvironment(env);
    // A program that waits for input must not keep the build commands disabled for good.
    process.setStandardInputFile(QProcess::nullDevice());
    // Standard error goes where standard output goes, interleaved as written.
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardOutputFile(capturePath, QIODevice::Append);
#ifndef _WIN32
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
    process.start();
    if (!process.waitForStarted(-1)) {
        const std::string reason = ProcessErrorText(process, shell.path, command.directory);
        QFile::remove(capturePath);
        transcript.Failed(ErrorBlock(reason) + command.note);
        show(transcript, true);
        return CaptureResult::NotStarted;
    }
    transcript.Started();
    show(transcript, false);
    const qint64 group = process.processId();

    QFile file(capturePath);
    // Unbuffered, so that each look reads what the command has written since the last one.
    const bool readable = file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    std::int64_t taken = 0;
    // Moves up to `most` new bytes, never past the limit, into the transcript; false when none.
    const auto take = [&](qint64 most) {
        if (!readable || taken >= callbacks.limit) return false;
        const QByteArray piece = file.read(std::min<qint64>(most, callbacks.limit - taken));
        if (piece.isEmpty()) return false;
        taken += piece.size();
        const std::string_view bytes(piece.constData(), static_cast<std::size_t>(piece.size()));
        if (callbacks.filter)
            transcript.AppendCaptured(callbacks.filter(bytes));
        else
            transcript.AppendCaptured(bytes);
        return true;
    };

    enum class Ending { None, Stop, Abandon };
    Ending ending = Ending::None;
    QElapsedTimer asked;
    bool forced = false;
    std::string waitError;
    bool overLimit = false;
    for (;;) {
        const bool finished =
            process.waitForFinished(kPollMs) || process.state() == QProcess::NotRunning;
        if (ending == Ending::None && (abandoned() || (callbacks.stop && callbacks.stop()))) {
            ending = abandoned() ? Ending::Abandon : Ending::Stop;
            AskToEnd(process, group);
            asked.start();
        }
        if (ending != Ending::None) {
            if (AllEnded(process, group)) break;
            if (!forced && asked.elapsed() >= kPoliteEndMs) {
                EndProcess(process, group);
                forced = true;
            } else if (forced) {
                break; // the interpreter is gone; whatever ignored the kill is past help
            }
        } else if (finished) {
            break;
        } else if (process.error() != QProcess::Timedout) {
            waitError = ErrorBlock(ProcessErrorText(process, shell.path, command.directory));
            EndProcess(process, group);
            break;
        }
        if (ending == Ending::Abandon) continue;
        if (QFileInfo(capturePath).size() > callbacks.limit) {
            overLimit = true;
            EndProcess(process, group);
            break;
        }
        const std::size_t before = transcript.Text().size();
        if (take(kLivePieceBytes) && callbacks.live)
            callbacks.live(std::string_view(transcript.Text()).substr(before));
    }
    if (ending == Ending::Abandon) {
        file.close();
        QFile::remove(capturePath);
        return CaptureResult::Abandoned;
    }

    // In pieces, so that a long capture is never held twice.
    while (take(64 * 1024)) {
    }
    if (readable) {
        char more = 0;
        overLimit = overLimit || file.read(&more, 1) > 0;
        file.close();
    }
    QFile::remove(capturePath);
    if (overLimit) {
        transcript.CutOff();
        waitError.insert(0, kCaptureLimitNote);
    }
    if (ending == Ending::Stop) transcript.Stopped();
    transcript.Ended(waitError + command.note);
    show(transcript, true);
    return ending == Ending::Stop ? CaptureResult::Stopped : CaptureResult::Finished;
}

} // namespace mireka
