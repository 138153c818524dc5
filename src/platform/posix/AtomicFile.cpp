// The atomic writer on POSIX: an unnamed file (O_TMPFILE) or a fresh one beside the target,
// locked while it lives, flushed, renamed over the target while still locked.
#include "platform/AtomicFile.h"

#include "core/base/Paths.h"

#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mireka {

namespace {

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

// Removes new files of `target` left by writes that were killed after naming them. A live write
// holds a lock on its file from the start, so only those of ended processes go.
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
// An unnamed file in the target's folder: a write killed before its end leaves nothing behind.
// It is named through /proc at the end, so without /proc it is not used at all.
int CreateUnnamed(const std::string& target, mode_t mode) {
    struct stat proc {};
    if (::stat("/proc/self/fd", &proc) != 0) return -1;
    const std::string folder = GetFileDir(target);
    return ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
}

// Gives the written unnamed file a name beside `target`, to be renamed over it.
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

} // namespace

AtomicFile::AtomicFile(std::string target, Options options)
    : target_(std::move(target)), options_(std::move(options)) {
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0) replacedMode_ = st.st_mode & 07777;
    const mode_t mode = replacedMode_ ? (*replacedMode_ & 0777) : options_.newMode;
    int fd = -1;
    if (options_.temporary) {
        temp_ = *options_.temporary;
        ::unlink(temp_.c_str()); // left by a run that was killed
        fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    } else {
#ifdef O_TMPFILE
        fd = CreateUnnamed(target_, mode);
        unnamed_ = fd >= 0;
#endif
        if (fd < 0) fd = CreateTemporary(target_, mode, &temp_);
    }
    if (fd < 0) {
        Fail();
        temp_.clear(); // whatever has that name is not ours
        return;
    }
    handle_ = fd;
    ::flock(fd, LOCK_EX); // tells RemoveLeftTemporaries that this write is alive
}

AtomicFile::~AtomicFile() {
    Close();
    if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

void AtomicFile::Fail() {
    if (!error_) error_ = {errno ? errno : EIO, std::generic_category()};
}

void AtomicFile::Close() noexcept {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = -1;
}

void AtomicFile::Write(std::string_view bytes) {
    const int fd = static_cast<int>(handle_);
    while (!error_ && !bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return Fail();
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::error_code AtomicFile::Commit() {
    if (error_) return error_;
    const int fd = static_cast<int>(handle_);
    if (replacedMode_ && ::fchmod(fd, *replacedMode_) != 0) Fail();
    if (!error_ && ::fsync(fd) != 0) Fail();
#ifdef O_TMPFILE
    // Named only now, for the moment until the rename.
    if (!error_ && unnamed_ && !NameUnnamed(fd, target_, &temp_)) Fail();
#endif
    // Renamed while still locked: another program's write would take an unlocked file for a
    // dead one's and remove it. The bytes are on the disk already.
    if (!error_ && ::rename(temp_.c_str(), target_.c_str()) != 0) Fail();
    Close();
    if (error_) return error_;
    committed_ = true;
    if (!options_.temporary) RemoveLeftTemporaries(target_);
    // The new name itself reaches the disk with the folder.
    const std::string folder = GetFileDir(target_);
    const int dir =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

} // namespace mireka
