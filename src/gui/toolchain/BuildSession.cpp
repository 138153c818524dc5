// The build session: settings, worker and output hand-over.
#include "gui/toolchain/BuildSession.h"

#include "core/base/Fnv.h"
#include "core/base/Paths.h"
#include "core/toolchain/Clang.h"
#include "core/toolchain/Environment.h"
#include "core/toolchain/Explain.h"
#include "core/toolchain/Toolchain.h"
#include "gui/base/FrameServices.h"
#include "gui/base/Prompts.h"
#include "gui/toolchain/Explanations.h"
#include "platform/DriverProbe.h"
#include "platform/ProcessRunner.h"
#include "platform/ProgramEnvironment.h"

#include <QWidget>

namespace mireka {

BuildSession::BuildSession(QWidget& owner, DisplayForm displayForm)
    : owner_(owner), displayForm_(displayForm),
      link_(std::make_shared<BuildLink>(
          &owner, [this](BuildLink::Display& display) { ShowDisplay(display); },
          [this](const std::string& displayBytes) { ShowLive(displayBytes); })) {
    LoadBuildSettings(settings_, ProgramEnvironment::Instance(), RealFileProbe());
}

BuildSession::~BuildSession() {
    // A running command is ended: nothing may outlive the window that shows its output.
    link_->Abandon();
    if (worker_.joinable()) worker_.join();
    WriteStoredBuildSettings(settings_);
}

void BuildSession::Start(int kind, RunKind runKind, const BuildCommand& command,
                         const std::optional<BuildCommand>& forClang) {
    // A previous worker has already made the session ready, its very last step.
    if (worker_.joinable()) worker_.join();
    ready_ = false;
    stopAsked_ = false;
    running_ = true;
    runningToolchain_ = kind;
    const std::string toolchainPath = settings_.GetToolchainPath(runningToolchain_);
    const CommandInterpreter shell = GetCommandInterpreter(ProgramEnvironment::Instance());
    const bool explain =
        runKind == RunKind::Compile && KindOf(kind) == ToolchainKind::Gcc && settings_.m_bExplain;
    worker_ = std::thread(&BuildSession::Work, this, runKind, command, forClang, shell,
                          toolchainPath, GetModuleDir(), explain);
}

void BuildSession::Work(RunKind runKind, BuildCommand run, std::optional<BuildCommand> forClang,
                        const CommandInterpreter& shell, const std::string& toolchainPath,
                        const std::string& captureDir, bool explain) {
    ProgramEnvironment& env = ProgramEnvironment::Instance();
    // Asked here, off the interface thread: the driver may take its time to answer.
    if (forClang && IsClangDriver(toolchainPath, env.Snapshot())) {
        run = *forClang;
        if (TakeClangNoticeTurn()) run.note = kClangNotice;
    }
    AddToolchainDirToPath(env, toolchainPath);
    QProcessEnvironment runEnv = env.Snapshot();
    LoadedExplanations explanations;
    std::optional<Explainer> explainer;
    if (explain) {
        explanations = LoadExplanations();
        run.note += explanations.notice;
        if (explanations.table) explainer.emplace(*explanations.table);
        UseEnglishMessages(runEnv);
    }
    // Every display is converted here, off the interface thread. What the window holds of this
    // run is tracked by length and hash, so that the end display adds only what is new when the
    // window already shows the rest.
    std::optional<std::size_t> shownLength;
    std::uint64_t shownHash = kFnvStart;
    CaptureCallbacks callbacks;
    callbacks.show = [&](const std::string& text, bool beep) {
        BuildLink::Display display{text, displayForm_(text), std::nullopt, beep};
        const std::string_view bytes = display.bytes;
        // One pass: the hash of what the window may hold, continued over the rest.
        const std::size_t prefix = shownLength && *shownLength <= bytes.size() ? *shownLength : 0;
        const std::uint64_t prefixHash = Fnv1a64(bytes.substr(0, prefix));
        if (shownLength && prefix == *shownLength && prefixHash == shownHash)
            display.kept = shownLength;
        shownLength = bytes.size();
        shownHash = Fnv1a64(bytes.substr(prefix), prefixHash);
        link_->Show(display);
    };
    callbacks.abandoned = [this] { return link_->Abandoned(); };
    callbacks.stop = [this] { return stopAsked_.load(); };
    // A piece that ends inside a character waits for the rest of it.
    std::string held;
    callbacks.live = [&](std::string_view captured) {
        held.append(captured);
        const std::size_t n = ShowableLength(held);
        if (n == 0) return;
        std::string display = displayForm_(std::string_view(held).substr(0, n));
        held.erase(0, n);
        if (shownLength) {
            *shownLength += display.size();
            shownHash = Fnv1a64(display, shownHash);
        }
        link_->Live(std::move(display));
    };
    if (explainer)
        callbacks.filter = [&explainer](std::string_view bytes) { return explainer->Feed(bytes); };
    RunCaptured(runKind, run, shell, runEnv, captureDir, callbacks);
    // The session waits for this thread before it goes, so it is still there.
    running_ = false;
    ready_ = true;
}

void BuildSession::ShowDisplay(BuildLink::Display& display) {
    if (display.beep) Prompts::Current().Beep();
    if (FrameServices* frame = FrameOf(&owner_))
        frame->ShowBuildDisplay(std::move(display.bytes), display.kept);
    if (observer_) observer_(display.text, ready_.load());
}

void BuildSession::ShowLive(const std::string& displayBytes) {
    if (FrameServices* frame = FrameOf(&owner_)) frame->AppendBuildOutput(displayBytes);
}

} // namespace mireka
