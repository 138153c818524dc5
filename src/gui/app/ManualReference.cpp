// Building, caching and reloading the C library reference.
#include "gui/app/ManualReference.h"

#include "core/app/ManReference.h"
#include "gui/editor/Cp932.h"
#include "platform/ManPages.h"
#include "platform/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <functional>
#include <unordered_set>

namespace mireka {

namespace {

constexpr int kPollMs = 50;
// A page that takes longer is skipped: a renderer that hangs must not hold the build.
constexpr int kRenderTimeoutMs = 20000;

std::string Path(const QString& dir, const char* name) {
    return QFile::encodeName(QDir(dir).filePath(QLatin1String(name))).toStdString();
}

// Rendered UTF-8 as code page 932; a character the code page lacks becomes "?". Most pages
// convert whole, so the slow character-by-character way is taken only for lines that need it.
std::string ToCp932(const std::string& utf8) {
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    std::string out;
    if (cp932::Encode(text, out)) return out;
    out.clear();
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    std::string bytes;
    for (const QString& line : lines) {
        if (cp932::Encode(line, bytes))
            out += bytes;
        else
            cp932::EncodeReplacing(line, out);
        out += '\n';
    }
    return out;
}

std::string Preface(std::size_t pages, std::size_t failed, const QString& renderer) {
    QString text =
        QStringLiteral(
            "C ライブラリ リファレンス（%1 ページ、%2 で整形）\n"
            "\n"
            "この計算機にインストールされているマニュアル ページから、C ライブラリの\n"
            "システム コール（セクション 2）とライブラリ関数（セクション 3）を集めました。\n"
            "日本語訳のないページは英語のままです。\n"
            "\n"
            "使い方\n"
            "  上の欄に関数名の始めを入力すると、左の索引がその名前を選びます。\n"
            "  Enter キーを押すか索引をダブルクリックすると、その説明に移ります。\n"
            "  [コピー] は、右の一覧で選んだ行をクリップボードにコピーします。\n")
            .arg(pages)
            .arg(renderer);
    if (failed > 0)
        text += QStringLiteral("整形できなかった %1 ページは省いてあります。\n").arg(failed);
    std::string out;
    cp932::EncodeReplacing(text, out);
    return out;
}

struct RenderedPage {
    std::string text; // code page 932; empty when the page is left out
    std::vector<std::string> names;
    bool failed = false;
};

// The reference the cache folder holds for `key`, if it does.
bool LoadCache(const QString& dir, const std::string& key, ManualContent& content) {
    std::string stored, text, index, error;
    if (!ReadWholeFile(Path(dir, CManualReference::kKeyName), &stored, &error)) return false;
    while (!stored.empty() && (stored.back() == '\n' || stored.back() == '\r'))
        stored.pop_back();
    if (stored != key) return false;
    if (!ReadWholeFile(Path(dir, CManualReference::kTextName), &text, &error) ||
        !ReadWholeFile(Path(dir, CManualReference::kIndexName), &index, &error))
        return false;
    content.lines = std::make_shared<const ManualLines>(std::move(text));
    content.index =
        std::make_shared<const ManualIndexData>(ParseManualIndex(std::move(index)).entries);
    return !content.lines->empty();
}

// The key goes last, and the old one first: a cache cut short never passes for a whole one.
bool StoreCache(const QString& dir, const std::string& key, const std::string& text,
                const std::string& index, std::string* error) {
    if (dir.isEmpty()) {
        *error = "キャッシュ フォルダーがありません。";
        return false;
    }
    if (!QDir().mkpath(dir)) {
        *error = "フォルダー " + QFile::encodeName(dir).toStdString() + " を作成できません。";
        return false;
    }
    QFile::remove(QDir(dir).filePath(QLatin1String(CManualReference::kKeyName)));
    return WriteFileSafely(Path(dir, CManualReference::kTextName), text, error) &&
           WriteFileSafely(Path(dir, CManualReference::kIndexName), index, error) &&
           WriteFileSafely(Path(dir, CManualReference::kKeyName), key + "\n", error);
}

} // namespace

struct CManualReference::Job {
    std::atomic<bool> cancel{false};
    std::atomic<bool> finished{false};
    std::atomic<int> done{0};
    std::atomic<int> total{0};
    ReferenceOutcome outcome; // the worker's until `finished`, then the interface thread's

