// The switches that answer on the terminal instead of starting the window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mireka {

enum class StartAction { Run, Help, Version };

// What the command line's words after the program's name ask for: the first of "--help"/"-h"
// or "--version"/"-v" decides; anything else (a file to open) starts the program as usual.
[[nodiscard]] StartAction ReadStartSwitches(const std::vector<std::string>& words);

// The texts printed for them, ending in a line break.
[[nodiscard]] std::string HelpText(std::string_view program);
[[nodiscard]] std::string VersionText(std::string_view version);

} // namespace mireka
