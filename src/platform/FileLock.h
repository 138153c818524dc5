// An exclusive lock on a lock file. The system drops it when its process ends in any way, even
// killed, so a lock that can be taken belongs to nobody alive.
#pragma once

#include <cstdint>
#include <string>
#include <system_error>

namespace mireka {

// Whoever deletes a lock file does so while holding its lock; a lock on a file that has since
// lost its name therefore guards nothing, and TryLock gives up on it.
class FileLock {
public:
    FileLock() noexcept = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    ~FileLock(); // releases the lock and keeps the file

    // Locks `path`, created when missing, without waiting. Not held when another open file holds
    // it or the name no longer leads to the file locked: `error` is then
    // resource_unavailable_try_again; any other code is a real failure.
    [[nodiscard]] static FileLock TryLock(const std::string& path, std::error_code* error);

    [[nodiscard]] bool Held() const noexcept;
    // Whether the path still leads to the locked file (someone may have removed the folder).
    [[nodiscard]] bool StillNamed() const;
    // Deletes the file, then releases the lock.
    void RemoveAndRelease();
    void Release() noexcept;

private:
    // Opens `path_`, made when missing, and locks it without waiting; the system's reason, or
    // resource_unavailable_try_again when another open file holds the lock.
    std::error_code Lock();

    std::string path_;
    std::intptr_t handle_ = -1; // the system's handle of the open lock file
};

} // namespace mireka
