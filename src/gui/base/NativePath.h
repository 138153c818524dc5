// Paths between the core's system multibyte strings and Qt's text, for names the program
// itself makes (its own folders and files); a document's name goes through FileSystem.h.
#pragma once

#include <QFile>
#include <QString>

#include <string>

namespace mireka {

[[nodiscard]] inline QString FromNative(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

[[nodiscard]] inline std::string ToNative(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace mireka