    void Run(const QString& root, const QString& cacheDir, const std::string& shownKey,
             const std::string& memoryKey, const ManualContent& memory);
    void Build(const std::vector<ManPageFile>& pages, const QString& cacheDir);
};

void CManualReference::Job::Run(const QString& root, const QString& cacheDir,
                                const std::string& shownKey, const std::string& memoryKey,
                                const ManualContent& memory) {
    using Status = ReferenceOutcome::Status;
    ManPageListing listing = ListManPages(root);
    if (listing.translated.empty()) {
        outcome.status = Status::NoPages;
        return;
    }
    const std::vector<ManPageFile> pages =
        ChooseReferencePages(std::move(listing.translated), listing.english);
    outcome.key = ReferenceFingerprint(pages);
    if (outcome.key == shownKey) {
        outcome.status = Status::Unchanged;
        return;
    }
    if (outcome.key == memoryKey) {
        outcome.content = memory;
        outcome.status = Status::Ready;
        return;
    }
    if (LoadCache(cacheDir, outcome.key, outcome.content)) {
        outcome.status = Status::Ready;
        return;
    }
    Build(pages, cacheDir);
}

void CManualReference::Job::Build(const std::vector<ManPageFile>& pages, const QString& cacheDir) {
    using Status = ReferenceOutcome::Status;
    const ManRenderer renderer = FindManRenderer();
    if (renderer.kind == ManRenderer::Kind::None) {
        outcome.status = Status::NoRenderer;
        return;
    }
    total = static_cast<int>(pages.size());
    std::vector<RenderedPage> rendered(pages.size());
    std::atomic<std::size_t> next{0};
    const std::function<bool()> cancelled = [this] { return cancel.load(); };
    const auto renderSome = [&] {
        for (std::size_t i; (i = next++) < pages.size() && !cancel;) {
            RenderedPage& out = rendered[i];
            const std::optional<std::string> utf8 =
                RenderManPage(renderer, pages[i].path, cancelled, kRenderTimeoutMs);
            if (!utf8) {
                out.failed = true;
            } else if (const std::string page = CleanRenderedPage(*utf8);
                       !page.empty() && IsCLibraryPage(page)) {
                out.names = ParseNameSection(page);
                out.text = ToCp932(page);
            }
            ++done;
        }
    };
    // Renderers are separate processes: one per processor keeps them all busy.
    const int workers = std::clamp(QThread::idealThreadCount(), 1, 8);
    std::vector<std::thread> threads;
    for (int i = 1; i < workers; ++i)
        threads.emplace_back(renderSome);
    renderSome();
    for (std::thread& t : threads)
        t.join();
    if (cancel) {
        outcome.status = Status::Cancelled;
        return;
    }

    // A page that reaches the renderer under two names (an alias made with ".so") is listed
    // once.
    std::unordered_set<std::string_view> seen;
    std::vector<std::size_t> kept;
    for (std::size_t i = 0; i < rendered.size(); ++i) {
        outcome.failed += rendered[i].failed ? 1 : 0;
        if (!rendered[i].text.empty() && seen.insert(rendered[i].text).second) kept.push_back(i);
    }
    if (kept.empty()) {
        outcome.status = Status::NothingRendered;
        return;
    }
    ReferenceBuilder builder(Preface(kept.size(), outcome.failed, renderer.Name()));
    for (const std::size_t i : kept)
        builder.AddPage(rendered[i].text, rendered[i].names, pages[i].stem, pages[i].section);
    rendered.clear();
    outcome.pages = builder.PageCount();
    const std::string index = builder.IndexText();
    std::vector<ManualIndexEntry> entries = builder.Entries();
    std::string text = builder.TakeText();
    std::string error;
    if (!StoreCache(cacheDir, outcome.key, text, index, &error))
        outcome.cacheError = error.empty() ? std::string("書き込めません。") : error;
    outcome.content.lines = std::make_shared<const ManualLines>(std::move(text));
    outcome.content.index = std::make_shared<const ManualIndexData>(std::move(entries));
    outcome.status = Status::Ready;
}

CManualReference::CManualReference(QString root, QString cacheDir, QObject* parent)
    : QObject(parent), root_(std::move(root)), cacheDir_(std::move(cacheDir)) {
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &CManualReference::Poll);
}

CManualReference::~CManualReference() {
    if (job_) job_->cancel = true;
    if (worker_.joinable()) worker_.join();
}

void CManualReference::Start(const std::string& shownKey) {
    if (Busy()) return;
    job_ = std::make_shared<Job>();
    worker_ = std::thread([this, job = job_, root = root_, cacheDir = cacheDir_, shownKey,
                           memoryKey = memoryKey_, memory = memory_] {
        job->Run(root, cacheDir, shownKey, memoryKey, memory);
        job->finished = true;
        // Told at once rather than at the next look; this object outlives the thread, and a
        // call queued for it is dropped if it goes first.
        QMetaObject::invokeMethod(this, &CManualReference::Poll, Qt::QueuedConnection);
    });
    poll_.start();
}

void CManualReference::Cancel() {
    if (job_) job_->cancel = true;
}

void CManualReference::Poll() {
    if (!job_) return;
    if (!job_->finished) {
        emit Progress(job_->done, job_->total);
        return;
    }
    poll_.stop();
    worker_.join();
    const std::shared_ptr<Job> job = std::move(job_);
    ReferenceOutcome& outcome = job->outcome;
    if (outcome.status == ReferenceOutcome::Status::Ready && !outcome.cacheError.empty()) {
        memoryKey_ = outcome.key;
        memory_ = outcome.content;
    }
    // Asked to stop: what was finished meanwhile is kept, but not shown.
    if (job->cancel) outcome.status = ReferenceOutcome::Status::Cancelled;
    emit Finished(outcome);
}

} // namespace mireka
