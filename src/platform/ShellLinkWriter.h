// Writes shortcuts as freedesktop desktop entries and finds the folders they belong in.
#pragma once

#include "core/app/ShellLink.h"

#include <optional>
#include <string>
#include <string_view>

namespace mireka {

// The shortcut file's name in each folder.
inline constexpr std::string_view kShortcutFileName = "Mireka.desktop";

// Writes `link` as a desktop entry at `linkPath`, replacing a file that is there, and makes it
// executable as desktops require of launchers they trust. False when it could not be written.
bool CreateShellLink(const std::string& linkPath, const ShellLink& link);

// The folder of a shortcut kind: "Desktop" is the XDG desktop folder, "Programs" the
// applications folder of the user's data directory. Any other kind ("SendTo") has no folder
// here.
[[nodiscard]] std::optional<std::string> ShellFolderPath(std::string_view kind);

} // namespace mireka
