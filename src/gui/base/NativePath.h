// Paths between the core's system multibyte strings and Qt's text.
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <string>

namespace mireka {

[[nodiscard]] inline QString FromNative(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

[[nodiscard]] inline std::string ToNative(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The folder of `path` with a trailing separator, as the file dialogs remember it.
[[nodiscard]] inline std::string FolderOf(const QString& path) {
    return ToNative(QDir::toNativeSeparators(QFileInfo(path).absolutePath() + QLatin1Char('/')));
}

} // namespace mireka
