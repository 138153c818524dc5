// Safe whole-file writes through QSaveFile and checked whole-file reads.
#include "platform/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace mireka {

namespace {

QString FromLocal(const std::string& s) {
    return QFile::decodeName(QByteArray::fromStdString(s));
}

void SetError(std::string* error, const QString& path, const QString& reason) {
    if (error)
        *error = (QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason)
                     .toLocal8Bit()
                     .toStdString();
}

// Follows a chain of links to the file that is really written, so the link itself stays a
// link. A link to a file that does not exist yet names where that file is created.
QString FinalTarget(const QString& path, QString* reason) {
    QString current = path;
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(current);
        if (!info.isSymLink()) return current;
        const QString target = info.symLinkTarget();
        if (target.isEmpty()) {
            *reason = QStringLiteral("cannot read the symbolic link");
            return {};
        }
        current = target;
    }
    *reason = QStringLiteral("too many levels of symbolic links");
    return {};
}

} // namespace

bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string* error) {
    const QString name = FromLocal(path);
    if (name.isEmpty()) {
        SetError(error, name, QStringLiteral("no file name"));
        return false;
    }
    QString reason;
    const QString target = FinalTarget(name, &reason);
    if (target.isEmpty()) {
        SetError(error, name, reason);
        return false;
    }
    if (QFileInfo(target).isDir()) {
        SetError(error, name, QStringLiteral("is a directory"));
        return false;
    }
    // QSaveFile also refuses to replace a file the user made read-only.
    QSaveFile file(target);
    // Writing over the old file in place would lose it on a failure; refuse instead.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        SetError(error, name, file.errorString());
        return false;
    }
    const char* data = bytes.data();
    qint64 left = static_cast<qint64>(bytes.size());
    while (left > 0) {
        const qint64 n = file.write(data, left);
        if (n <= 0) {
            SetError(error, name, file.errorString());
            file.cancelWriting();
            return false;
        }
        data += n;
        left -= n;
    }
    // commit() flushes, syncs to disk and renames; on any failure it removes the temporary file.
    if (!file.commit()) {
        SetError(error, name, file.errorString());
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error) {
    const QString name = FromLocal(path);
    const QFileInfo info(name);
    if (name.isEmpty() || !info.exists()) {
        SetError(error, name, QStringLiteral("no such file"));
        return false;
    }
    if (info.isDir()) {
        SetError(error, name, QStringLiteral("is a directory"));
        return false;
    }
    if (!info.isFile()) {
        SetError(error, name, QStringLiteral("not a regular file"));
        return false;
    }
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(error, name, file.errorString());
        return false;
    }
    std::string content;
    const qint64 expected = file.size();
    if (expected > 0) content.reserve(static_cast<std::size_t>(expected));
    char chunk[65536];
    for (;;) {
        const qint64 n = file.read(chunk, sizeof chunk);
        if (n < 0) {
            SetError(error, name, file.errorString());
            return false;
        }
        if (n == 0) break;
        content.append(chunk, static_cast<std::size_t>(n));
    }
    *bytes = std::move(content);
    return true;
}

} // namespace mireka
