// Finding the frame above a widget.
#include "gui/base/FrameServices.h"

#include <QWidget>

namespace mireka {

FrameServices* FrameOf(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (auto* frame = dynamic_cast<FrameServices*>(const_cast<QWidget*>(w))) return frame;
    return nullptr;
}

} // namespace mireka
