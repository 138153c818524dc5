// The main frame's stored settings: the exact text forms of its font, colours, placement and
// always-on-top flag, and their reading and writing in the "Settings" section.
#pragma once

#include "core/base/Colour.h"
#include "core/base/Profile.h"
#include "core/toolchain/Toolchain.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mireka {

// The fields of a logical font in their stored order. The eight byte-sized fields hold 0 … 255.
struct LogFont {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    std::string faceName; // as read: at most kMaxFaceName bytes, no half character

    friend bool operator==(const LogFont&, const LogFont&) = default;
};

// The face-name field holds 31 bytes and a terminator.
inline constexpr std::size_t kMaxFaceName = 31;

// `name` cut to kMaxFaceName bytes (code page 932 aware) and at its first NUL.
[[nodiscard]] std::string TruncateFaceName(std::string_view name);

// Show commands as the placement stores them.
inline constexpr unsigned kShowHide = 0;
inline constexpr unsigned kShowNormal = 1;
inline constexpr unsigned kShowMinimized = 2;
inline constexpr unsigned kShowMaximized = 3;

enum class WindowShowState : std::uint8_t { Normal, Minimized, Maximized };

// Show command and restored (normal) rectangle of the frame. No check that it lies on a screen.
struct WindowPlacement {
    unsigned showCmd = kShowNormal;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

// How a stored show command is shown. Hiding the only window would leave the user nothing to
// click, so the hiding command (and any unknown one) shows the window normally.
[[nodiscard]] WindowShowState ShowStateOf(unsigned showCmd) noexcept;

// "Font": "%ld,%ld,%ld,%ld,%d,%d,%d,%d,%d,%d,%d,%d,%ld". Exactly 13 numbers, each with optional
// leading white space and sign, separated by bare commas; trailing white space is allowed, any
// other trailing text (a 14th number included) rejects the value. The first five must fit 32
// bits and the byte-sized eight 0 … 255. The face name is left empty.
[[nodiscard]] std::optional<LogFont> ParseFont(std::string_view value);
// The byte-sized fields are written as unsigned numbers.
[[nodiscard]] std::string FormatFont(const LogFont& font);

// "Colors": "%06X,%06X,%06X" (keyword, comment, string) and "Editor": "%06X,%06X" (text,
// background). Each number is optional leading white space and one to six hexadecimal digits of
// either case (no sign, no "0x"); anything but white space after the last one rejects the value.
// Reading leaves `colours` untouched unless the whole value parses.
bool ParseColors(std::string_view value, EditorColours& colours);
bool ParseEditorColors(std::string_view value, EditorColours& colours);
// Six upper-case hexadecimal digits per colour; bits above the 24 colour bits are dropped.
[[nodiscard]] std::string FormatColors(const EditorColours& colours);
[[nodiscard]] std::string FormatEditorColors(const EditorColours& colours);

// "WindowPos": "%u,%d,%d,%d,%d", the show command and left, top, right, bottom of the normal
// rectangle; exactly five numbers under the same rules as "Font".
[[nodiscard]] std::optional<WindowPlacement> ParseWindowPos(std::string_view value);
// A minimised window is written with show command 1, so it comes back normal.
[[nodiscard]] std::string FormatWindowPos(const WindowPlacement& placement);

// "TopMost": any non-zero value is on; written as the topmost style bit, 8, or 0.
[[nodiscard]] constexpr bool TopMostFromSetting(int value) noexcept {
    return value != 0;
}
[[nodiscard]] constexpr int TopMostSetting(bool on) noexcept {
    return on ? 8 : 0;
}

// Everything the frame keeps in "Settings".
struct FrameSettings {
    std::optional<LogFont> font; // none: the fallback fixed-pitch font
    EditorColours colours;
    std::optional<WindowPlacement> windowPos; // none: keep the placement the window has
    bool topMost = false;
    int toolchain = kDefaultToolchain; // `m_nToolchain` as stored, not mapped
};

// "Font" with "Font-Family" as face name; none when "Font" is empty or does not parse.
[[nodiscard]] std::optional<LogFont> ReadFontSetting(const SettingsStore& store);
// "Colors", then "Editor"; each keeps the values in `colours` unless its whole value parses.
void ReadColourSettings(const SettingsStore& store, EditorColours& colours);
[[nodiscard]] std::optional<WindowPlacement> ReadWindowPosSetting(const SettingsStore& store);
[[nodiscard]] bool ReadTopMostSetting(const SettingsStore& store);
[[nodiscard]] int ReadToolchainSetting(const SettingsStore& store);

// All of the above, with the first-start values for whatever is missing or unparsable.
[[nodiscard]] FrameSettings LoadFrameSettings(const SettingsStore& store);

// The close request's writes: "TopMost", then "IsLCC". They stand even if closing is cancelled.
bool SaveCloseSettings(SettingsStore& store, bool topMost, int toolchain);
// The destroy message's writes: "Font" and "Font-Family", "Colors", "Editor", "WindowPos", in
// this order. A missing font or placement is not written. False if any write failed.
bool SaveDestroySettings(SettingsStore& store, const FrameSettings& settings);

} // namespace mireka
