// The view-to-worker tie.
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
    std::uint64_t ticket = 0;
    {
        const std::lock_guard lock(mutex_);
        if (abandoned_) return;
        ticket = ++posted_;
    }
    // `call` refers to the caller's arguments, which live until the wait below ends. Abandon
    // runs on the interface thread too, so once it has ended the wait, the call never runs.
    QMetaObject::invokeMethod(
        context_,
        [self = shared_from_this(), call = std::move(call), ticket] {
            if (!self->Abandoned()) call();
            {
                const std::lock_guard lock(self->mutex_);
                if (self->done_ < ticket) self->done_ = ticket;
            }
            self->shown_.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    shown_.wait(lock, [&] { return abandoned_ || done_ >= ticket; });
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
