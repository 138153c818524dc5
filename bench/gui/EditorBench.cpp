// The editor window on big texts: open and first paint, a keystroke with its repaint, a comment
// opener on the first line. Runs offscreen.
#include "core/app/RecentFileList.h"
#include "core/base/MemorySettingsStore.h"
#include "core/base/Profile.h"
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/base/Prompts.h"
#include "gui/document/DocumentRecovery.h"
#include "gui/document/MyDoc.h"
#include "gui/document/MyView.h"
#include "platform/LargeTextMemory.h"

#include "../BenchData.h"
#include "BenchTiming.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QPrinter>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace mireka {
namespace {

using bench::Clock;
using bench::Ms;

struct Window {
    FileDialogMemory memory;
    RecentFileList recent;
    CMyDoc doc{memory, recent, Prompts::Current()};
    CMyView view;
    Window() {
        doc.SetView(&view);
        view.SetDocument(&doc);
        view.resize(1024, 768);
        view.show();
        view.SetTabStops(4);
        QApplication::processEvents();
    }
};

// Each iteration: one typed character from the key event to the end of the repaint. Every
// `spaceEvery`-th one is a space (0: never), so that typing runs end now and then. `before` runs
// untimed ahead of each keystroke.
void TimeKeystrokes(benchmark::State& state, Window& w, int spaceEvery,
                    const std::function<void(int)>& before = {}) {
    bench::TimeEachStep(
        state,
        [&](int n) {
            const bool space = spaceEvery > 0 && (n + 1) % spaceEvery == 0;
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier,
                            space ? QStringLiteral(" ") : QStringLiteral("a"));
            QApplication::sendEvent(&w.view, &press);
            w.view.viewport()->repaint();
        },
        before);
}

// File to first screen: read, normalise, index, set the text and paint the visible lines.
void BM_OpenAndPaintFirstScreen100MB(benchmark::State& state) {
    const std::string path = bench::TempFile("100mb-lf.c", bench::MakeCSource(100u << 20, "\n"));
    for (auto _ : state) {
        Window w;
        const auto start = Clock::now();
        w.doc.OnOpenDocument(path);
        w.view.viewport()->repaint();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        state.counters["memory_per_file_byte"] =
            static_cast<double>(w.view.Control().Buffer().MemoryUsed()) /
            static_cast<double>(100u << 20);
    }
}
BENCHMARK(BM_OpenAndPaintFirstScreen100MB)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Two million short lines of code, 24 MB.
std::string TwoMillionShortLines() {
    std::string text;
    text.reserve(2'000'000 * 12);
    for (int i = 0; i < 2'000'000; ++i)
        text += "\tx = y + 1;\r\n";
    return text;
}

// A 2-million-line text with its end in view and the caret there.
void ShowEndOf2MLines(Window& w) {
    w.view.SetWindowText(TwoMillionShortLines());
    w.view.Control().SetCaret(w.view.GetWindowTextLength());
    w.view.ScrollCaret();
    w.view.viewport()->repaint();
}

// From the key event to the end of the paint, at the end of a 2-million-line text.
void BM_KeystrokeAtEndOf2MLines(benchmark::State& state) {
    Window w;
    ShowEndOf2MLines(w);
    TimeKeystrokes(state, w, 40);
}
BENCHMARK(BM_KeystrokeAtEndOf2MLines)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(2000);

// The same with the recovery file kept: every 250th keystroke hands a snapshot to the writer
// (as a pause in typing would), which writes 24 MB while the next keystrokes are timed.
void BM_KeystrokeAtEndOf2MLinesWithRecovery(benchmark::State& state) {
    Window w;
    ShowEndOf2MLines(w);
    const QString folder = QStringLiteral("/tmp/mireka-bench-recovery");
    QDir(folder).removeRecursively();
    {
        CDocumentRecovery recovery(w.doc, w.view, QFile::encodeName(folder).toStdString());
        TimeKeystrokes(state, w, 40, [&](int n) {
            if (n % 250 == 0) recovery.Write();
        });
    }
    QDir(folder).removeRecursively();
}
BENCHMARK(BM_KeystrokeAtEndOf2MLinesWithRecovery)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(2000);

// Generated or minified code: statements without a line break, 4 MB of them.
std::string FourMegabyteLine() {
    std::string line;
    while (line.size() < (4u << 20))
        line += "x = y + 1; /* c */ s = \"t\"; ";
    return line;
}

