// The manual viewer at size: opening a cached C library reference, a keystroke in the find box
// over 10,000 index entries, loading, scrolling and typing into a manual of 500,000 lines. Runs
// offscreen.
#include "core/app/ManReference.h"
#include "gui/app/ManualDlg.h"
#include "gui/app/ManualReference.h"
#include "platform/ManPages.h"

#include "../BenchData.h"
#include "BenchTiming.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace mireka {
namespace {

using bench::Clock;
using bench::Ms;

void Write(const QString& path, const std::string& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// A rendered page of about 150 lines, half of them Japanese (code page 932).
std::string FakePage(int n) {
    std::string page = "FUNC" + std::to_string(n) + "(3)   Linux Programmer's Manual   FUNC(3)\n\n";
    for (int i = 0; i < 150; ++i)
        page += i % 2 ? "       \x8a\xd6\x90\x94\x82\xcd\x8f\x91\x8e\xae\x82\xc9\x8f\x5d\x82\xc1"
                        "\x82\xc4\x8f\x6f\x97\xcd\x82\xb7\x82\xe9\x81\x42\n"
                      : "       int func(const char *format, ...); /* a line of code */\n";
    return page;
}

// Page files, and the cache a build would have left for them: about the size of the real
// reference (1,200 pages, 180,000 lines), with 10,000 index entries.
struct CachedReference {
    static constexpr int kPages = 1200;
    static constexpr int kEntries = 10000;
    QTemporaryDir dir;
    QString root;
    QString cache;
    std::string key;

    CachedReference() {
        root = dir.filePath("man");
        cache = dir.filePath("cache");
        QDir().mkpath(root + "/ja/man3");
        QDir().mkpath(cache);
        for (int i = 0; i < kPages; ++i)
            Write(root + QStringLiteral("/ja/man3/func%1.3.gz").arg(i), "page");
        ManPageListing listing = ListManPages(root);
        key = ReferenceFingerprint(
            ChooseReferencePages(std::move(listing.translated), listing.english));
        ReferenceBuilder builder("preface\n");
        for (int i = 0; i < kPages; ++i) {
            std::vector<std::string> names;
            for (int j = i * kEntries / kPages; j < (i + 1) * kEntries / kPages; ++j)
                names.push_back("name" + std::to_string(j));
            builder.AddPage(FakePage(i), names, "func", "3");
        }
        Write(cache + "/" + CManualReference::kIndexName, builder.IndexText());
        Write(cache + "/" + CManualReference::kTextName, builder.TakeText());
        Write(cache + "/" + CManualReference::kKeyName, key + "\n");
    }
};

// An empty index, as shipped: the viewer has nothing to say about it.
const std::string& EmptyIndexPath() {
    static const std::string path = bench::TempFile("LSICMAN.TXT", "");
    return path;
}

CachedReference& Reference() {
    static CachedReference reference;
    return reference;
}

// Command to first screen: the pages looked at, the cache read and indexed, the viewer shown
// and painted.
void BM_OpenCachedReference(benchmark::State& state) {
    CachedReference& ref = Reference();
    for (auto _ : state) {
        CManualDlg dlg(nullptr, EmptyIndexPath());
        CManualReference reference(ref.root, ref.cache);
        QEventLoop loop;
        ReferenceOutcome outcome;
        QObject::connect(&reference, &CManualReference::Finished, [&](const ReferenceOutcome& o) {
            outcome = o;
            loop.quit();
        });
        const auto start = Clock::now();
        reference.Start({});
        loop.exec();
        dlg.ShowReference(outcome.content, outcome.key, "printf");
        dlg.repaint();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (outcome.status != ReferenceOutcome::Status::Ready) state.SkipWithError("not cached");
        state.counters["lines"] = static_cast<double>(outcome.content.lines->size());
        state.counters["entries"] = static_cast<double>(outcome.content.index->entries.size());
    }
}
BENCHMARK(BM_OpenCachedReference)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// One typed character, from the key event to the repainted index list; typing runs through
// "name1234" and back, so that the selection moves on most keys.
void BM_FindKeystroke10000Entries(benchmark::State& state) {
    CachedReference& ref = Reference();
    CManualDlg dlg(nullptr, EmptyIndexPath());
    CManualReference reference(ref.root, ref.cache);
    QEventLoop loop;
    ReferenceOutcome outcome;
    QObject::connect(&reference, &CManualReference::Finished, [&](const ReferenceOutcome& o) {
        outcome = o;
        loop.quit();
    });
    reference.Start({});
    loop.exec();
    dlg.ShowReference(outcome.content, outcome.key, "");
    QApplication::processEvents();
    const QString word = QStringLiteral("NAME9876");
    const std::vector<double> ms = bench::TimeEachStep(state, [&](int n) {
        const int step = n % (2 * static_cast<int>(word.size()));
        const bool typing = step < word.size();
        if (typing)
            QTest::keyClick(dlg.FindEdit(), word.at(step).toLatin1());
        else
            QTest::keyClick(dlg.FindEdit(), Qt::Key_Backspace);
        dlg.IndexList()->viewport()->repaint();
        dlg.FindEdit()->repaint();
    });
    state.counters["max_ms"] = ms.back();
}
BENCHMARK(BM_FindKeystroke10000Entries)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(2000);

// 500,000 lines of about 60 bytes, 30 MB.
const std::string& BigManualPath() {
    static const std::string path = [] {
        std::string text;
        text.reserve(500'000 * 64);
        for (int i = 0; i < 500'000; ++i)
            text += i % 3 ? "       int func(const char *format, ...); /* line of code */\r\n"
                          : "       \x8a\xd6\x90\x94\x82\xcd\x8f\x91\x8e\xae\x82\xc9\x8f\x5d\x82"
                            "\xc1\x82\xc4\x8f\x6f\x97\xcd\x82\xb7\x82\xe9\x81\x42\r\n";
        return bench::TempFile("manual-500k.man", text);
    }();
    return path;
}

// Read, cut into lines and shown at line 14, painted.
void BM_Load500000LineManual(benchmark::State& state) {
    const std::string& path = BigManualPath();
    for (auto _ : state) {
        CManualDlg dlg(nullptr, EmptyIndexPath());
        const auto start = Clock::now();
        dlg.ShowLsiManual(path, "");
        dlg.repaint();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}
BENCHMARK(BM_Load500000LineManual)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// A page down, or now and then a jump by the scroll bar to anywhere, with the repaint.
void BM_Scroll500000LineManual(benchmark::State& state) {
    CManualDlg dlg(nullptr, EmptyIndexPath());
    dlg.ShowLsiManual(BigManualPath(), "");
    QApplication::processEvents();
    QListView* list = dlg.ManualList();
    list->setFocus();
    std::uint32_t seed = 7;
    const std::vector<double> ms = bench::TimeEachStep(state, [&](int n) {
        if ((n + 1) % 10 == 0) {
            seed = seed * 1103515245u + 12345u;
            list->verticalScrollBar()->setValue(static_cast<int>(
                (seed >> 8) % static_cast<std::uint32_t>(list->verticalScrollBar()->maximum())));
        } else {
            QTest::keyClick(list, Qt::Key_PageDown);
        }
        list->viewport()->repaint();
    });
    state.counters["max_ms"] = ms.back();
}
BENCHMARK(BM_Scroll500000LineManual)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(1000);

// A letter typed into the manual list, which no row can begin with: the list's type-ahead
// answers from the line numbers.
void BM_ListKeystroke500000LineManual(benchmark::State& state) {
    CManualDlg dlg(nullptr, EmptyIndexPath());
    dlg.ShowLsiManual(BigManualPath(), "");
    QApplication::processEvents();
    QListView* list = dlg.ManualList();
    list->setFocus();
    const std::vector<double> ms = bench::TimeEachStep(state, [&](int n) {
        QTest::keyClick(list, static_cast<char>('a' + n % 26));
        list->viewport()->repaint();
    });
    state.counters["max_ms"] = ms.back();
}
BENCHMARK(BM_ListKeystroke500000LineManual)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(200);

} // namespace
} // namespace mireka
