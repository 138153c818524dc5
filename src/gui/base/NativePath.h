// Qt's text as the system's multibyte name, for names typed or chosen in Qt; a document's name
// is read and shown through FileSystem.h.
#pragma once

#include <QFile>
#include <QString>

#include <string>

namespace mireka {

[[nodiscard]] inline std::string ToNative(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace mireka
