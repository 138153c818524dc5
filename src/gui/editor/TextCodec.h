// The document's bytes to and from Qt's Unicode text, in the document's encoding: code page 932
// through cp932::, UTF-8 through Qt's own converter.
#pragma once

#include "core/base/Encoding.h"

#include <QString>

#include <string>
#include <string_view>

namespace mireka::codec {

// Decodes bytes; a sequence the encoding does not define becomes U+FFFD.
[[nodiscard]] QString Decode(Encoding enc, std::string_view bytes);

// Encodes text. UTF-8 holds every character; code page 932 refuses one it cannot hold, naming
// it in `bad` and its index in `badIndex` (`out` is then unspecified).
[[nodiscard]] bool Encode(Encoding enc, const QString& text, std::string& out,
                          QString* bad = nullptr, qsizetype* badIndex = nullptr);

} // namespace mireka::codec
