// The main frame's stored settings: parsing, formatting, reading and writing.
#include "core/app/FrameSettings.h"

#include "core/base/Dbcs.h"
#include "core/base/Profile.h"
#include "core/base/Text.h"

#include <climits>
#include <cstdio>

namespace mireka {
namespace {

constexpr std::string_view kFont = "Font";
constexpr std::string_view kFontFamily = "Font-Family";
constexpr std::string_view kColors = "Colors";
constexpr std::string_view kEditor = "Editor";
constexpr std::string_view kWindowPos = "WindowPos";
constexpr std::string_view kTopMost = "TopMost";
constexpr std::string_view kIsLcc = "IsLCC";

constexpr Colour kColourMask = 0xFFFFFF;

constexpr bool IsDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

constexpr int HexValue(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

void SkipSpace(std::string_view& s) noexcept {
    while (!s.empty() && IsWhiteSpace(s.front()))
        s.remove_prefix(1);
}

// Reads one number at the front of `s` as scanf's %d, %ld and %u do (white space, sign,
// digits) and consumes it. A value outside [lo, hi] fails where C would wrap or be undefined.
bool ScanDecimal(std::string_view& s, long long lo, long long hi, long long& out) noexcept {
    SkipSpace(s);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || !IsDigit(s.front())) return false;
    long long value = 0;
    bool tooBig = false;
    while (!s.empty() && IsDigit(s.front())) {
        // Stop accumulating once far beyond any 32-bit value; the range check then fails.
        if (value < (1LL << 40))
            value = value * 10 + (s.front() - '0');
        else
            tooBig = true;
        s.remove_prefix(1);
    }
    if (negative) value = -value;
    if (tooBig || value < lo || value > hi) return false;
    out = value;
    return true;
}

// One to six hexadecimal digits after optional white space.
bool ScanColour(std::string_view& s, Colour& out) noexcept {
    SkipSpace(s);
    Colour value = 0;
    std::size_t digits = 0;
    while (!s.empty() && HexValue(s.front()) >= 0) {
        if (++digits > 6) return false;
        value = value * 16 + static_cast<Colour>(HexValue(s.front()));
        s.remove_prefix(1);
    }
    if (digits == 0) return false;
    out = value;
    return true;
}

bool ScanComma(std::string_view& s) noexcept {
    if (s.empty() || s.front() != ',') return false;
    s.remove_prefix(1);
    return true;
}

bool OnlySpaceLeft(std::string_view s) noexcept {
    SkipSpace(s);
    return s.empty();
}

// Reads `count` comma-separated colours that must make up the whole value.
bool ScanColours(std::string_view s, Colour* out, int count) noexcept {
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !ScanComma(s)) return false;
        if (!ScanColour(s, out[i])) return false;
    }
    return OnlySpaceLeft(s);
}

struct Range {
    long long lo;
    long long hi;
};

// Reads comma-separated decimal numbers, one per range, that must make up the whole value.
template <std::size_t N>
bool ScanNumbers(std::string_view s, const Range (&ranges)[N], long long (&out)[N]) noexcept {
    for (std::size_t i = 0; i < N; ++i) {
        if (i > 0 && !ScanComma(s)) return false;
        if (!ScanDecimal(s, ranges[i].lo, ranges[i].hi, out[i])) return false;
    }
    return OnlySpaceLeft(s);
}

constexpr Range kLong{INT32_MIN, INT32_MAX};
constexpr Range kByte{0, 255};
constexpr Range kUnsigned{0, UINT32_MAX};

bool IsMinimizedShow(unsigned showCmd) noexcept {
    // SW_SHOWMINIMIZED, SW_MINIMIZE, SW_SHOWMINNOACTIVE, SW_FORCEMINIMIZE
    return showCmd == kShowMinimized || showCmd == 6 || showCmd == 7 || showCmd == 11;
}

std::string ReadString(const SettingsStore& store, std::string_view entry) {
    return store.ReadString(kSettingsSection, entry).value_or(std::string());
}

} // namespace

std::string TruncateFaceName(std::string_view name) {
    name = name.substr(0, name.find('\0'));
    if (name.size() <= kMaxFaceName) return std::string(name);
    std::size_t end = 0;
    while (end < name.size()) {
        std::size_t next = dbcs::NextCharPos(name, end);
        if (next > kMaxFaceName) break;
        end = next;
    }
    return std::string(name.substr(0, end));
}

WindowShowState ShowStateOf(unsigned showCmd) noexcept {
    if (showCmd == kShowMaximized) return WindowShowState::Maximized;
    if (IsMinimizedShow(showCmd)) return WindowShowState::Minimized;
    return WindowShowState::Normal;
}

std::optional<LogFont> ParseFont(std::string_view value) {
    static constexpr Range ranges[13] = {kLong, kLong, kLong, kLong, kLong, kByte, kByte,
                                         kByte, kByte, kByte, kByte, kByte, kByte};
    long long n[13];
    if (!ScanNumbers(value, ranges, n)) return std::nullopt;
    LogFont f;
    f.height = static_cast<std::int32_t>(n[0]);
    f.width = static_cast<std::int32_t>(n[1]);
    f.escapement = static_cast<std::int32_t>(n[2]);
    f.orientation = static_cast<std::int32_t>(n[3]);
    f.weight = static_cast<std::int32_t>(n[4]);
    f.italic = static_cast<std::uint8_t>(n[5]);
    f.underline = static_cast<std::uint8_t>(n[6]);
    f.strikeOut = static_cast<std::uint8_t>(n[7]);
    f.charSet = static_cast<std::uint8_t>(n[8]);
    f.outPrecision = static_cast<std::uint8_t>(n[9]);
    f.clipPrecision = static_cast<std::uint8_t>(n[10]);
    f.quality = static_cast<std::uint8_t>(n[11]);
    f.pitchAndFamily = static_cast<std::uint8_t>(n[12]);
    return f;
}