// Generated or minified code: one line of 4 MB, typed into at its start (0) and at its end (1);
// then at its start with more code after it (2), whose colour state depends on the whole line.
void BM_KeystrokeInA4MBLine(benchmark::State& state) {
    Window w;
    w.view.SetWindowText(FourMegabyteLine() + (state.range(0) == 2 ? "\r\nint z;\r\n" : ""));
    const bool atEnd = state.range(0) == 1;
    w.view.Control().SetCaret(atEnd ? w.view.GetWindowTextLength() : 0);
    w.view.ScrollCaret();
    w.view.viewport()->repaint();
    TimeKeystrokes(state, w, 0);
}
BENCHMARK(BM_KeystrokeInA4MBLine)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50);

// ---- the same in both encodings, with Japanese in the text: Arg 0 Shift_JIS, 1 UTF-8 ------

// 日本語 in the document's encoding.
const char* Japanese(bool utf8) {
    return utf8 ? "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E" : "\x93\xfa\x96\x7b\x8c\xea";
}

void SetEncoding(Window& w, benchmark::State& state) {
    w.view.Session().SetEncoding(state.range(0) == 1 ? Encoding::Utf8 : Encoding::Cp932);
}

void BM_EncodingOpenAndPaintFirstScreen100MB(benchmark::State& state) {
    const bool utf8 = state.range(0) == 1;
    const std::string path = bench::TempFile(utf8 ? "100mb-utf8.c" : "100mb-sjis.c",
                                             bench::MakeCSource(100u << 20, "\n", utf8));
    for (auto _ : state) {
        Window w;
        SetEncoding(w, state);
        const auto start = Clock::now();
        w.doc.OnOpenDocument(path);
        w.view.viewport()->repaint();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}
BENCHMARK(BM_EncodingOpenAndPaintFirstScreen100MB)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_EncodingKeystrokeAtEndOf2MLines(benchmark::State& state) {
    Window w;
    SetEncoding(w, state);
    const std::string line =
        std::string("\tx = y + 1; // ") + Japanese(state.range(0) == 1) + "\r\n";
    std::string text;
    text.reserve(2'000'000 * line.size());
    for (int i = 0; i < 2'000'000; ++i)
        text += line;
    w.view.SetWindowText(text);
    w.view.Control().SetCaret(w.view.GetWindowTextLength());
    w.view.ScrollCaret();
    w.view.viewport()->repaint();
    TimeKeystrokes(state, w, 40);
}
BENCHMARK(BM_EncodingKeystrokeAtEndOf2MLines)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(2000);

// Typed at the end of the line, where the caret's cell is measured over all 4 MB.
void BM_EncodingKeystrokeInA4MBLine(benchmark::State& state) {
    Window w;
    SetEncoding(w, state);
    const std::string piece =
        std::string("x = y + 1; /* ") + Japanese(state.range(0) == 1) + " */ s = \"t\"; ";
    std::string line;
    while (line.size() < (4u << 20))
        line += piece;
    w.view.SetWindowText(line);
    w.view.Control().SetCaret(w.view.GetWindowTextLength());
    w.view.ScrollCaret();
    w.view.viewport()->repaint();
    TimeKeystrokes(state, w, 0);
}
BENCHMARK(BM_EncodingKeystrokeInA4MBLine)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50);

// The caret blinking on a 4 MB line: its row is repainted twice a second while nothing changes.
void BM_RepaintUnchangedRowOfA4MBLine(benchmark::State& state) {
    Window w;
    w.view.SetWindowText(FourMegabyteLine());
    w.view.viewport()->repaint();
    const QRect row(0, 0, w.view.viewport()->width(), w.view.LineHeight());
    for (auto _ : state)
        w.view.viewport()->repaint(row);
}
BENCHMARK(BM_RepaintUnchangedRowOfA4MBLine)->Unit(benchmark::kMillisecond)->Iterations(50);

