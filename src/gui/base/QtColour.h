// The program's colours (0x00BBGGRR, as the settings store them) and Qt's.
#pragma once

#include "core/app/FrameSettings.h"

#include <QColor>

namespace mireka {

[[nodiscard]] inline QColor ToQColor(Colour c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

[[nodiscard]] inline Colour FromQColor(const QColor& c) {
    return static_cast<Colour>(c.red()) | static_cast<Colour>(c.green()) << 8 |
           static_cast<Colour>(c.blue()) << 16;
}

} // namespace mireka
