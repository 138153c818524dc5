// Conversion in the document's encoding.
#include "gui/editor/TextCodec.h"

#include "gui/editor/Cp932.h"

namespace mireka::codec {

QString Decode(Encoding enc, std::string_view bytes) {
    if (enc == Encoding::Cp932) return cp932::Decode(bytes);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

bool Encode(Encoding enc, const QString& text, std::string& out, QString* bad,
            qsizetype* badIndex) {
    if (enc == Encoding::Cp932) return cp932::Encode(text, out, bad, badIndex);
    const QByteArray utf8 = text.toUtf8();
    out.assign(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    return true;
}

} // namespace mireka::codec
