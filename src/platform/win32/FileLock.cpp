// Lock files through LockFileEx.
#include "platform/FileLock.h"

#include <cstdint>

#include <QString>
#include <windows.h>

namespace mireka {

namespace {

std::wstring Wide(const std::string& path) {
    return QString::fromLocal8Bit(path.c_str()).toStdWString();
}

std::error_code LastError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

} // namespace

std::error_code FileLock::Lock() {
    HANDLE h = ::CreateFileW(Wide(path_).c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastError();
    OVERLAPPED at{};
    if (!::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        const std::error_code failure =
            ::GetLastError() == ERROR_LOCK_VIOLATION
                ? std::make_error_code(std::errc::resource_unavailable_try_again)
                : LastError();
        ::CloseHandle(h);
        return failure;
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
    return {};
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
