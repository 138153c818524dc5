// Lock files: what is the same on every system.
#include "platform/FileLock.h"

#include <utility>

namespace mireka {

FileLock::FileLock(FileLock&& other) noexcept : path_(std::move(other.path_)) {
    handle_ = std::exchange(other.handle_, -1);
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Release();
        path_ = std::move(other.path_);
        handle_ = std::exchange(other.handle_, -1);
    }
    return *this;
}

FileLock::~FileLock() {
    Release();
}

FileLock FileLock::TryLock(const std::string& path, std::error_code* error) {
    FileLock lock;
    lock.path_ = path;
    std::error_code failure = lock.Lock();
    if (lock.Held() && !lock.StillNamed()) {
        lock.Release();
        failure = std::make_error_code(std::errc::resource_unavailable_try_again);
    }
    if (error) *error = failure;
    return lock;
}

bool FileLock::Held() const noexcept {
    return handle_ != -1;
}

} // namespace mireka
