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

bool FileLock::Held() const noexcept {
    return handle_ != -1;
}

} // namespace mireka
