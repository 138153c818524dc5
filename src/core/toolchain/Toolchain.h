// The toolchains as data: one descriptor per kind with its names, settings members, command
// formats, message jump rule and switch order. Adding a kind means adding a row.
#pragma once

#include "core/toolchain/BuildSettings.h"

#include <array>
#include <cstddef>
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

// One step of the switch command: go to `to`, but when `onlyIfConfigured`, only if that kind
// is configured; otherwise the next step applies.
struct SwitchStep {
    ToolchainKind to;
    bool onlyIfConfigured;
};

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
    std::array<SwitchStep, 2> next; // the second step is unconditional
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

// The selection after the switch command: Borland goes to the Visual C++ Toolkit when it is
// usable, else LSI C-86; LSI C-86 to GCC when configured, else Borland; GCC to Borland; any
// other value to LSI C-86.
[[nodiscard]] int NextToolchain(int selection, const BuildSettings& s) noexcept;

// True when the store holds a selection ("Settings" / "IsLCC") at all.
[[nodiscard]] bool IsToolchainSelectionStored();

// The selection the view starts with: GCC when the selection was never stored, no LSI C-86
// path is set and a gcc is configured (found on PATH); otherwise the frame's selection.
[[nodiscard]] int InitialToolchain(int frameSelection, bool selectionStored,
                                   const BuildSettings& s) noexcept;

} // namespace mireka
