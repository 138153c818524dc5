// The recovery files of this program instance, written on a thread of their own, and the ones
// that instances no longer running have left behind.
#pragma once

#include "core/document/Recovery.h"
#include "core/editor/TextSnapshot.h"
#include "platform/FileLock.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace mireka {

// A recovery file left by an instance that is gone, claimed by this one: no other instance
// offers it while this object lives. Dropping it leaves the file for a later start.
class RecoveryOrphan {
public:
    [[nodiscard]] const std::string& Path() const noexcept { return path_; }

private:
    friend class RecoveryStore;
    RecoveryOrphan(std::string path, FileLock lock)
        : path_(std::move(path)), lock_(std::move(lock)) {}
    std::string path_;
    FileLock lock_;
};

struct RecoveredText {
    RecoveryError error = RecoveryError::None;
    std::string message; // for the user when there is an error
    RecoveryInfo info;
    std::string text;
};

// Each instance owns "<id>.rcv", its text, and "<id>.lock", locked from the first write until
// the store is destroyed; a lock that can be taken tells that its owner is gone.
class RecoveryStore {
public:
    // Called on the writer thread with a message for the user when the folder cannot be written;
    // further failures stay silent until a write succeeds again.
    using ErrorHandler = std::function<void(const std::string& message)>;

    // `folder` (the name's bytes) is created with the first write.
    explicit RecoveryStore(std::string folder, ErrorHandler onError = {});
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;
    // Waits for a write in progress to stop, then deletes this instance's files.
    ~RecoveryStore();

    // The user's data folder + "/UMO Software/Mireka/recovery"; empty when there is none.
    [[nodiscard]] static std::string DefaultFolder();

    [[nodiscard]] const std::string& Id() const noexcept { return id_; }
    [[nodiscard]] std::string DataPath() const { return FilePath(id_, kDataSuffix); }

    // Returns at once; the text is written in the background, stamped with the current time.
    // Only the newest of the jobs waiting behind a running write is done.
    void Schedule(RecoveryDocument document, TextSnapshot text);
    // Deletes the file (saved, closed, new or opened document) after the writes before it, so
    // that no earlier write brings it back.
    void Remove();
    // Waits until everything asked for so far is done.
    void Flush();

    // Claims the recovery files whose instance is gone, this instance's own aside, and deletes
    // what such instances left half-written. Two instances scanning at once never claim the
    // same file.
    [[nodiscard]] std::vector<RecoveryOrphan> FindOrphans() const;
    // The file's text, checked; or why it cannot be used.
    [[nodiscard]] static RecoveredText Read(const RecoveryOrphan& orphan);
    // Deletes the file and gives up the claim.
    static bool Discard(RecoveryOrphan orphan);

private:
    static constexpr const char* kDataSuffix = ".rcv";
    static constexpr const char* kLockSuffix = ".lock";
    static constexpr const char* kTempSuffix = ".tmp";

    struct Job {
        bool remove = false;
        RecoveryDocument document;
        TextSnapshot text;
        std::int64_t savedAt = 0;
    };

    [[nodiscard]] std::string FilePath(const std::string& id, const char* suffix) const {
        return folder_ + "/" + id + suffix;
    }
    void Run();
    void Enqueue(Job job);
    [[nodiscard]] std::error_code Write(const Job& job);
    [[nodiscard]] std::error_code Prepare();
    void RemoveFiles() const;

    const std::string folder_;
    const std::string id_;
    const ErrorHandler onError_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::optional<Job> pending_; // newest job not yet started
    bool busy_ = false;
    bool stopping_ = false;
    std::atomic<bool> cancel_{false}; // the running write is no longer wanted

    // Writer thread only.
    FileLock lock_;
    bool reported_ = false;

    std::thread thread_; // last: starts once everything above exists
};

} // namespace mireka
