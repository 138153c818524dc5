// Lock files through LockFileEx.
#include "platform/FileLock.h"

#include <cstdint>

#include <QString>
#include <windows.h>

namespace mireka {

namespace {

std::error_code Busy() {
    return std::make_error_code(std::errc::resource_unavailable_try_again);
}

std::wstring Wide(const std::string& path) {
    return QString::fromLocal8Bit(path.c_str()).toStdWString();
}

std::error_code LastError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

} // namespace

FileLock FileLock::TryLock(const std::string& path, std::error_code* error) {
    FileLock lock;
    lock.path_ = path;
    std::error_code failure;
    HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        failure = LastError();
    } else {
        OVERLAPPED at{};
        if (::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
            lock.handle_ = reinterpret_cast<std::intptr_t>(h);
        } else {
            failure = ::GetLastError() == ERROR_LOCK_VIOLATION ? Busy() : LastError();
            ::CloseHandle(h);
        }
    }
    if (lock.Held() && !lock.StillNamed()) {
        lock.Release();
        failure = Busy();
    }
    if (error) *error = failure;
    return lock;
}

bool FileLock::StillNamed() const {
    if (!Held()) return false;
    HANDLE named = ::CreateFileW(Wide(path_).c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (named == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    const bool same = ::GetFileInformationByHandle(reinterpret_cast<HANDLE>(handle_), &a) &&
                      ::GetFileInformationByHandle(named, &b) &&
                      a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
                      a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
    ::CloseHandle(named);
    return same;
}

void FileLock::RemoveAndRelease() {
    if (!Held()) return;
    ::DeleteFileW(Wide(path_).c_str());
    Release();
}

void FileLock::Release() noexcept {
    if (handle_ != -1) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = -1;
}

} // namespace mireka
