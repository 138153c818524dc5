// Desktop-entry shortcuts.
#include "platform/ShellLinkWriter.h"

#include "platform/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace mireka {

bool CreateShellLink(const std::string& linkPath, const ShellLink& link) {
    if (linkPath.empty()) return false;
    if (!WriteFileSafely(linkPath, MakeDesktopEntry(link), nullptr)) return false;
    QFile file(QFile::decodeName(QByteArray::fromStdString(linkPath)));
    return file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ReadOwner |
                               QFileDevice::WriteOwner);
}

std::optional<std::string> ShellFolderPath(std::string_view kind) {
    QString folder;
    if (kind == "Desktop")
        folder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    else if (kind == "Programs")
        folder = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    if (folder.isEmpty()) return std::nullopt;
    return QFile::encodeName(QDir::toNativeSeparators(folder)).toStdString();
}

} // namespace mireka
