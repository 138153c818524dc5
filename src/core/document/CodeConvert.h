// Japanese character codes: guessing whether a text is JIS (ISO-2022-JP) or EUC-JP and turning
// either into Shift_JIS in place. The strict UTF-8 check behind the UTF-8 conversion is the
// encodings' own (Encoding.h).
#pragma once

#include "core/base/Encoding.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace mireka {

enum class JapaneseEncoding : std::uint8_t { None = 0, EucJp = 1, ShiftJis = 2, Jis = 4 };

// The first decisive byte decides; pure ASCII, or a text where nothing decides, is None. A
// half-width katakana byte before any decisive byte counts as EUC-JP.
[[nodiscard]] JapaneseEncoding DetectJapaneseEncoding(std::string_view text) noexcept;

// In place; the text never grows. A byte of 0x80 or more takes the next byte as its pair (0x8E:
// half-width katakana; 0x8F is an ordinary first byte); a lone last byte stays as it is.
void EucToShiftJis(std::string& text);

// In place; the text never grows. ESC $ B and ESC $ @ switch to kanji, SI, ESC ( B and ESC ( J
// to ASCII, SO and ESC ( I to katakana; in kanji mode every two bytes form a pair.
void JisToShiftJis(std::string& text);

// The text as the conversion command leaves it: EUC-JP and JIS converted, anything else (None,
// Shift_JIS) unchanged. False when nothing is to change.
bool ConvertJapaneseText(std::string& text);

// The Shift_JIS pair of a JIS X 0208 row and cell (0x21 … 0x7E each), as lead << 8 | trail.
[[nodiscard]] constexpr std::uint16_t JisToShiftJisPair(unsigned j1, unsigned j2) noexcept {
    const unsigned trail = (j1 & 1) ? (j2 < 0x60 ? j2 + 0x1F : j2 + 0x20) : j2 + 0x7E;
    const unsigned lead = ((j1 + 1) >> 1) + (j1 < 0x5F ? 0x70 : 0xB0);
    return static_cast<std::uint16_t>((lead & 0xFF) << 8 | (trail & 0xFF));
}

} // namespace mireka
