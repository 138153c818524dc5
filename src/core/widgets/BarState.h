// The bar list saved beside the frame's docking layout, and the check that keeps a layout which
// names bars the program no longer has from being restored.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mireka {

// The section and entries of the saved layout under the profile name "BarState".
inline constexpr std::string_view kBarStateSummarySection = "BarState-Summary";
inline constexpr std::string_view kBarStateBarsEntry = "Bars";    // "59392,124"
inline constexpr std::string_view kBarStateLayoutEntry = "State"; // the toolkit's layout, hex

// The bar ids of a "Bars" value: decimal numbers separated by commas, white space around each
// allowed. None when the value is empty or anything else is in it.
[[nodiscard]] std::optional<std::vector<long long>> ParseBarIds(std::string_view value);
[[nodiscard]] std::string FormatBarIds(std::span<const int> ids);

// Every id a saved layout lists must name an existing bar: 0 separates rows and is skipped, an
// id above 65535 is a placeholder whose low 16 bits are the bar's id. One miss rejects the
// whole layout.
[[nodiscard]] bool SavedBarsExist(std::span<const long long> saved,
                                  std::span<const int> existing) noexcept;

// True when `hex` is an even number of hexadecimal digits (the layout as stored).
[[nodiscard]] bool IsHexText(std::string_view hex) noexcept;

} // namespace mireka
