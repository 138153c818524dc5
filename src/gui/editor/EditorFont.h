// The default editor font: fixed pitch with Japanese glyphs.
#pragma once

#include <QFont>

namespace mireka {

// A fixed-pitch font that has Japanese glyphs, at `pointSize` points; the system's fixed font
// when none of the known ones is installed.
[[nodiscard]] QFont DefaultEditorFont(int pointSize = 14);

} // namespace mireka
