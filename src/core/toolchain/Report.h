// The environment report for support requests: one text with CR LF line ends, built from
// plain facts that the platform gathers.
#pragma once

#include "core/base/FileReader.h"
#include "core/toolchain/BuildSettings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mireka {

// The operating system as the report names it.
struct OsFacts {
    enum class Platform { Win32s, Windows9x, WindowsNt, Posix, Unknown };
    Platform platform = Platform::Unknown;
    // Windows
    unsigned long major = 0, minor = 0, build = 0;
    std::string servicePack;
    // POSIX: what uname says
    std::string sysname, release, machine;
};

struct ReportFacts {
    std::string appPath;
    std::array<int, 4> version{};
    OsFacts os;
    std::uint64_t physicalMemory = 0; // bytes
    std::string interpreter;
    int toolchain = 0; // the frame's selection
    BuildSettings settings;
    std::string vctkInstallDir; // empty when unset
    // The lines of the toolchains' configuration files, when they exist and could be read.
    std::optional<std::vector<std::string>> lccConfig, bccConfig, ilinkConfig;
    std::string gccVersion; // the first line of `gcc --version`; empty when it did not answer
};

// "1.2" gives 1, 2, 0, 0; a part that is not a number counts 0, parts past four are ignored.
[[nodiscard]] std::array<int, 4> ParseVersion(std::string_view version) noexcept;

// The first line of a text, without its line end.
[[nodiscard]] std::string FirstLine(std::string_view text);

// The report, row by row. The OS line is left out for an unknown platform; each configuration
// file's section only when its lines are there.
[[nodiscard]] std::string BuildReportText(const ReportFacts& f);

// A configuration file read for the report: at most `limit` bytes (a file may be anything),
// split at LF with a CR before it dropped, NUL bytes left out. Nothing when the path is empty
// or names no readable regular file.
inline constexpr std::size_t kReportFileLimit = 64 * 1024;
[[nodiscard]] std::optional<std::vector<std::string>>
ReadReportFileLines(const std::string& path, const ReadFilePart& read,
                    std::size_t limit = kReportFileLimit);

// The three configuration files beside the drivers: _LCC beside LCC.EXE, bcc32.cfg and
// ilink32.cfg beside BCC32.EXE; a driver path that is empty gives none.
void ReadConfigFiles(ReportFacts& f, const ReadFilePart& read, PathStyle style = kNativePathStyle);

} // namespace mireka
