// Recovery files written atomically on a background thread, and the start-up claim of the files
// that dead instances left.
#include "platform/RecoveryStore.h"

#include "core/base/ErrorText.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/InFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <set>

namespace mireka {

namespace {

// Pieces of the text between two looks at whether the write is still wanted.
constexpr std::size_t kCancelCheckPieces = 64;

std::string MakeId() {
    char id[40];
    std::snprintf(id, sizeof id, "%016llx-%lld",
                  static_cast<unsigned long long>(QRandomGenerator::system()->generate64()),
                  static_cast<long long>(QCoreApplication::applicationPid()));
    return id;
}

bool Missing(const std::error_code& ec) {
    return ec == std::errc::no_such_file_or_directory;
}

void RemoveIfThere(const std::string& path) {
    std::error_code ignored;
    RemoveFile(path, &ignored);
}

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() > suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

} // namespace

RecoveryStore::RecoveryStore(std::string folder, ErrorHandler onError)
    : folder_(std::move(folder)), id_(MakeId()), onError_(std::move(onError)),
      thread_([this] { Run(); }) {}

RecoveryStore::~RecoveryStore() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        pending_.reset();
        cancel_ = true;
    }
    wake_.notify_all();
    thread_.join();
    if (lock_.Held()) {
        RemoveFiles();
        lock_.RemoveAndRelease();
    }
}

std::string RecoveryStore::DefaultFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) return {};
    return QFile::encodeName(QDir::toNativeSeparators(base + "/UMO Software/Mireka/recovery"))
        .toStdString();
}

void RecoveryStore::Schedule(RecoveryDocument document, TextSnapshot text) {
    using namespace std::chrono;
    const auto now = duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
    Enqueue({false, std::move(document), std::move(text), static_cast<std::int64_t>(now)});
}

void RecoveryStore::Remove() {
    // The write in progress would be deleted right after it: stop it instead.
    cancel_ = true;
    Enqueue({true, {}, {}, 0});
}

void RecoveryStore::Enqueue(Job job) {
    std::optional<Job> replaced;
    {
        std::lock_guard lock(mutex_);
        replaced = std::exchange(pending_, std::move(job));
    }
    wake_.notify_one();
    // A replaced snapshot is let go here, outside the lock.
}

void RecoveryStore::Flush() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !pending_ && !busy_; });
}

void RecoveryStore::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || pending_; });
        if (stopping_) return;
        Job job = std::move(*pending_);
        pending_.reset();
        busy_ = true;
        // Only a Remove() from here on concerns the job just taken.
        cancel_ = false;
        lock.unlock();
        if (job.remove) {
            RemoveFiles();
        } else if (const std::error_code ec = Write(job); !ec) {
            reported_ = false;
        } else if (ec != std::errc::operation_canceled) {
            if (!reported_ && onError_)
                onError_(RecoveryFolderErrorText(DisplayPath(folder_).toStdString(),
                                                 SystemErrorText(ec)));
            reported_ = true;
        }
        job = Job();
        lock.lock();
        busy_ = false;
        idle_.notify_all();
    }
}

