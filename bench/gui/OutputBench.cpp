// The output window while a command prints: adding the most one look hands over, and how late
// the interface thread answers while a command prints 10 MB a second. Runs offscreen.
#include "core/base/MemorySettingsStore.h"
#include "core/base/Profile.h"
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/base/CommandIds.h"
#include "gui/base/CommandTable.h"
#include "gui/base/Prompts.h"
#include "gui/document/MyView.h"
#include "gui/document/OutputBar.h"
#include "gui/toolchain/ArgumentsDlg.h"

#include "BenchTiming.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

namespace mireka {
namespace {

using bench::Clock;
using bench::Ms;

// No message box may wait for a click in a benchmark (a missing manual index says so at start).
class SilentPrompts final : public Prompts {
public:
    QMessageBox::StandardButton Message(QWidget*, const QString&, QMessageBox::Icon,
                                        QMessageBox::StandardButtons, const QString&) override {
        return QMessageBox::Ok;
    }
    void Beep() override {}
};

// The application on a saved file, with settings in memory and a program folder of its own.
struct App {
    SilentPrompts prompts;
    MemorySettingsStore store;
    ScopedProfileStore scope{&store};
    CMyApp app;
    bool started = false;
    App() {
        Prompts::SetCurrent(&prompts);
        const QString dir = QStringLiteral("/tmp/mireka-bench-output");
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
        QFile hints(dir + QStringLiteral("/LSIC86.TXT"));
        if (hints.open(QIODevice::WriteOnly)) hints.close();
        QFile source(dir + QStringLiteral("/hello.c"));
        if (source.open(QIODevice::WriteOnly)) source.write("int main(void) { return 0; }\r\n");
        source.close();
        qputenv("MIREKA_PROGRAM_DIR", dir.toLocal8Bit());
        started = app.InitInstance({QFile::encodeName(source.fileName()).toStdString()});
        if (started) {
            app.MainFrame()->resize(1024, 768);
            app.MainFrame()->show();
            QApplication::processEvents();
        }
    }
    ~App() { Prompts::SetCurrent(nullptr); }
};

std::string Lines(std::size_t bytes) {
    std::string text;
    while (text.size() < bytes)
        text += "t.c:12:5: warning: unused variable 'x' [-Wunused-variable]\r\n";
    return text;
}

// One look's worth of new output (1 MiB) added to a window that already holds 30 MB, with the
// repaint that follows.
void BM_AppendOneLookTo30MB(benchmark::State& state) {
    App a;
    if (!a.started) {
        state.SkipWithError("the application did not start");
        return;
    }
    COutputEdit* edit = a.app.MainFrame()->OutputBar()->Edit();
    edit->ReplaceText(Lines(30u << 20));
    const std::string piece = Lines(1u << 20);
    bench::TimeEachStep(state, [&](int) {
        a.app.MainFrame()->AppendBuildOutput(piece);
        edit->viewport()->repaint();
    });
}
BENCHMARK(BM_AppendOneLookTo30MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// A command printing about 10 MB a second for three seconds: how late posted events run on the
// interface thread meanwhile (each sample posts one and waits for it).
void BM_InterfaceWhileACommandPrints10MBps(benchmark::State& state) {
    App a;
    if (!a.started) {
        state.SkipWithError("the application did not start");
        return;
    }
    CMyView* view = a.app.MainFrame()->View();
    CArgumentsDlg::SetDriver([](CArgumentsDlg& d) {
        d.ComboBox()->lineEdit()->setText(QStringLiteral(
            "i=0; while [ $i -lt 120 ]; do head -c 250000 /dev/zero | tr '\\0' x | fold -w 79; "
            "sleep 0.025; i=$((i+1)); done"));
        d.accept();
    });
    std::vector<double> ms;
    for (auto _ : state) {
        if (!a.app.MainFrame()->Commands().Execute(cmd::BuildCommand)) {
            state.SkipWithError("the command did not start");
            return;
        }
        while (!view->IsBuildReady()) {
            const auto posted = Clock::now();
            bool answered = false;
            QMetaObject::invokeMethod(
                view, [&] { answered = true; }, Qt::QueuedConnection);
            while (!answered)
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            ms.push_back(Ms(Clock::now() - posted));
            QTest::qWait(5);
        }
    }
    CArgumentsDlg::SetDriver({});
    state.counters["samples"] = static_cast<double>(ms.size());
    state.counters["output_lines"] =
        static_cast<double>(a.app.MainFrame()->OutputBar()->Edit()->GetLineCount());
    bench::ReportPercentiles(state, ms);
    state.counters["max_ms"] = ms.empty() ? 0.0 : ms.back();
}
BENCHMARK(BM_InterfaceWhileACommandPrints10MBps)->Unit(benchmark::kMillisecond)->Iterations(1);

// Start-up inside the process: the frame with its menus, bars and editor, hello.c opened, the
// window shown and painted. The process's first start also loads fonts and plugins; the later
// ones measure the program's own start-up work.
void BM_StartOnHelloC(benchmark::State& state) {
    for (auto _ : state) {
        const auto start = Clock::now();
        auto app = std::make_unique<App>();
        app->app.MainFrame()->repaint();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (!app->started) state.SkipWithError("the program did not start");
    }
}
BENCHMARK(BM_StartOnHelloC)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
} // namespace mireka
