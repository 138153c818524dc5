// Asking drivers for their version.
#include "platform/DriverProbe.h"

#include "platform/System.h"

#include "core/toolchain/Clang.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>
#include <compare>
#include <map>
#include <mutex>

namespace mireka {

namespace {

// A driver as the answers are kept: its path and the file behind it, so that a driver replaced
// where it is (an upgrade) is asked again.
struct DriverKey {
    std::string driver;
    std::string file; // links followed
    qint64 size = -1;
    qint64 mtime = -1; // milliseconds since the epoch
    auto operator<=>(const DriverKey&) const = default;
};

DriverKey KeyOf(const std::string& driver, const QProcessEnvironment& env) {
    QString path = QFile::decodeName(QByteArray::fromStdString(driver));
    // A bare name is found on PATH, as the process is.
    if (!QDir::fromNativeSeparators(path).contains(QLatin1Char('/')))
        path = QStandardPaths::findExecutable(
            path,
            env.value(QStringLiteral("PATH")).split(QDir::listSeparator(), Qt::SkipEmptyParts));
    DriverKey key{driver, {}, -1, -1};
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) return key;
    key.file = QFile::encodeName(info.canonicalFilePath()).toStdString();
    key.size = info.size();
    key.mtime = info.lastModified().toMSecsSinceEpoch();
    return key;
}

struct Probes {
    std::mutex mutex;
    std::map<DriverKey, std::string> versions;
    std::atomic<bool> noticeShown{false};
};

Probes& State() {
    static Probes probes;
    return probes;
}

std::string QueryVersion(const std::string& driver, const QProcessEnvironment& env, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    QProcess process;
    process.setProgram(QFile::decodeName(QByteArray::fromStdString(driver)));
    process.setArguments({QStringLiteral("--version")});
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    sys::StartInOwnProcessGroup(process);
    process.start();
    const auto left = [&] { return std::max<qint64>(0, timeoutMs - clock.elapsed()); };
    if (!process.waitForStarted(static_cast<int>(left()))) return {};
    if (!process.waitForFinished(static_cast<int>(left()))) {
        sys::KillProcessGroup(process.processId());
        process.kill();
        process.waitForFinished(-1);
        return {};
    }
    return process.readAllStandardOutput().toStdString();
}

} // namespace

std::string DriverVersionText(const std::string& driver, const QProcessEnvironment& env,
                              int timeoutMs) {
    if (driver.empty()) return {};
    Probes& probes = State();
    DriverKey key = KeyOf(driver, env);
    {
        const std::lock_guard lock(probes.mutex);
        if (const auto known = probes.versions.find(key); known != probes.versions.end())
            return known->second;
    }
    // Asked without the lock: a compile's worker and the report may ask at the same time.
    std::string text = QueryVersion(driver, env, timeoutMs);
    const std::lock_guard lock(probes.mutex);
    return probes.versions.try_emplace(std::move(key), std::move(text)).first->second;
}

bool IsDosOrWindowsImage(const std::string& path) {
    QFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    return file.open(QIODevice::ReadOnly) && file.read(2) == "MZ";
}

bool IsClangDriver(const std::string& driver, const QProcessEnvironment& env) {
    return IsClangVersionText(DriverVersionText(driver, env));
}

bool TakeClangNoticeTurn() {
    return !State().noticeShown.exchange(true);
}

void ForgetDriverProbes() {
    Probes& probes = State();
    const std::lock_guard lock(probes.mutex);
    probes.versions.clear();
    probes.noticeShown = false;
}

} // namespace mireka
