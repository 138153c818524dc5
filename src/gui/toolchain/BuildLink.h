// The build session's hand-over: a worker shows texts on the interface thread through it and
// learns from it that the session is going away.
#pragma once

#include <QObject>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace mireka {

class BuildLink : public std::enable_shared_from_this<BuildLink> {
public:
    // One display of a run: the transcript, the same in the output window's form, how much of
    // that the window already holds (when it holds exactly a start of it), and the beep.
    struct Display {
        const std::string& text;
        std::string bytes;
        std::optional<std::size_t> kept;
        bool beep = false;
    };
    using ShowFn = std::function<void(Display& display)>;
    using LiveFn = std::function<void(const std::string& displayBytes)>;

    // `show` and `live` run on the thread of `context`, which must outlive every call of Show
    // and Live (the session waits for its worker before it goes).
    BuildLink(QObject* context, ShowFn show, LiveFn live = {});

    // Any other thread: has `show` run on the interface thread and returns once it has, or at
    // once when the session is going away; calls from several threads each wait for their own.
    // The interface thread never waits for a worker here. On the interface thread itself `show`
    // runs directly.
    void Show(Display& display);
    // Worker thread, likewise: has `live` add output to the window while the command runs.
    void Live(std::string displayBytes);

    // Interface thread, as the session goes: every wait ends and nothing more is shown.
    void Abandon();
    [[nodiscard]] bool Abandoned() const;

private:
    // Runs `call` on the interface thread unless the session is going; waits for it from
    // elsewhere.
    void Deliver(std::function<void()> call);

    QObject* context_;
    ShowFn show_;
    LiveFn live_;
    mutable std::mutex mutex_;
    std::condition_variable shown_;
    bool abandoned_ = false;
};

} // namespace mireka