std::string FormatFont(const LogFont& f) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "%ld,%ld,%ld,%ld,%d,%u,%u,%u,%u,%u,%u,%u,%lu",
                  static_cast<long>(f.height), static_cast<long>(f.width),
                  static_cast<long>(f.escapement), static_cast<long>(f.orientation),
                  static_cast<int>(f.weight), unsigned{f.italic}, unsigned{f.underline},
                  unsigned{f.strikeOut}, unsigned{f.charSet}, unsigned{f.outPrecision},
                  unsigned{f.clipPrecision}, unsigned{f.quality},
                  static_cast<unsigned long>(f.pitchAndFamily));
    return buf;
}

bool ParseColors(std::string_view value, EditorColours& colours) {
    Colour c[3];
    if (!ScanColours(value, c, 3)) return false;
    colours.keyword = c[0];
    colours.comment = c[1];
    colours.string = c[2];
    return true;
}

bool ParseEditorColors(std::string_view value, EditorColours& colours) {
    Colour c[2];
    if (!ScanColours(value, c, 2)) return false;
    colours.text = c[0];
    colours.background = c[1];
    return true;
}

std::string FormatColors(const EditorColours& c) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%06X,%06X,%06X", unsigned{c.keyword & kColourMask},
                  unsigned{c.comment & kColourMask}, unsigned{c.string & kColourMask});
    return buf;
}

std::string FormatEditorColors(const EditorColours& c) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%06X,%06X", unsigned{c.text & kColourMask},
                  unsigned{c.background & kColourMask});
    return buf;
}

std::optional<WindowPlacement> ParseWindowPos(std::string_view value) {
    static constexpr Range ranges[5] = {kUnsigned, kLong, kLong, kLong, kLong};
    long long n[5];
    if (!ScanNumbers(value, ranges, n)) return std::nullopt;
    WindowPlacement p;
    p.showCmd = static_cast<unsigned>(n[0]);
    p.left = static_cast<int>(n[1]);
    p.top = static_cast<int>(n[2]);
    p.right = static_cast<int>(n[3]);
    p.bottom = static_cast<int>(n[4]);
    return p;
}

std::string FormatWindowPos(const WindowPlacement& p) {
    unsigned showCmd = IsMinimizedShow(p.showCmd) ? kShowNormal : p.showCmd;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%u,%d,%d,%d,%d", showCmd, p.left, p.top, p.right, p.bottom);
    return buf;
}

std::optional<LogFont> ReadFontSetting(const SettingsStore& store) {
    std::string value = ReadString(store, kFont);
    if (value.empty()) return std::nullopt;
    std::optional<LogFont> font = ParseFont(value);
    if (font) font->faceName = TruncateFaceName(ReadString(store, kFontFamily));
    return font;
}

void ReadColourSettings(const SettingsStore& store, EditorColours& colours) {
    ParseColors(ReadString(store, kColors), colours);
    ParseEditorColors(ReadString(store, kEditor), colours);
}

std::optional<WindowPlacement> ReadWindowPosSetting(const SettingsStore& store) {
    return ParseWindowPos(ReadString(store, kWindowPos));
}

bool ReadTopMostSetting(const SettingsStore& store) {
    return TopMostFromSetting(store.ReadInt(kSettingsSection, kTopMost).value_or(0));
}

int ReadToolchainSetting(const SettingsStore& store) {
    return store.ReadInt(kSettingsSection, kIsLcc).value_or(kDefaultToolchain);
}

FrameSettings LoadFrameSettings(const SettingsStore& store) {
    FrameSettings s;
    s.font = ReadFontSetting(store);
    ReadColourSettings(store, s.colours);
    s.windowPos = ReadWindowPosSetting(store);
    s.topMost = ReadTopMostSetting(store);
    s.toolchain = ReadToolchainSetting(store);
    return s;
}

bool SaveCloseSettings(SettingsStore& store, bool topMost, int toolchain) {
    bool ok = store.WriteInt(kSettingsSection, kTopMost, TopMostSetting(topMost));
    ok = store.WriteInt(kSettingsSection, kIsLcc, toolchain) && ok;
    return ok;
}

bool SaveDestroySettings(SettingsStore& store, const FrameSettings& s) {
    bool ok = true;
    if (s.font) {
        ok = store.WriteString(kSettingsSection, kFont, FormatFont(*s.font)) && ok;
        ok = store.WriteString(kSettingsSection, kFontFamily, s.font->faceName) && ok;
    }
    ok = store.WriteString(kSettingsSection, kColors, FormatColors(s.colours)) && ok;
    ok = store.WriteString(kSettingsSection, kEditor, FormatEditorColors(s.colours)) && ok;
    if (s.windowPos)
        ok = store.WriteString(kSettingsSection, kWindowPos, FormatWindowPos(*s.windowPos)) && ok;
    return ok;
}

} // namespace mireka
