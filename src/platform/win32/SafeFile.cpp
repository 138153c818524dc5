// Safe whole-file writes on Windows.
#include "platform/SafeFile.h"

#include "core/base/ErrorText.h"
#include "platform/AtomicFile.h"

#include <QFileInfo>

namespace mireka {

namespace {

bool Fail(std::string* error, std::string reason) {
    if (error) *error = std::move(reason);
    return false;
}

} // namespace

bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string* error) {
    if (path.empty()) return Fail(error, kNoFileNameText);
    const QString name = QString::fromLocal8Bit(path.c_str());
    const QString target = QFileInfo(name).isSymLink() ? QFileInfo(name).symLinkTarget() : name;
    if (QFileInfo(target).isDir())
        return Fail(error, SystemErrorText(std::make_error_code(std::errc::is_a_directory)));
    AtomicFile file(target.toLocal8Bit().toStdString(), {});
    file.Write(bytes);
    if (const std::error_code ec = file.Commit()) return Fail(error, SystemErrorText(ec));
    return true;
}

} // namespace mireka
