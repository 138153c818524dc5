// Code page 932 conversion through Qt's ICU-backed "windows-31j" codec.
#include "gui/editor/Cp932.h"

#include "core/base/Dbcs.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <memory>
#include <utility>

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

bool Encodes(QStringView text) {
    QStringEncoder encoder(kCodec);
    const QByteArray bytes = encoder.encode(text); // conversion happens on assignment
    return !encoder.hasError();
}

// A cut that does not split a surrogate pair.
qsizetype CharBoundary(QStringView text, qsizetype at) {
    return at > 0 && at < text.size() && text.at(at - 1).isHighSurrogate() ? at + 1 : at;
}

// The index of the first character the code page cannot hold, for a text that holds one: the
// failing piece is found in one pass, the character in it by halving.
qsizetype FirstUnencodable(QStringView text) {
    constexpr qsizetype kPiece = 65536;
    qsizetype start = 0;
    qsizetype end = text.size();
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype next = CharBoundary(text, std::min(at + kPiece, text.size()));
        if (!Encodes(text.mid(at, next - at))) {
            start = at;
            end = next;
            break;
        }
        at = next;
    }
    // The prefix [start, end) fails, [start, start) does not: halve until one character is left.
    qsizetype good = start;
    while (end - good > 1) {
        qsizetype mid = CharBoundary(text, good + (end - good) / 2);
        if (mid >= end) break;
        if (Encodes(text.mid(start, mid - start)))
            good = mid;
        else
            end = mid;
    }
    return good;
}

} // namespace

// ICU's table for this code page trades the control bytes 1A, 1C and 7F among themselves and
// gives 1A for what it cannot decode; ASCII and the substitutes are therefore handled here, and
// only double-byte pairs go to the codec.
QString Decode(std::string_view bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (dbcs::CharLength(bytes, i) == 2) {
            out += QChar(DecodePair(b, static_cast<unsigned char>(bytes[++i])));
        } else {
            out += QChar(DecodeSingle(b));
        }
    }
    return out;
}

char16_t DecodePair(unsigned char lead, unsigned char trail) {
    // 0 marks "not decoded yet"; no pair decodes to U+0000.
    static std::unique_ptr<std::array<char16_t, 65536>> table =
        std::make_unique<std::array<char16_t, 65536>>();
    char16_t& slot = (*table)[static_cast<std::size_t>(lead) << 8 | trail];
    if (slot == 0) {
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        QStringDecoder decoder(kCodec);
        const QString s = decoder.decode(QByteArrayView(pair, 2));
        const bool one = s.size() == 1 && s.at(0).unicode() >= 0x80 && !decoder.hasError();
        slot = one ? s.at(0).unicode() : char16_t(0xFFFD);
    }
    return slot;
}

bool Encode(const QString& text, std::string& out, QString* bad, qsizetype* badIndex) {
    const auto refuse = [&](qsizetype at) {
        const qsizetype n = at + 1 < text.size() && text.at(at).isHighSurrogate() &&
                                    text.at(at + 1).isLowSurrogate()
                                ? 2
                                : 1;
        if (bad) *bad = text.mid(at, n);
        if (badIndex) *badIndex = at;
        return false;
    };
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size();) {
        if (text.at(i).unicode() < 0x80) {
            bytes += static_cast<char>(text.at(i).unicode());
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && text.at(end).unicode() >= 0x80)
            ++end;
        // Half a surrogate pair is no character; the codec would drop one at the end unsaid.
        for (qsizetype k = i; k < end; ++k) {
            if (text.at(k).isHighSurrogate() && k + 1 < end && text.at(k + 1).isLowSurrogate())
                ++k;
            else if (text.at(k).isSurrogate())
                return refuse(k);
        }
        QString twin = text.mid(i, end - i);
        for (QChar& ch : twin)
            ch = QChar(VariantTwin(ch.unicode()));
        QStringEncoder encoder(kCodec);
        const QByteArray piece = encoder.encode(twin);
        if (encoder.hasError()) return refuse(i + FirstUnencodable(twin));
        // The codec also takes characters it can only approximate (U+F86F as "№"); what does
        // not come back as itself is refused like one it cannot hold.
        // Each character decodes to one, so the first difference is the approximated one.
        const QString back =
            Decode(std::string_view(piece.constData(), static_cast<std::size_t>(piece.size())));
        if (back != twin) {
            const auto at = std::mismatch(twin.begin(), twin.end(), back.begin(), back.end());
            return refuse(i + (at.first - twin.begin()));
        }
        bytes.append(piece.constData(), static_cast<std::size_t>(piece.size()));
        i = end;
    }
    out = std::move(bytes);
    return true;
}

void EncodeReplacing(const QString& text, std::string& out) {
    std::string bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x80) {
            out += static_cast<char>(c.unicode());
            continue;
        }
        const qsizetype n = c.isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        out += Encode(text.mid(i, n), bytes) ? bytes : std::string("?");
        i += n - 1;
    }
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
