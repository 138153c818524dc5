// Conversion between the editor's code page 932 bytes and Qt's Unicode text, at the edges only:
// painting, the clipboard, typed and input-method text, file names in messages.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace mireka::cp932 {

// Decodes bytes; a byte sequence the code page does not define becomes U+FFFD.
[[nodiscard]] QString Decode(std::string_view bytes);

// The character shown for one double-byte pair (lead, trail), from a table filled on first use.
[[nodiscard]] char16_t DecodePair(unsigned char lead, unsigned char trail);

// The character shown for one single byte: ASCII, half-width katakana, else U+FFFD.
[[nodiscard]] inline char16_t DecodeSingle(unsigned char b) noexcept {
    if (b < 0x80) return b;
    if (b >= 0xA1 && b <= 0xDF) return static_cast<char16_t>(0xFF61 + (b - 0xA1));
    return 0xFFFD;
}

// Encodes text. Characters that JIS-based converters spell differently from code page 932
// (wave dash, minus sign, double vertical line …) are taken as their code page 932 twins. On a
// character the code page cannot hold, returns false and names it in `bad` and its index in
// `badIndex`; `out` is then unspecified.
[[nodiscard]] bool Encode(const QString& text, std::string& out, QString* bad = nullptr,
                          qsizetype* badIndex = nullptr);

// Appends `text` encoded, each character the code page cannot hold as "?" (output the user
// reads, never text that is edited).
void EncodeReplacing(const QString& text, std::string& out);

// Line ends of outside text (clipboard, input method) as the editor keeps them: CR LF.
[[nodiscard]] QString ToCrLf(const QString& text);
// And back to the LF that other programs expect on the clipboard.
[[nodiscard]] QString ToLf(const QString& text);

} // namespace mireka::cp932
