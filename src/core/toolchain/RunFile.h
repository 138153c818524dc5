// Running the built program: its name and folder, the run file it is started through, and
// the test that sends Windows GUI programs to the shell instead.
#pragma once

#include "core/base/FileReader.h"
#include "core/base/Paths.h"
#include "core/toolchain/CommandLine.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mireka {

// The run file, written anew in the program's writable directory by every console run: a
// shell script on POSIX, a batch file on Windows.
[[nodiscard]] std::string_view RunFileName(PathStyle style = kNativePathStyle);
// Every file the view deletes from that directory when it is destroyed.
[[nodiscard]] std::vector<std::string_view> RunFileNames(PathStyle style = kNativePathStyle);

// What a run of the program built from `path` (a source or a response file) needs.
struct RunTarget {
    std::string directory;   // the folder of `path`, ending in a separator: the run happens there
    std::string programName; // the program's file name
    std::string programPath; // directory and name, for the GUI-program test
};

// For LSI C-86 the short form of `path` is used where one exists.
[[nodiscard]] RunTarget MakeRunTarget(int toolchain, std::string_view path,
                                      const ShortPathFn& shortPath = {},
                                      PathStyle style = kNativePathStyle);

// The run file's text. The program's line carries the arguments when the argument dialog gave
// some (an empty text still adds the space), and PAUSE follows when `pause` is set.
// Windows: the batch lines with CR LF, the name quoted except for LSI C-86 (whose short name
// needs no quotes; a name that does need them gets them all the same).
// POSIX: "#!/bin/sh", a "cd" to the program's folder (a terminal may start anywhere),
// "./name" and a prompt that waits for one key; LF line ends, as a shell script needs.
// Nothing when a name cannot be written safely (a control character or a quote on Windows).
[[nodiscard]] std::optional<std::string> RunFileContent(int toolchain, const RunTarget& target,
                                                        const std::optional<std::string>& arguments,
                                                        bool pause,
                                                        PathStyle style = kNativePathStyle);

// Starting the written run file in a window of its own, in the program's folder: POSIX runs
// "/bin/sh" on the script in a terminal; Windows starts the batch file in a new console.
[[nodiscard]] LaunchCommand MakeRunFileLaunch(const std::string& runFilePath,
                                              const RunTarget& target,
                                              PathStyle style = kNativePathStyle);

// The line a POSIX run file ends with when PAUSE is on.
inline constexpr std::string_view kPosixPauseLine =
    "printf '%s' '続行するには何かキーを押してください . . . '; "
    "s=$(stty -g 2>/dev/null); stty -icanon -echo min 1 time 0 2>/dev/null; "
    "dd bs=1 count=1 >/dev/null 2>&1; [ -n \"$s\" ] && stty \"$s\" 2>/dev/null; echo\n";

// True exactly when the bytes are a PE image whose optional header names the Windows GUI
// subsystem. `image` holds the file from its start; anything too short is not one.
[[nodiscard]] bool IsWindowsGuiExecutable(std::span<const unsigned char> image) noexcept;
// The same for a file; one that cannot be read is not one.
[[nodiscard]] bool IsWindowsGuiExecutableFile(const std::string& path, const ReadFilePart& read);

} // namespace mireka
