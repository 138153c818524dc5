// The three sizes of a resizable docking bar: their minimums and their persistence in the
// "%s-SCBar-%d" section.
#pragma once

#include <string>
#include <string_view>

namespace mireka {

class SettingsStore;

struct BarSize {
    int cx = 200;
    int cy = 200;

    friend bool operator==(const BarSize&, const BarSize&) = default;
};

inline constexpr BarSize kMinHorzSize{33, 32};
inline constexpr BarSize kMinVertSize{33, 32};
inline constexpr BarSize kMinFloatSize{37, 32};
inline constexpr int kBarEdgeWidth = 5;
inline constexpr int kBarGripperSize = 12;

// The output bar's id and the profile name under which the frame keeps its bar layout.
inline constexpr int kOutputBarId = 124;
inline constexpr std::string_view kBarStateProfile = "BarState";

// `size` with each side raised to at least the matching side of `minimum`.
[[nodiscard]] constexpr BarSize ClampToMinimum(BarSize size, BarSize minimum) noexcept {
    return {size.cx < minimum.cx ? minimum.cx : size.cx,
            size.cy < minimum.cy ? minimum.cy : size.cy};
}

// Sizes for docked at the top or bottom, docked at the left or right, and floating.
struct BarSizes {
    BarSize horz;
    BarSize vert;
    BarSize floating;

    // A creation variant sets all three from one width and height.
    [[nodiscard]] static constexpr BarSizes All(BarSize size) noexcept {
        return {size, size, size};
    }
    // The size a floating bar reports to the layout.
    [[nodiscard]] constexpr BarSize FloatingReported() const noexcept {
        return ClampToMinimum(floating, kMinFloatSize);
    }

    friend bool operator==(const BarSizes&, const BarSizes&) = default;
};

// "%s-SCBar-%d" with the profile name and the bar's id, cut to 255 bytes.
[[nodiscard]] std::string BarSizesSection(std::string_view profile, int barId);

// Reads "sizeHorzCX", "sizeHorzCY", "sizeVertCX", "sizeVertCY", "sizeFloatCX", "sizeFloatCY"
// with the current values as defaults; a stored value below its minimum becomes the minimum.
void LoadBarSizes(const SettingsStore& store, std::string_view profile, int barId, BarSizes& sizes);
// Writes the six entries in that order. False if any write failed.
bool SaveBarSizes(SettingsStore& store, std::string_view profile, int barId, const BarSizes& sizes);

} // namespace mireka
