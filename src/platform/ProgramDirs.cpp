// The program's directories from Qt's view of the executable and the user's data folder.
#include "platform/ProgramDirs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <vector>

namespace mireka {

namespace {

std::string Local(const QString& dir) {
    const QByteArray b = QDir::toNativeSeparators(QDir::cleanPath(dir)).toLocal8Bit();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

// Permission bits do not tell about read-only mounts or ACLs; creating a file does.
bool CanCreateFileIn(const QString& dir) {
    if (dir.isEmpty() || !QDir(dir).exists()) return false;
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral("mireka-probe-XXXXXX")));
    return probe.open();
}

} // namespace

ProgramDirectories ChooseProgramDirectories(const QString& exeDir, const QString& userDataDir) {
    ProgramDirectories dirs;
    dirs.executable = Local(exeDir);
    const QString installedData = exeDir + QStringLiteral("/" MIREKA_DATA_FROM_BIN);
    // An installed program never writes under its prefix, not even one the user owns
    // (~/.local), so it does not even probe there.
    const bool installed = !exeDir.isEmpty() && QFileInfo(installedData).isDir();
    // With neither usable, writes go to the executable's directory and fail there with a
    // message, rather than landing in whatever the current directory is.
    dirs.writable = dirs.executable;
    dirs.user = Local(userDataDir);
    if ((installed || !CanCreateFileIn(exeDir)) && !userDataDir.isEmpty() &&
        QDir().mkpath(userDataDir))
        dirs.writable = Local(userDataDir);
    // Without a known executable directory there is no data directory: shipped files are never
    // looked up in the current directory.
    if (exeDir.isEmpty()) return dirs;
    dirs.data.push_back(dirs.executable);
    dirs.data.push_back(Local(installedData));
    return dirs;
}

ProgramDirectories InitProgramDirectories() {
    ProgramDirectories dirs;
    const QString override = qEnvironmentVariable("MIREKA_PROGRAM_DIR");
    if (!override.isEmpty()) {
        QDir().mkpath(override);
        const std::string dir = Local(QDir(override).absolutePath());
        dirs.executable = dir;
        dirs.writable = dir;
        dirs.user = dir;
        dirs.data.push_back(dir);
    } else {
        // The same folder as AppLocalDataLocation for "UMO Software" / "Mireka", without
        // depending on the names the application object was given.
        const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        const QString userData =
            base.isEmpty() ? QString() : base + QStringLiteral("/UMO Software/Mireka");
        dirs = ChooseProgramDirectories(QCoreApplication::applicationDirPath(), userData);
    }
    SetProgramDirectories(dirs);
    return GetProgramDirectories();
}

} // namespace mireka
