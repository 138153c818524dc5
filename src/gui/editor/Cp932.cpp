// Code page 932 conversion through Qt's ICU-backed "windows-31j" codec.
#include "gui/editor/Cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <memory>

namespace mireka::cp932 {

namespace {

constexpr const char* kCodec = "windows-31j";

char16_t VariantTwin(char16_t c) noexcept {
    switch (c) {
    case 0x301C:
        return 0xFF5E; // WAVE DASH → FULLWIDTH TILDE
    case 0x2016:
        return 0x2225; // DOUBLE VERTICAL LINE → PARALLEL TO
    case 0x2212:
        return 0xFF0D; // MINUS SIGN → FULLWIDTH HYPHEN-MINUS
    case 0x00A2:
        return 0xFFE0; // CENT SIGN
    case 0x00A3:
        return 0xFFE1; // POUND SIGN
    case 0x00AC:
        return 0xFFE2; // NOT SIGN
    case 0x2014:
        return 0x2015; // EM DASH → HORIZONTAL BAR
    default:
        return c;
    }
}

} // namespace

QString Decode(std::string_view bytes) {
    QStringDecoder decoder(kCodec);
    if (!decoder.isValid())
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

char16_t DecodePair(unsigned char lead, unsigned char trail) {
    // 0 marks "not decoded yet"; no pair decodes to U+0000.
    static std::unique_ptr<std::array<char16_t, 65536>> table =
        std::make_unique<std::array<char16_t, 65536>>();
    char16_t& slot = (*table)[static_cast<std::size_t>(lead) << 8 | trail];
    if (slot == 0) {
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        const QString s = Decode(std::string_view(pair, 2));
        slot = s.size() == 1 ? s.at(0).unicode() : char16_t(0xFFFD);
    }
    return slot;
}

bool Encode(const QString& text, std::string& out, QString* bad) {
    QString twin = text;
    for (QChar& ch : twin)
        ch = QChar(VariantTwin(ch.unicode()));
    QStringEncoder encoder(kCodec);
    const QByteArray bytes = encoder.encode(twin);
    if (!encoder.hasError()) {
        out.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        return true;
    }
    if (bad) {
        // Find the first character that fails on its own, to name it in the message.
        for (qsizetype i = 0; i < twin.size(); ++i) {
            const qsizetype n = twin.at(i).isHighSurrogate() && i + 1 < twin.size() ? 2 : 1;
            QStringEncoder one(kCodec);
            const QByteArray probe = one.encode(twin.mid(i, n)); // conversion happens on assignment
            if (one.hasError()) {
                *bad = text.mid(i, n);
                break;
            }
            i += n - 1;
        }
    }
    return false;
}

QString ToCrLf(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            out += u"\r\n";
            if (i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
        } else if (c == u'\n') {
            out += u"\r\n";
        } else if (c != QChar(0)) {
            out += c;
        }
    }
    return out;
}

QString ToLf(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return out;
}

} // namespace mireka::cp932