// Typing "/*" on the first line of a 1-million-line file turns every visible line into comment.
void BM_CommentOpenerOnFirstLineOf1MLines(benchmark::State& state) {
    Window w;
    std::string text;
    for (int i = 0; i < 1'000'000; ++i)
        text += "int v = 42; /* note */\r\n";
    w.view.SetWindowText(text);
    w.view.viewport()->repaint();
    bench::TimeEachStep(
        state,
        [&](int) {
            QTest::keyClicks(&w.view, "/*");
            w.view.viewport()->repaint();
        },
        [&](int n) {
            if (n > 0) {
                w.view.Undo();
                w.view.viewport()->repaint();
            }
            w.view.Control().SetCaret(0);
        });
}
BENCHMARK(BM_CommentOpenerOnFirstLineOf1MLines)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50);

// A new editor font (the font dialog's OK) on a 2-million-line text, to the next painted frame.
void BM_ApplyFontTo2MLines(benchmark::State& state) {
    Window w;
    w.view.SetWindowText(TwoMillionShortLines());
    w.view.viewport()->repaint();
    const QFont fonts[] = {QFont(QStringLiteral("Noto Sans Mono CJK JP"), 12),
                           QFont(QStringLiteral("Noto Sans Mono CJK JP"), 16)};
    int n = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        w.view.SetEditorFont(fonts[n++ % 2]);
        w.view.viewport()->repaint();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}
BENCHMARK(BM_ApplyFontTo2MLines)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// The preview's work for a text: its layout, then the pages it draws (all of them, at most 200
// around the caret).
void TimePreview(benchmark::State& state, int lines) {
    Window w;
    std::string text;
    for (int i = 0; i < lines; ++i)
        text += "\tprintf(\"%d\\n\", value + " + std::to_string(i) + ");\r\n";
    w.view.SetWindowText(text);
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QStringLiteral("/tmp/mireka-bench-print.pdf"));
        const auto start = Clock::now();
        w.view.PrintDocument(printer, true);
        const auto laidOut = Clock::now();
        if (w.view.PrintedPageCount() > 200) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(1, 200);
        }
        w.view.PrintDocument(printer);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        state.counters["layout_ms"] = Ms(laidOut - start);
    }
    state.counters["pages"] = w.view.PrintedPageCount();
}

void BM_PreviewOf100kLines(benchmark::State& state) {
    TimePreview(state, 100'000);
}
BENCHMARK(BM_PreviewOf100kLines)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PreviewOf2MLines(benchmark::State& state) {
    TimePreview(state, 2'000'000);
}
BENCHMARK(BM_PreviewOf2MLines)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// 文字コード変換 on a 100 MB EUC-JP text, with its undo records and the repaint after it.
void BM_CodeConvertCommand100MB(benchmark::State& state) {
    Window w;
    const std::string euc = bench::ShiftJisToEuc(bench::MakeCSource(100u << 20, "\r\n"));
    for (auto _ : state) {
        state.PauseTiming();
        w.view.SetWindowText(euc);
        w.view.ClearUndoHistory();
        w.view.viewport()->repaint();
        state.ResumeTiming();
        const auto start = Clock::now();
        w.view.OnCodeConvert();
        w.view.viewport()->repaint();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}
BENCHMARK(BM_CodeConvertCommand100MB)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The templates submenu read afresh, as every opening of the menu bar does, with 1,000 templates.
void BM_RebuildTemplateMenu1000(benchmark::State& state) {
    const QString dir = QStringLiteral("/tmp/mireka-bench-program");
    QDir(dir).removeRecursively();
    QDir().mkpath(dir + QStringLiteral("/template"));
    QFile hints(dir + QStringLiteral("/LSIC86.TXT"));
    if (hints.open(QIODevice::WriteOnly)) hints.close();
    for (int i = 0; i < 1000; ++i) {
        QFile f(dir + QStringLiteral("/template/\u3072\u306a\u578b %1.tpl").arg(i));
        if (f.open(QIODevice::WriteOnly)) f.write("int x;\r\n");
    }
    qputenv("MIREKA_PROGRAM_DIR", dir.toLocal8Bit());
    MemorySettingsStore store;
    ScopedProfileStore scope(&store);
    CMyApp app;
    if (!app.InitInstance({})) {
        state.SkipWithError("the application did not start");
        return;
    }
    for (auto _ : state)
        app.MainFrame()->RebuildTemplateMenu();
    state.counters["templates"] = static_cast<double>(app.MainFrame()->TemplateNames().size());
    QDir(dir).removeRecursively();
}
BENCHMARK(BM_RebuildTemplateMenu1000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace mireka

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    mireka::UseHugePagesForLargeTexts(); // as the program does
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
