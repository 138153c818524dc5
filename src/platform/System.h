// The small things that differ between the systems, for the platform layer's own use: each has
// one source per system, posix/System.cpp and win32/System.cpp.
#pragma once

#include "core/toolchain/Report.h"

#include <QProcess>
#include <QSettings>
#include <QString>

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace mireka::sys {

// The system's name and version, for the report.
[[nodiscard]] OsFacts CurrentOs();
[[nodiscard]] std::uint64_t PhysicalMemory();

// Each variable of the process's environment, as bytes where the system has them.
void ForEachEnvironmentVariable(const std::function<void(std::string name, std::string value)>& f);

// The process gets a process group of its own, so that ending the group ends whatever a
// wrapper script started; KillProcessGroup ends that group at once.
void StartInOwnProcessGroup(QProcess& process);
void KillProcessGroup(qint64 pid);
// Asks the group to end, giving its members the chance to clean up.
void TerminateProcessGroup(qint64 pid);
// True when nothing of the group runs any more; where groups are not made, always.
[[nodiscard]] bool ProcessGroupEnded(qint64 pid);

// A started program's arguments: each as it is, or on Windows the command line's own
// `parameters` text, with a console of its own when `newConsole`.
void SetLaunchArguments(QProcess& process, const std::vector<std::string>& arguments,
                        const std::string& parameters, bool newConsole);
// Calculator programs, in the order they are looked for.
[[nodiscard]] std::span<const char* const> CalculatorNames();

// Where the system keeps its manual pages; empty where it has none.
[[nodiscard]] QString SystemManualRoot();
// How the settings are stored: the registry on Windows, an INI file elsewhere.
[[nodiscard]] QSettings::Format SettingsFormat();

} // namespace mireka::sys
