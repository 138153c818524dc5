// The tie between a view and its build worker: the worker shows texts on the interface thread
// through it and learns from it that the view is going away.
#pragma once

#include <QObject>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace mireka {

class BuildLink : public std::enable_shared_from_this<BuildLink> {
public:
    using ShowFn = std::function<void(const std::string& text, bool beep)>;

    // `show` runs on the thread of `context`, which must outlive every call of Show (the view
    // waits for its worker before it is destroyed).
    BuildLink(QObject* context, ShowFn show);

    // Worker thread: has `show` run on the interface thread and returns once it has, or at once
    // when the view is going away. The interface thread never waits for the worker here. On the
    // interface thread itself `show` runs directly.
    void Show(const std::string& text, bool beep);

    // Interface thread, as the view goes: every wait ends and nothing more is shown.
    void Abandon();
    [[nodiscard]] bool Abandoned() const;

private:
    QObject* context_;
    ShowFn show_;
    mutable std::mutex mutex_;
    std::condition_variable shown_;
    std::uint64_t posted_ = 0;
    std::uint64_t done_ = 0;
    bool abandoned_ = false;
};

} // namespace mireka
