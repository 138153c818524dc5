// File-system queries through Qt's file names, which are Unicode on Windows anyway.
#include "platform/FileSystem.h"

#include "core/base/Paths.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QUrl>

#include <memory>
#include <vector>

namespace mireka {

FileStatus QueryFile(const std::string& path) {
    FileStatus status;
    const QFileInfo info(QString::fromLocal8Bit(path.c_str()));
    if (path.empty() || !info.exists()) {
        status.error = std::make_error_code(std::errc::no_such_file_or_directory);
    } else {
        status.isDir = info.isDir();
        status.isRegular = info.isFile();
        status.writable = info.isWritable();
        status.size = static_cast<std::uint64_t>(info.size());
        status.mtime = info.lastModified().toSecsSinceEpoch();
    }
    return status;
}

std::string CurrentDirectory() {
    return QDir::toNativeSeparators(QDir::currentPath()).toLocal8Bit().toStdString();
}

bool ChangeDirectory(const std::string& path) {
    return QDir::setCurrent(QString::fromLocal8Bit(path.c_str()));
}

std::string FullPath(const std::string& path) {
    if (path.empty()) return path;
    return QDir::toNativeSeparators(
               QDir::cleanPath(QFileInfo(QString::fromLocal8Bit(path.c_str())).absoluteFilePath()))
        .toLocal8Bit()
        .toStdString();
}

std::string PathFromUrl(const QUrl& url) {
    if (!url.isLocalFile()) return {};
    return QDir::toNativeSeparators(url.toLocalFile()).toLocal8Bit().toStdString();
}

std::string ExistingPathFromText(const QString& path) {
    const std::string bytes = QFile::encodeName(QDir::toNativeSeparators(path)).toStdString();
    if (QueryFile(bytes).Exists()) return bytes;
    return {};
}

std::string PathIgnoringCase(const std::string& path) {
    return path;
}

bool RenameFile(const std::string& from, const std::string& to, std::error_code* error) {
    if (QFile::rename(QString::fromLocal8Bit(from.c_str()), QString::fromLocal8Bit(to.c_str())))
        return true;
    if (error) *error = std::make_error_code(std::errc::permission_denied);
    return false;
}

bool RemoveFile(const std::string& path, std::error_code* error) {
    if (QFile::remove(QString::fromLocal8Bit(path.c_str()))) return true;
    if (error) *error = std::make_error_code(std::errc::permission_denied);
    return false;
}

bool IsFileNotLink(const std::string& path) {
    return QFileInfo(QString::fromLocal8Bit(path.c_str())).isFile();
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    const QDir dir(QString::fromLocal8Bit(folder.c_str()));
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
        names.push_back(name.toLocal8Bit().toStdString());
    return names;
}

std::error_code MakePrivateFolder(const std::string& folder) {
    if (QDir().mkpath(QString::fromLocal8Bit(folder.c_str()))) return {};
    return std::make_error_code(std::errc::permission_denied);
}

QString DisplayPath(const std::string& path) {
    return QDir::toNativeSeparators(QString::fromLocal8Bit(path.c_str()));
}

QString DisplayText(std::string_view bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace mireka
