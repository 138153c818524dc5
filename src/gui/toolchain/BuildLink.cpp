// The view-to-worker tie.
#include "gui/toolchain/BuildLink.h"

#include <QMetaObject>
#include <QThread>

namespace mireka {

BuildLink::BuildLink(QObject* context, ShowFn show) : context_(context), show_(std::move(show)) {}

void BuildLink::Show(const std::string& text, bool beep) {
    if (QThread::currentThread() == context_->thread()) {
        if (!Abandoned()) show_(text, beep);
        return;
    }
    std::uint64_t ticket = 0;
    {
        const std::lock_guard lock(mutex_);
        if (abandoned_) return;
        ticket = ++posted_;
    }
    QMetaObject::invokeMethod(
        context_,
        [self = shared_from_this(), text, beep, ticket] {
            if (!self->Abandoned()) self->show_(text, beep);
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
