// Lock files through flock, on the name's bytes.
#include "platform/FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mireka {

namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

} // namespace

std::error_code FileLock::Lock() {
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return LastError();
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const std::error_code failure =
            errno == EWOULDBLOCK ? std::make_error_code(std::errc::resource_unavailable_try_again)
                                 : LastError();
        ::close(fd);
        return failure;
    }
    handle_ = fd;
    return {};
}

bool FileLock::StillNamed() const {
    if (!Held()) return false;
    struct stat held {};
    struct stat named {};
    return ::fstat(static_cast<int>(handle_), &held) == 0 && ::lstat(path_.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

void FileLock::RemoveAndRelease() {
    if (!Held()) return;
    ::unlink(path_.c_str());
    Release();
}

void FileLock::Release() noexcept {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = -1;
}

} // namespace mireka
