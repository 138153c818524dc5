// Safe whole-file writes and checked whole-file reads on Windows.
#include "platform/SafeFile.h"

#include "core/base/ErrorText.h"
#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <memory>

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

bool ReadFileInPieces(const std::string& path,
                      const std::function<bool(std::string_view piece)>& take, std::string* error) {
    if (path.empty()) return Fail(error, kNoFileNameText);
    // Small enough to stay in the processor's cache between the read and its use.
    constexpr std::size_t kPiece = std::size_t{1} << 18;
    const QString name = QString::fromLocal8Bit(path.c_str());
    const QFileInfo info(name);
    if (!info.exists())
        return Fail(error,
                    SystemErrorText(std::make_error_code(std::errc::no_such_file_or_directory)));
    if (info.isDir())
        return Fail(error, SystemErrorText(std::make_error_code(std::errc::is_a_directory)));
    if (!info.isFile()) return Fail(error, kNotRegularFileText);
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(error, SystemErrorText(std::make_error_code(std::errc::permission_denied)));
    const std::unique_ptr<char[]> buffer(new char[kPiece]);
    for (;;) {
        const qint64 n = file.read(buffer.get(), static_cast<qint64>(kPiece));
        if (n < 0) return Fail(error, SystemErrorText(std::make_error_code(std::errc::io_error)));
        if (n == 0 || !take(std::string_view(buffer.get(), static_cast<std::size_t>(n)))) break;
    }
    return true;
}

} // namespace mireka
