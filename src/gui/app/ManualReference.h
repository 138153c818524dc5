// The C library reference made from the installed manual pages. Asking for it looks on a worker
// thread whether the pages changed since it was last built; only then are they rendered again,
// in parallel, and the result kept in the cache folder for later runs.
#pragma once

#include "gui/app/ManualDlg.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <string>
#include <thread>

namespace mireka {

struct ReferenceOutcome {
    enum class Status {
        Ready,           // `content` holds the reference
        Unchanged,       // the pages are those of the reference shown
        NoPages,         // no Japanese pages of sections 2 and 3
        NoRenderer,      // neither mandoc nor man
        NothingRendered, // no page could be rendered
        Cancelled,
    };
    Status status = Status::Cancelled;
    std::string key;
    ManualContent content;
    // Why the cache folder could not take the reference (it was then made in memory only);
    // empty when it could.
    std::string cacheError;
    std::size_t pages = 0;  // pages in the reference
    std::size_t failed = 0; // pages the renderer could not render
};

class CManualReference : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kTextName = "clibref.txt";
    static constexpr const char* kIndexName = "clibref.idx";
    static constexpr const char* kKeyName = "clibref.key";

    // Pages under `root`, cache in `cacheDir`.
    CManualReference(QString root, QString cacheDir, QObject* parent = nullptr);
    // Ends a running build and waits for it: at most the time a renderer takes to be ended.
    ~CManualReference() override;
    CManualReference(const CManualReference&) = delete;
    CManualReference& operator=(const CManualReference&) = delete;

    // Starts looking and, when needed, building; `shownKey` is the key of the reference the
    // viewer shows. Does nothing while a run is going on.
    void Start(const std::string& shownKey);
    [[nodiscard]] bool Busy() const noexcept { return worker_.joinable(); }
    // The run ends soon after, as Cancelled.
    void Cancel();

signals:
    // Pages rendered so far of `total`; `total` is 0 while the pages are only looked at.
    void Progress(int done, int total);
    // The interface thread, once per Start.
    void Finished(const mireka::ReferenceOutcome& outcome);

private:
    struct Job;
    void Poll();

    QString root_;
    QString cacheDir_;
    std::shared_ptr<Job> job_;
    std::thread worker_;
    QTimer poll_;
    // A reference the cache folder would not take, kept for the rest of the run.
    std::string memoryKey_;
    ManualContent memory_;
};

} // namespace mireka
