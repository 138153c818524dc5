// Runs a compile or a command through the command interpreter with everything it prints
// captured in a file, and grows the transcript the output window shows.
#pragma once

#include "core/toolchain/CommandLine.h"
#include "core/toolchain/Transcript.h"

#include <QProcessEnvironment>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace mireka {

// Creates a capture file in `dir`: "mrk", an unpredictable hexadecimal number and ".TMP", made
// exclusively so that no existing file or link is ever used. Its path, or nothing with the
// system's reason in `error`.
[[nodiscard]] std::optional<std::string> CreateCaptureFile(const std::string& dir,
                                                           std::string* error);

struct CaptureCallbacks {
    // Shows the whole transcript so far; `beep` asks for the system sound first.
    std::function<void(const std::string& text, bool beep)> show;
    // The bytes the transcript gained while the command runs, a few times a second at most,
    // between the start display and the end display. May be left empty.
    std::function<void(std::string_view captured)> live;
    // Asked while the command runs: true ends it (politely, then by force) and the run, with
    // nothing more shown.
    std::function<bool()> abandoned;
    // Asked while the command runs: true ends it the same way; what it printed is shown,
    // followed by the stop line and the end marker.
    std::function<bool()> stop;
    // Turns captured bytes into what the transcript shows (explanations put under messages);
    // given every byte in order, in pieces of any size. Left empty, bytes go in unchanged.
    std::function<std::string(std::string_view captured)> filter;
    // Captured bytes past which the command is ended; the transcript keeps this many.
    std::int64_t limit = kCaptureLimitBytes;
};

enum class CaptureResult {
    Finished,   // the command ran to its end
    NotStarted, // no capture file, or the interpreter could not be started
    Abandoned,  // ended early because the run was no longer wanted
    Stopped,    // ended early because the user asked
};

// One capture run, on the calling thread: the command line is shown; the interpreter runs
// `command.command` as one argument after its switch, in `command.directory` (the current one
// when empty), with `env`, no window, the null device as standard input, and standard output
// and error together in a capture file in `captureDir`; the start marker is shown; the run
// waits for the end, handing on what the command prints as it comes; the captured bytes follow,
// then the end marker, any error text and the command's note. A failure shows the error block and
// the note instead. A command that prints past the limit is ended, with everything it started, and
// the limit note follows the end marker. The capture file is gone when this returns.
CaptureResult RunCaptured(RunKind kind, const BuildCommand& command,
                          const CommandInterpreter& shell, const QProcessEnvironment& env,
                          const std::string& captureDir, const CaptureCallbacks& callbacks);

} // namespace mireka
