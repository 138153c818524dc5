// Lock files: flock on POSIX, LockFileEx on Windows, on the name's bytes.
#include "platform/FileLock.h"

#include <utility>

#ifdef _WIN32
#include <QString>
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mireka {

namespace {

std::error_code Busy() {
    return std::make_error_code(std::errc::resource_unavailable_try_again);
}

#ifdef _WIN32
std::wstring Wide(const std::string& path) {
    return QString::fromLocal8Bit(path.c_str()).toStdWString();
}

std::error_code LastError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}
#else
std::error_code LastError() {
    return {errno, std::generic_category()};
}
#endif

} // namespace

FileLock::FileLock(FileLock&& other) noexcept : path_(std::move(other.path_)) {
#ifdef _WIN32
    handle_ = std::exchange(other.handle_, nullptr);
#else
    fd_ = std::exchange(other.fd_, -1);
#endif
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Release();
        path_ = std::move(other.path_);
#ifdef _WIN32
        handle_ = std::exchange(other.handle_, nullptr);
#else
        fd_ = std::exchange(other.fd_, -1);
#endif
    }
    return *this;
}

FileLock::~FileLock() {
    Release();
}

bool FileLock::Held() const noexcept {
#ifdef _WIN32
    return handle_ != nullptr;
#else
    return fd_ >= 0;
#endif
}

FileLock FileLock::TryLock(const std::string& path, std::error_code* error) {
    FileLock lock;
    lock.path_ = path;
    std::error_code failure;
#ifdef _WIN32
    HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        failure = LastError();
    } else {
        OVERLAPPED at{};
        if (::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
            lock.handle_ = h;
        } else {
            failure = ::GetLastError() == ERROR_LOCK_VIOLATION ? Busy() : LastError();
            ::CloseHandle(h);
        }
    }
#else
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        failure = LastError();
    } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        failure = errno == EWOULDBLOCK ? Busy() : LastError();
        ::close(fd);
    } else {
        lock.fd_ = fd;
    }
#endif
    if (lock.Held() && !lock.StillNamed()) {
        lock.Release();
        failure = Busy();
    }
    if (error) *error = failure;
    return lock;
}

bool FileLock::StillNamed() const {
    if (!Held()) return false;
#ifdef _WIN32
    HANDLE named = ::CreateFileW(Wide(path_).c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (named == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    const bool same = ::GetFileInformationByHandle(static_cast<HANDLE>(handle_), &a) &&
                      ::GetFileInformationByHandle(named, &b) &&
                      a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
                      a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
    ::CloseHandle(named);
    return same;
#else
    struct stat held {};
    struct stat named {};
    return ::fstat(fd_, &held) == 0 && ::lstat(path_.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
#endif
}

void FileLock::RemoveAndRelease() {
    if (!Held()) return;
#ifdef _WIN32
    ::DeleteFileW(Wide(path_).c_str());
#else
    ::unlink(path_.c_str());
#endif
    Release();
}

void FileLock::Release() noexcept {
#ifdef _WIN32
    if (handle_) ::CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
#else
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
#endif
}

} // namespace mireka
