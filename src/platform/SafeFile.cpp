// Safe whole-file writes and checked whole-file reads: POSIX calls on the name's bytes, QSaveFile
// on Windows.
#include "platform/SafeFile.h"

#include "core/base/ErrorText.h"
#include "core/base/Paths.h"

#include <QRandomGenerator>

#include <memory>

#ifndef _WIN32
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#endif

namespace mireka {

namespace {

bool Fail(std::string* error, std::string reason) {
    if (error) *error = std::move(reason);
    return false;
}

#ifndef _WIN32
bool FailErrno(std::string* error) {
    return Fail(error, SystemErrorText(errno));
}

constexpr int kMaxLinkHops = 40;

// Follows a chain of links to the file that is really written, so the link itself stays a
// link. A link to a file that does not exist yet names where that file is created.
bool FinalTarget(std::string path, std::string* target, std::string* error) {
    for (int hops = 0; hops < kMaxLinkHops; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            if (errno != ENOENT) return FailErrno(error);
            *target = path;
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            *target = path;
            return true;
        }
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0) return FailErrno(error);
        link.resize(static_cast<std::size_t>(n));
        path = !link.empty() && link.front() == '/' ? link : GetFileDir(path) + link;
    }
    return Fail(error,
                SystemErrorText(std::make_error_code(std::errc::too_many_symbolic_link_levels)));
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string TemporaryName(const std::string& target) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%08x", QRandomGenerator::system()->generate());
    return GetFileDir(target) + "." + GetFileNameExt(target) + "." + suffix;
}

// Opens a fresh file beside `target`; nothing already there (a link included) is ever used.
int CreateTemporary(const std::string& target, mode_t mode, std::string* temp) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        *temp = TemporaryName(target);
        const int fd = ::open(temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Removes temporaries of `target` left by saves that were killed after naming them. A live
// save holds a lock on its temporary from the start, so only those of ended processes go.
void RemoveLeftTemporaries(const std::string& target) {
    const std::string folder = GetFileDir(target);
    const std::string prefix = "." + GetFileNameExt(target) + ".";
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + 8 || name.compare(0, prefix.size(), prefix) != 0 ||
            name.find_first_not_of("0123456789abcdef", prefix.size()) != std::string::npos)
            continue;
        const std::string path = folder + name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat held {
        }, named{};
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.c_str(), &named) == 0 &&
            named.st_ino == held.st_ino && named.st_dev == held.st_dev)
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(dir);
}

#ifdef O_TMPFILE
// An unnamed file in the target's folder: a save killed while writing leaves nothing behind.
// -1 where the file system has no unnamed files.
int CreateUnnamed(const std::string& target, mode_t mode) {
    const std::string folder = GetFileDir(target);
    return ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
}

// Gives the written unnamed file a temporary name beside `target`, to be renamed over it.
bool NameUnnamed(int fd, const std::string& target, std::string* temp) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 16; ++attempt) {
        *temp = TemporaryName(target);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp->c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST) return false;
    }
    errno = EEXIST;
    return false;
}
#endif
#endif

} // namespace

bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string* error) {
    if (path.empty()) return Fail(error, kNoFileNameText);
#ifndef _WIN32
    std::string target;
    if (!FinalTarget(path, &target, error)) return false;
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        return Fail(error, SystemErrorText(std::make_error_code(std::errc::is_a_directory)));
    if (exists && !S_ISREG(st.st_mode)) return Fail(error, kNotRegularFileText);
    if (exists && ::access(target.c_str(), W_OK) != 0) return FailErrno(error);

    std::string temp;
    // A new file gets the usual permissions less the user's mask; a replaced one keeps its own.
    const mode_t mode = exists ? (st.st_mode & 0777) : 0666;
    int fd = -1;
#ifdef O_TMPFILE
    fd = CreateUnnamed(target, mode);
    const bool unnamed = fd >= 0;
#endif
    if (fd < 0) fd = CreateTemporary(target, mode, &temp);
    if (fd < 0) return FailErrno(error);
    ::flock(fd, LOCK_EX); // tells RemoveLeftTemporaries that this save is alive
    const auto fill = [&](int into) {
        return WriteAll(into, bytes) && (!exists || ::fchmod(into, st.st_mode & 07777) == 0) &&
               ::fsync(into) == 0;
    };
    bool ok = fill(fd);
#ifdef O_TMPFILE
    // Named only now, for the moment until the rename. Without /proc it cannot be named: then
    // the bytes are written once more, into a named temporary.
    if (ok && unnamed && !NameUnnamed(fd, target, &temp)) {
        ::close(fd);
        fd = CreateTemporary(target, mode, &temp);
        if (fd < 0) return FailErrno(error);
        ::flock(fd, LOCK_EX);
        ok = fill(fd);
    }
#endif
    int reason = ok ? 0 : errno;
    // Renamed while still locked: another program's save would take an unlocked temporary
    // for a dead one's and remove it. The bytes are on the disk already (fsync).
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        reason = errno;
    }
    ::close(fd);
    if (!ok) {
        if (!temp.empty()) ::unlink(temp.c_str());
        return Fail(error, SystemErrorText(reason));
    }
    RemoveLeftTemporaries(target);
    // The new name itself reaches the disk with the folder.
    const std::string folder = GetFileDir(target);
    const int dirFd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
#else
    const QString name = QString::fromLocal8Bit(path.c_str());
    const QString target = QFileInfo(name).isSymLink() ? QFileInfo(name).symLinkTarget() : name;
    if (QFileInfo(target).isDir())
        return Fail(error, SystemErrorText(std::make_error_code(std::errc::is_a_directory)));
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    const auto reason = [&file] {
        switch (file.error()) {
        case QFileDevice::PermissionsError:
            return SystemErrorText(std::make_error_code(std::errc::permission_denied));
        case QFileDevice::ResourceError:
            return SystemErrorText(std::make_error_code(std::errc::no_space_on_device));
        default:
            return SystemErrorText(std::make_error_code(std::errc::io_error));
        }
    };
    if (!file.open(QIODevice::WriteOnly)) return Fail(error, reason());
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size())) {
        file.cancelWriting();
        return Fail(error, reason());
    }
    if (!file.commit()) return Fail(error, reason());
    return true;
#endif
}

bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error) {
    std::string content;
    const bool ok = ReadFileInPieces(
        path,
        [&content](std::string_view piece) {
            content.append(piece);
            return true;
        },
        error);
    if (ok) *bytes = std::move(content);
    return ok;
}

bool ReadFileInPieces(const std::string& path,
                      const std::function<bool(std::string_view piece)>& take, std::string* error) {
    if (path.empty()) return Fail(error, kNoFileNameText);
    // Small enough to stay in the processor's cache between the read and its use.
    constexpr std::size_t kPiece = std::size_t{1} << 18;
#ifndef _WIN32
    struct stat st {};
    // Looked at before opening: opening a device or a pipe can itself block or have effects.
    if (::stat(path.c_str(), &st) != 0) return FailErrno(error);
    if (S_ISDIR(st.st_mode))
        return Fail(error, SystemErrorText(std::make_error_code(std::errc::is_a_directory)));
    if (!S_ISREG(st.st_mode)) return Fail(error, kNotRegularFileText);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return FailErrno(error);
    // The name may have been replaced by something else between the two looks.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Fail(error, kNotRegularFileText);
    }
    const std::unique_ptr<char[]> buffer(new char[kPiece]);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.get(), kPiece);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int reason = errno;
            ::close(fd);
            return Fail(error, SystemErrorText(reason));
        }
        if (n == 0 || !take(std::string_view(buffer.get(), static_cast<std::size_t>(n)))) break;
    }
    ::close(fd);
    return true;
#else
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
#endif
}

} // namespace mireka
