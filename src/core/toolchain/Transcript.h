// The text a compile or command run shows in the output window, grown step by step on the
// worker thread, and the naming of the capture file that collects the command's output.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mireka {

enum class RunKind { Compile, Command };

inline constexpr std::string_view kCompileStartMarker = "*** コンパイル開始 ***\r\n";
inline constexpr std::string_view kCompileEndMarker = "*** コンパイル終了 ***\r\n";
inline constexpr std::string_view kCommandStartMarker = "*** コマンド開始 ***\r\n";
inline constexpr std::string_view kCommandEndMarker = "*** コマンド終了 ***\r\n";
inline constexpr std::string_view kErrorBlockHeading = "*** 拡張エラー情報 ***\r\n";

// A command that prints without end (a loop in a learner's program) would fill the disk and
// the output window: past this many captured bytes it is ended and the note says so.
inline constexpr std::int64_t kCaptureLimitBytes = 32LL * 1024 * 1024;
inline constexpr std::string_view kCaptureLimitNote =
    "*** 出力が 32 MB を超えたため、コマンドを終了しました ***\r\n";

// The line a run stopped by the user gets before its end marker.
inline constexpr std::string_view kStoppedLine = "*** 中止しました ***\r\n";

// The error text of a failed system call: the heading and the system's message, ending in a
// line break whether or not the message had one.
[[nodiscard]] std::string ErrorBlock(std::string_view systemMessage);

// One run's transcript. A run shows it after Begin, after Started and after Ended; a run whose
// process could not be started shows it after Begin and after Failed.
class Transcript {
public:
    explicit Transcript(RunKind kind) noexcept : kind_(kind) {}

    // A new text: the command line and CR LF. The previous run's text is gone.
    void Begin(std::string_view commandLine);
    void Started();
    // The captured output as it was written, in any number of pieces. NUL bytes are dropped,
    // as the output window cannot hold them; every other byte arrives unchanged.
    void AppendCaptured(std::string_view bytes);
    // The stop line, on a line of its own even when the command's last line was left open.
    void Stopped();
    // The capture was cut at its limit, most likely inside a line: the end marker that follows
    // starts a line of its own.
    void CutOff();
    // The end marker, then the error text (empty when every system call succeeded).
    void Ended(std::string_view errorText = {});
    // The process could not be started: the error text follows the command line.
    void Failed(std::string_view errorText);

    [[nodiscard]] const std::string& Text() const noexcept { return text_; }
    [[nodiscard]] RunKind Kind() const noexcept { return kind_; }

private:
    void EndOpenLine();

    RunKind kind_;
    std::string text_;
};

// How much of `bytes`, captured output on its way to the output window piece by piece, can be
// shown now: everything but a trailing UTF-8 sequence still missing bytes and a trailing CR that
// an LF may yet follow. Bytes that are not UTF-8 never wait.
[[nodiscard]] std::size_t ShowableLength(std::string_view bytes) noexcept;

// Capture files live in the program's writable directory as "mrk", a hexadecimal number and
// ".TMP". The platform picks an unpredictable number and creates the file exclusively.
inline constexpr std::string_view kCaptureFilePrefix = "mrk";
inline constexpr std::string_view kCaptureFileExtension = "TMP";
[[nodiscard]] std::string CaptureFileName(std::uint64_t unique);

} // namespace mireka
