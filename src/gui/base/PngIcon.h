// Icons from the PNG sizes rendered at build time, named "<base>-<size>.png".
#pragma once

#include <QIcon>
#include <QString>

#include <initializer_list>

namespace mireka {

inline QIcon PngIcon(const QString& base, std::initializer_list<int> sizes) {
    QIcon icon;
    for (int px : sizes)
        icon.addFile(QStringLiteral("%1-%2.png").arg(base).arg(px), QSize(px, px));
    return icon;
}

} // namespace mireka
