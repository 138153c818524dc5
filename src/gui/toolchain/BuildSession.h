// A compile or command the editor view asks for: the build settings, one worker at a time and
// the hand-over of its output to the interface thread.
#pragma once

#include "core/toolchain/BuildSettings.h"
#include "core/toolchain/CommandLine.h"
#include "core/toolchain/Transcript.h"
#include "gui/toolchain/BuildLink.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

class QWidget;

namespace mireka {

class BuildSession {
public:
    // Bytes the build wrote, in the output window's form; called on the worker.
    using DisplayForm = std::string (*)(std::string_view systemText);
    // Told every text shown in the output window, right after the frame has shown it, with
    // whether the session was ready at that moment (interface thread).
    using OutputObserver = std::function<void(const std::string& text, bool ready)>;

    // Loads the build settings. Output goes to the frame around `owner`, on its thread, which
    // must outlive the session.
    BuildSession(QWidget& owner, DisplayForm displayForm);
    // Ends a running command, waits for the worker, then saves the build settings.
    ~BuildSession();
    BuildSession(const BuildSession&) = delete;
    BuildSession& operator=(const BuildSession&) = delete;

    // A running build took its own copy of what it needs; changes apply to the next one.
    [[nodiscard]] BuildSettings& Settings() noexcept { return settings_; }
    [[nodiscard]] const BuildSettings& Settings() const noexcept { return settings_; }

    // No compile or command is running or being asked for.
    [[nodiscard]] bool IsReady() const noexcept { return ready_.load(); }
    // A compile or command is running (the stop command is enabled).
    [[nodiscard]] bool IsRunning() const noexcept { return running_.load(); }
    // Not ready while a command line is asked for; Start or Release ends it.
    void Hold() noexcept { ready_ = false; }
    void Release() noexcept { ready_ = true; }

    // Runs `command` on the worker with toolchain `kind`'s folder on the path. `forClang` is the
    // compile as it runs when the driver turns out to be clang. Interface thread, when ready.
    void Start(int kind, RunKind runKind, const BuildCommand& command,
               const std::optional<BuildCommand>& forClang);
    // Asks the running command to end; what it printed is shown with the stop line.
    void Stop() noexcept { stopAsked_ = true; }

    void SetOutputObserver(OutputObserver observer) { observer_ = std::move(observer); }
    // The one way a worker's output reaches the output window.
    [[nodiscard]] BuildLink& Output() noexcept { return *link_; }

private:
    void Work(RunKind runKind, BuildCommand run, std::optional<BuildCommand> forClang,
              const CommandInterpreter& shell, const std::string& toolchainPath,
              const std::string& captureDir, bool explain);
    void ShowDisplay(BuildLink::Display& display);
    void ShowLive(const std::string& displayBytes);

    QWidget& owner_;
    DisplayForm displayForm_;
    BuildSettings settings_;
    // Shared with posted hand-overs, which may run after the session has gone.
    std::shared_ptr<BuildLink> link_;
    OutputObserver observer_;
    int runningToolchain_ = 1; // the selection the running build took at its start
    std::atomic<bool> ready_{true};
    // From the worker's start to its end; the stop command asks the worker through stopAsked_.
    std::atomic<bool> running_{false};
    std::atomic<bool> stopAsked_{false};
    // Joined before the next start and as the session goes; its last step makes it ready.
    std::thread worker_;
};

} // namespace mireka
