// The session's hand-over to the interface thread.
#include "gui/toolchain/BuildLink.h"

#include <QMetaObject>
#include <QThread>

namespace mireka {

BuildLink::BuildLink(QObject* context, ShowFn show, LiveFn live)
    : context_(context), show_(std::move(show)), live_(std::move(live)) {}

void BuildLink::Show(Display& display) {
    Deliver([this, &display] { show_(display); });
}

void BuildLink::Live(std::string displayBytes) {
    if (live_) Deliver([this, &displayBytes] { live_(displayBytes); });
}

void BuildLink::Deliver(std::function<void()> call) {
    if (QThread::currentThread() == context_->thread()) {
        if (!Abandoned()) call();
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        if (abandoned_) return;
    }
    // One flag per call, so that no caller takes another's call for its own; shared with the
    // posted call, which may still run after an abandoned wait has ended.
    auto done = std::make_shared<bool>(false); // guarded by mutex_
    // `call` refers to the caller's arguments, which live until the wait below ends. Abandon
    // runs on the interface thread too, so once it has ended the wait, the call never runs.
    QMetaObject::invokeMethod(
        context_,
        [self = shared_from_this(), call = std::move(call), done] {
            if (!self->Abandoned()) call();
            {
                const std::lock_guard lock(self->mutex_);
                *done = true;
            }
            self->shown_.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    shown_.wait(lock, [&] { return abandoned_ || *done; });
}

void BuildLink::Abandon() {
    {
        const std::lock_guard lock(mutex_);
        abandoned_ = true;
    }
    shown_.notify_all();
}

bool BuildLink::Abandoned() const {
    const std::lock_guard lock(mutex_);
    return abandoned_;
}

} // namespace mireka
