// The bridge between code page 932 and Qt's text on arbitrary input. Decode takes any bytes and
// agrees with decoding one character at a time (a single byte outside ASCII and kana, or a lead
// byte without its trail, is U+FFFD). What it decodes without U+FFFD encodes again, to bytes
// that decode to the same text (the code page has duplicate pairs, so not always to the same
// bytes). Encode of arbitrary UTF-16 either names a character within the text that indeed
// cannot be encoded, or gives bytes that decode to the text with the documented twins (wave
// dash and the like) in place of their originals.
#include "gui/editor/Cp932.h"

#include "core/base/Dbcs.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

char16_t Twin(char16_t c) {
    switch (c) {
    case 0x301C:
        return 0xFF5E;
    case 0x2016:
        return 0x2225;
    case 0x2212:
        return 0xFF0D;
    case 0x00A2:
        return 0xFFE0;
    case 0x00A3:
        return 0xFFE1;
    case 0x00AC:
        return 0xFFE2;
    case 0x2014:
        return 0x2015;
    default:
        return c;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mireka::cp932;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const QString decoded = Decode(bytes);
    QString expect; // character by character, as painting decodes
    for (std::size_t i = 0; i < size; i += mireka::dbcs::CharLength(bytes, i))
        expect += mireka::dbcs::CharLength(bytes, i) == 2 ? DecodePair(data[i], data[i + 1])
                                                          : DecodeSingle(data[i]);
    if (decoded != expect) std::abort();
    std::string again;
    if (!decoded.contains(QChar(0xFFFD))) {
        if (!Encode(decoded, again) || Decode(again) != decoded) std::abort();
    }

    QString text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text += QChar(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    QString bad;
    qsizetype badIndex = -1;
    std::string out;
    if (!Encode(text, out, &bad, &badIndex)) {
        if (badIndex < 0 || badIndex >= text.size() || bad != text.mid(badIndex, bad.size()) ||
            bad.isEmpty() || bad.size() > 2 || Encode(bad, again))
            std::abort();
        return 0;
    }
    QString twins = text;
    for (QChar& c : twins)
        c = QChar(Twin(c.unicode()));
    if (Decode(out) != twins) std::abort();
    return 0;
}
