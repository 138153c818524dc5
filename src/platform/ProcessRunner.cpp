// The capture run.
#include "platform/ProcessRunner.h"

#include "core/base/ErrorText.h"
#include "platform/System.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>

#include <algorithm>

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
    sys::KillProcessGroup(group);
    process.kill();
    process.waitForFinished(-1);
}

// Asks the command and everything it started to end, giving them the chance to clean up.
void AskToEnd(QProcess& process, qint64 group) {
    sys::TerminateProcessGroup(group);
    process.terminate();
}

// True once the interpreter has ended and nothing it started is left.
bool AllEnded(const QProcess& process, qint64 group) {
    if (process.state() != QProcess::NotRunning) return false;
    return sys::ProcessGroupEnded(group);
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

namespace {

// One capture run in its three steps: Start, Poll until it says the run is over, then Finish.
class CaptureRun {
public:
    // The arguments must outlive the run.
    CaptureRun(RunKind kind, const BuildCommand& command, const CommandInterpreter& shell,
               const CaptureCallbacks& callbacks)
        : command_(command), shell_(shell), callbacks_(callbacks), transcript_(kind) {}

    // Shows the command line, then starts the interpreter with its output in a fresh capture
    // file and shows the start marker. False, with the error block shown, when it could not.
    bool Start(const QProcessEnvironment& env, const std::string& captureDir);
    // Waits a moment for the command, ends it when asked or past the limit, and hands on what
    // it printed meanwhile. False once waiting is over.
    bool Poll();
    // Shows the rest of the capture and the end; the capture file goes.
    CaptureResult Finish();

private:
    enum class Ending { None, Stop, Abandon };

    void Show(bool beep) {
        if (callbacks_.show) callbacks_.show(transcript_.Text(), beep);
    }
    [[nodiscard]] bool Abandoned() const { return callbacks_.abandoned && callbacks_.abandoned(); }
    // Moves up to `most` new bytes, never past the limit, into the transcript; false when none.
    bool Take(qint64 most);

    const BuildCommand& command_;
    const CommandInterpreter& shell_;
    const CaptureCallbacks& callbacks_;
    Transcript transcript_;
    QString capturePath_;
    QProcess process_;
    qint64 group_ = 0;
    QFile file_;
    bool readable_ = false;
    std::int64_t taken_ = 0;
    Ending ending_ = Ending::None;
    QElapsedTimer asked_;
    bool forced_ = false;
    std::string waitError_;
    bool overLimit_ = false;
};

bool CaptureRun::Start(const QProcessEnvironment& env, const std::string& captureDir) {
    std::string error;
    const std::optional<std::string> capture = CreateCaptureFile(captureDir, &error);
    transcript_.Begin(command_.line);
    Show(false);
    if (!capture) {
        transcript_.Failed(ErrorBlock(error) + command_.note);
        Show(true);
        return false;
    }
    capturePath_ = NativePath(*capture);

    process_.setProgram(Local(shell_.path));
    // CMD.EXE parses its own command line: it gets the text exactly as composed.
    sys::SetLaunchArguments(process_, {shell_.switchArg, command_.command},
                            shell_.switchArg + ' ' + command_.command, false);
    if (!command_.directory.empty()) process_.setWorkingDirectory(NativePath(command_.directory));
    process_.setProcessEnvironment(env);
    // A program that waits for input must not keep the build commands disabled for good.
    process_.setStandardInputFile(QProcess::nullDevice());
    // Standard error goes where standard output goes, interleaved as written.
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setStandardOutputFile(capturePath_, QIODevice::Append);
    sys::StartInOwnProcessGroup(process_);
    process_.start();
    if (!process_.waitForStarted(-1)) {
        const std::string reason = ProcessErrorText(process_, shell_.path, command_.directory);
        QFile::remove(capturePath_);
        transcript_.Failed(ErrorBlock(reason) + command_.note);
        Show(true);
        return false;
    }
    transcript_.Started();
    Show(false);
    group_ = process_.processId();

    file_.setFileName(capturePath_);
    // Unbuffered, so that each look reads what the command has written since the last one.
    readable_ = file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    return true;
}

bool CaptureRun::Take(qint64 most) {
    if (!readable_ || taken_ >= callbacks_.limit) return false;
    const QByteArray piece = file_.read(std::min<qint64>(most, callbacks_.limit - taken_));
    if (piece.isEmpty()) return false;
    taken_ += piece.size();
    const std::string_view bytes(piece.constData(), static_cast<std::size_t>(piece.size()));
    if (callbacks_.filter)
        transcript_.AppendCaptured(callbacks_.filter(bytes));
    else
        transcript_.AppendCaptured(bytes);
    return true;
}

bool CaptureRun::Poll() {
    const bool finished =
        process_.waitForFinished(kPollMs) || process_.state() == QProcess::NotRunning;
    if (ending_ == Ending::None && (Abandoned() || (callbacks_.stop && callbacks_.stop()))) {
        ending_ = Abandoned() ? Ending::Abandon : Ending::Stop;
        AskToEnd(process_, group_);
        asked_.start();
    }
    if (ending_ != Ending::None) {
        if (AllEnded(process_, group_)) return false;
        if (!forced_ && asked_.elapsed() >= kPoliteEndMs) {
            EndProcess(process_, group_);
            forced_ = true;
        } else if (forced_) {
            return false; // the interpreter is gone; whatever ignored the kill is past help
        }
    } else if (finished) {
        return false;
    } else if (process_.error() != QProcess::Timedout) {
        waitError_ = ErrorBlock(ProcessErrorText(process_, shell_.path, command_.directory));
        EndProcess(process_, group_);
        return false;
    }
    if (ending_ == Ending::Abandon) return true;
    if (QFileInfo(capturePath_).size() > callbacks_.limit) {
        overLimit_ = true;
        EndProcess(process_, group_);
        return false;
    }
    const std::size_t before = transcript_.Text().size();
    if (Take(kLivePieceBytes) && callbacks_.live)
        callbacks_.live(std::string_view(transcript_.Text()).substr(before));
    return true;
}

CaptureResult CaptureRun::Finish() {
    if (ending_ == Ending::Abandon) {
        file_.close();
        QFile::remove(capturePath_);
        return CaptureResult::Abandoned;
    }
    // In pieces, so that a long capture is never held twice.
    while (Take(64 * 1024)) {
    }
    if (readable_) {
        char more = 0;
        overLimit_ = overLimit_ || file_.read(&more, 1) > 0;
        file_.close();
    }
    QFile::remove(capturePath_);
    if (overLimit_) {
        transcript_.CutOff();
        waitError_.insert(0, kCaptureLimitNote);
    }
    if (ending_ == Ending::Stop) transcript_.Stopped();
    transcript_.Ended(waitError_ + command_.note);
    Show(true);
    return ending_ == Ending::Stop ? CaptureResult::Stopped : CaptureResult::Finished;
}

} // namespace

CaptureResult RunCaptured(RunKind kind, const BuildCommand& command,
                          const CommandInterpreter& shell, const QProcessEnvironment& env,
                          const std::string& captureDir, const CaptureCallbacks& callbacks) {
    CaptureRun run(kind, command, shell, callbacks);
    if (!run.Start(env, captureDir)) return CaptureResult::NotStarted;
    while (run.Poll()) {
    }
    return run.Finish();
}

} // namespace mireka
