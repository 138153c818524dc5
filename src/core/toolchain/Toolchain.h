// The toolchains as data: one descriptor per kind with its names, settings members, command
// formats, message jump rule and switch order. Adding a kind means adding a row.
#pragma once

#include "core/toolchain/BuildSettings.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace mireka {

// The stored selection ("IsLCC") is a plain integer and may hold any value; KindOf maps it.
enum class ToolchainKind : int { Borland = 0, LsiC86 = 1, VcToolkit = 2, Gcc = 3 };

// The kind a selection means: a value that no descriptor has is the Visual C++ Toolkit.
inline constexpr ToolchainKind kFallbackToolchain = ToolchainKind::VcToolkit;
[[nodiscard]] ToolchainKind KindOf(int selection) noexcept;

inline constexpr int kDefaultToolchain = 1;
inline constexpr std::string_view kToolchainEntry = "IsLCC";
inline constexpr std::string_view kSwitchToolchainPrompt =
    "コンパイラ（LSIC86/BCC55/VCTK/GCC）の切り替え";

// What fills one %s of a command format.
enum class CommandSlot {
    Driver,  // the file-name part of the driver path
    Options, // the kind's options, verbatim (for a debug compile with the debug flag)
    Input,   // the source or response file name
    Library, // the kind's library arguments, verbatim
    Output,  // the program's name
};

// A printf-style format whose every %s is filled from the slot of the same position. Options
// and libraries go in verbatim; file names are quoted when the interpreter needs it.
struct CommandFormat {
    std::string_view format;
    std::array<CommandSlot, 6> fills{}; // not "slots", which Qt code sees as a macro
    std::size_t slotCount = 0;
};

// How the output window finds a line number in a compiler message.
struct JumpRule {
    enum class Style {
        // The number follows the last `start` before the first `end`.
        Separators,
        // The first run of digits directly between two ":".
        ColonDigitsColon,
    };
    Style style = Style::Separators;
    char end = ':';
    char start = ' ';
};

// Where the debugger of a kind is found.
enum class DebuggerPlace { None, BesideDriver, OnPath };

struct ToolchainDescriptor {
    ToolchainKind kind;
    std::string_view indicator; // status-bar pane text
    std::string_view title;     // the product's name
    std::string_view driver;    // the driver's file name
    std::string BuildSettings::*path;
    std::string BuildSettings::*option;
    std::string BuildSettings::*library; // null when the kind takes no library arguments
    CommandFormat normal;
    CommandFormat response;
    // Put after the options for a source-level-debug compile; empty when that compile does not
    // apply to the kind.
    std::string_view debugFlag;
    std::string_view debugger; // the debugger's file name
    DebuggerPlace debuggerPlace;
    bool shortInputPath;    // the input is given in its short (8.3) form where one exists
    bool acceptsCpp;        // ".cpp" sources compile too, not only ".c"
    bool quoteProgramName;  // the run file quotes the program name
    bool nativeProgramName; // the program has the host's executable name (no ".exe" on POSIX)
    JumpRule jump;
    ToolchainKind next; // where the switch command goes when every kind can be used
};

// Every kind, in the order of their values.
[[nodiscard]] std::span<const ToolchainDescriptor> Toolchains() noexcept;
[[nodiscard]] const ToolchainDescriptor& Toolchain(ToolchainKind kind) noexcept;
[[nodiscard]] inline const ToolchainDescriptor& ToolchainOf(int selection) noexcept {
    return Toolchain(KindOf(selection));
}

// The status pane text for a selection.
[[nodiscard]] inline std::string_view ToolchainIndicator(int selection) noexcept {
    return ToolchainOf(selection).indicator;
}

// What is known of a kind on this system.
struct ToolchainFacts {
    bool configured = false;        // its driver path is set
    bool dosOrWindowsImage = false; // the driver is an MS-DOS or Windows program
};
// A kind can be used when it is configured and its driver can run here: an MS-DOS or Windows
// driver only on Windows. A driver that is not such an image (a native one, or a script that
// starts an emulator) is taken to run.
[[nodiscard]] bool IsToolchainUsable(const ToolchainFacts& facts,
                                     bool windowsHost = kNativePathStyle ==
                                                        PathStyle::Windows) noexcept;

// The selection after the switch command: the first kind after the selection's in the switch
// order (Borland, the Visual C++ Toolkit, LSI C-86, GCC, and round again) that can be used;
// nothing when no other kind can.
[[nodiscard]] std::optional<int> NextToolchain(int selection,
                                               const std::function<bool(ToolchainKind)>& usable);
inline constexpr std::string_view kNoOtherToolchainMessage =
    "切り替えられるコンパイラがありません。";

// True when the store holds a selection ("Settings" / "IsLCC") at all.
[[nodiscard]] bool IsToolchainSelectionStored();

// The selection the view starts with: GCC when the selection was never stored, no LSI C-86
// path is set and a gcc is configured (found on PATH); otherwise the frame's selection.
[[nodiscard]] int InitialToolchain(int frameSelection, bool selectionStored,
                                   const BuildSettings& s) noexcept;

} // namespace mireka
