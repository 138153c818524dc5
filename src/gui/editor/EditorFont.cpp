// The default editor font.
#include "gui/editor/EditorFont.h"

#include <QFontDatabase>
#include <QStringList>

namespace mireka {

QFont DefaultEditorFont(int pointSize) {
    static const QStringList preferred = {
        QStringLiteral("Noto Sans Mono CJK JP"),
        QStringLiteral("Source Han Code JP"),
        QStringLiteral("MS Gothic"),
        QStringLiteral("ＭＳ ゴシック"),
        QStringLiteral("VL Gothic"),
        QStringLiteral("IPAGothic"),
        QStringLiteral("TakaoGothic"),
        QStringLiteral("Noto Sans Mono"),
    };
    const QStringList families = QFontDatabase::families();
    for (const QString& name : preferred) {
        if (families.contains(name)) {
            QFont font(name, pointSize);
            font.setStyleHint(QFont::TypeWriter);
            return font;
        }
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(pointSize);
    return font;
}

} // namespace mireka
