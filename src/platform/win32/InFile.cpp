// Reading regular files on Windows, through Qt's files.
#include "platform/InFile.h"

#include <QFile>
#include <QFileInfo>

namespace mireka {

namespace {

QFile* FileOf(std::intptr_t handle) {
    return reinterpret_cast<QFile*>(handle);
}

} // namespace

InFile::InFile(const std::string& path, bool) {
    const QString name = QString::fromLocal8Bit(path.c_str());
    const QFileInfo info(name);
    if (!info.exists()) {
        error_ = std::make_error_code(std::errc::no_such_file_or_directory);
        return;
    }
    if (info.isDir()) {
        error_ = std::make_error_code(std::errc::is_a_directory);
        return;
    }
    if (!info.isFile()) {
        error_ = std::make_error_code(std::errc::invalid_argument);
        return;
    }
    auto* file = new QFile(name);
    handle_ = reinterpret_cast<std::intptr_t>(file);
    if (!file->open(QIODevice::ReadOnly))
        error_ = std::make_error_code(std::errc::permission_denied);
    else
        size_ = static_cast<std::uint64_t>(file->size());
}

InFile::~InFile() {
    if (handle_ != -1) delete FileOf(handle_);
}

std::size_t InFile::Read(char* buffer, std::size_t size) {
    if (error_) return 0;
    const qint64 n = FileOf(handle_)->read(buffer, static_cast<qint64>(size));
    if (n < 0) error_ = std::make_error_code(std::errc::io_error);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

void InFile::ReadAt(std::uint64_t offset, std::string& out) {
    std::size_t done = 0;
    QFile* file = FileOf(handle_);
    if (!error_ && !file->seek(static_cast<qint64>(offset)))
        error_ = std::make_error_code(std::errc::io_error);
    while (!error_ && done < out.size()) {
        const qint64 n = file->read(out.data() + done, static_cast<qint64>(out.size() - done));
        if (n <= 0)
            error_ = std::make_error_code(std::errc::io_error);
        else
            done += static_cast<std::size_t>(n);
    }
    out.resize(done);
}

} // namespace mireka
