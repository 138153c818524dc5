// The capture run.
#include "platform/ProcessRunner.h"

#include "core/app/ErrorText.h"

#include <QDir>
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

// How often a running command looks whether its run is still wanted.
constexpr int kAbandonPollMs = 100;
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
void EndProcess(QProcess& process) {
#ifndef _WIN32
    if (const qint64 pid = process.processId(); pid > 0) ::kill(-static_cast<pid_t>(pid), SIGKILL);
#endif
    process.kill();
    process.waitForFinished(-1);
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

    std::string waitError;
    bool overLimit = false;
    while (!process.waitForFinished(kAbandonPollMs)) {
        if (process.state() == QProcess::NotRunning) break;
        if (abandoned()) {
            EndProcess(process);
            QFile::remove(capturePath);
            return CaptureResult::Abandoned;
        }
        if (QFileInfo(capturePath).size() > callbacks.limit) {
            overLimit = true;
            EndProcess(process);
            break;
        }
        if (process.error() != QProcess::Timedout) {
            waitError = ErrorBlock(ProcessErrorText(process, shell.path, command.directory));
            EndProcess(process);
            break;
        }
    }

    QFile file(capturePath);
    if (file.open(QIODevice::ReadOnly)) {
        // In pieces, so that a long capture is never held twice.
        constexpr qint64 kPiece = 64 * 1024;
        qint64 left = callbacks.limit;
        while (left > 0 && !file.atEnd()) {
            const QByteArray piece = file.read(std::min(kPiece, left));
            if (piece.isEmpty()) break;
            left -= piece.size();
            transcript.AppendCaptured(std::string_view(piece.constData(), piece.size()));
        }
        overLimit = overLimit || !file.atEnd();
        file.close();
    }
    QFile::remove(capturePath);
    if (overLimit) waitError.insert(0, kCaptureLimitNote);
    transcript.Ended(waitError + command.note);
    show(transcript, true);
    return CaptureResult::Finished;
}

} // namespace mireka