std::error_code RecoveryStore::Prepare() {
    if (lock_.Held() && lock_.StillNamed()) return {};
    lock_.Release();
    if (const std::error_code ec = MakePrivateFolder(folder_)) return ec;
    // A scanner of another instance may hold a new lock file for a moment before deleting it.
    std::error_code ec;
    for (int attempt = 0; attempt < 100; ++attempt) {
        lock_ = FileLock::TryLock(FilePath(id_, kLockSuffix), &ec);
        if (lock_.Held()) return {};
        if (ec != std::errc::resource_unavailable_try_again) return ec;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::make_error_code(std::errc::device_or_resource_busy);
}

std::error_code RecoveryStore::Write(const Job& job) {
    // The file may exist only while its lock is held, or another instance would claim it.
    if (const std::error_code ec = Prepare()) return ec;
    RecoveryInfo info;
    info.document = job.document;
    info.savedAt = job.savedAt;
    info.programVersion = MIREKA_VERSION;
    info.length = static_cast<std::uint64_t>(job.text.Length());
    info.checksum = kRecoveryChecksumStart;
    for (std::size_t i = 0; i < job.text.PieceCount(); ++i)
        info.checksum = RecoveryChecksum(job.text.Piece(i), info.checksum);

    // The new file has a name of this instance's own, which its lock keeps from the others.
    AtomicFile file(FilePath(id_, kDataSuffix), {FilePath(id_, kTempSuffix), 0600});
    file.Write(EncodeRecoveryHeader(info));
    for (std::size_t i = 0; i < job.text.PieceCount() && !file.Error(); ++i) {
        if (i % kCancelCheckPieces == 0 && cancel_)
            return std::make_error_code(std::errc::operation_canceled);
        file.Write(job.text.Piece(i));
    }
    if (cancel_) return std::make_error_code(std::errc::operation_canceled);
    return file.Commit();
}

void RecoveryStore::RemoveFiles() const {
    RemoveIfThere(FilePath(id_, kDataSuffix));
    RemoveIfThere(FilePath(id_, kTempSuffix));
}

std::vector<RecoveryOrphan> RecoveryStore::FindOrphans() const {
    std::set<std::string> ids;
    for (const std::string& name : ListFolder(folder_)) {
        for (const char* suffix : {kDataSuffix, kLockSuffix, kTempSuffix})
            if (EndsWith(name, suffix))
                ids.insert(name.substr(0, name.size() - std::string_view(suffix).size()));
    }
    ids.erase(id_);
    std::vector<RecoveryOrphan> orphans;
    for (const std::string& id : ids) {
        std::error_code ec;
        FileLock lock = FileLock::TryLock(FilePath(id, kLockSuffix), &ec);
        if (!lock.Held()) continue; // alive, or another instance is claiming it
        RemoveIfThere(FilePath(id, kTempSuffix));
        if (IsFileNotLink(FilePath(id, kDataSuffix)))
            orphans.push_back(RecoveryOrphan(FilePath(id, kDataSuffix), std::move(lock)));
        else
            lock.RemoveAndRelease();
    }
    return orphans;
}

RecoveredText RecoveryStore::Read(const RecoveryOrphan& orphan) {
    RecoveredText out;
    const std::string shown = DisplayPath(orphan.Path()).toStdString();
    const auto unreadable = [&](std::error_code ec) {
        out.error = RecoveryError::Unreadable;
        out.message = RecoveryErrorText(out.error, shown, SystemErrorText(ec));
        return std::move(out);
    };
    InFile file(orphan.Path(), false);
    if (file.Error()) return unreadable(file.Error());
    std::string head(
        static_cast<std::size_t>(std::min<std::uint64_t>(file.Size(), kMaxRecoveryHeader)), '\0');
    file.ReadAt(0, head);
    if (file.Error()) return unreadable(file.Error());
    RecoveryHeader header = ParseRecoveryHeader(head, file.Size());
    if (header.error == RecoveryError::None) {
        head = std::string();
        out.text.resize(static_cast<std::size_t>(header.info.length));
        file.ReadAt(header.textOffset, out.text);
        if (file.Error()) return unreadable(file.Error());
        if (RecoveryChecksum(out.text) != header.info.checksum)
            header.error = RecoveryError::Corrupt;
    }
    out.error = header.error;
    if (out.error != RecoveryError::None) {
        out.text = std::string();
        out.message = RecoveryErrorText(out.error, shown);
    } else {
        out.info = std::move(header.info);
    }
    return out;
}

bool RecoveryStore::Discard(RecoveryOrphan orphan) {
    std::error_code ec;
    const bool removed = RemoveFile(orphan.Path(), &ec) || Missing(ec);
    // Without its text the lock file is only litter; deleted under its lock like any other.
    if (removed) orphan.lock_.RemoveAndRelease();
    return removed;
}

} // namespace mireka
