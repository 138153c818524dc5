// Menu texts, check marks and enabling of the build and run commands, from a small snapshot
// of the view's state; the interface applies them whenever it updates its commands.
#pragma once

#include "core/toolchain/BuildSettings.h"
#include "core/toolchain/CommandLine.h"

#include <string>
#include <string_view>

namespace mireka {

struct BuildCommandState {
    int toolchain = kDefaultToolchain; // the frame's selection, not a build's snapshot
    bool ready = true;                 // no compile or command is running
    std::string documentPath;          // empty while the document has no name
    bool debuggerFound = false;        // FindDebugger found the selected kind's debugger
    bool windowsNt = false;            // the platform can run through a PIF
};

struct CommandUi {
    std::string text;
    bool enabled = false;
    bool checked = false;
};

// "&" in a file name doubled, so that a menu shows it instead of taking it for a mnemonic.
[[nodiscard]] std::string EscapeMenuText(std::string_view text);

// 32776: "コンパイル(&C) name\tF7" for a source the selected kind compiles (".c", and ".cpp"
// where the kind takes it), else "コンパイル(&C)\tF7". Enabled when the kind is configured and
// no build runs, except for a named document of another extension.
[[nodiscard]] CommandUi CompileUi(const BuildSettings& s, const BuildCommandState& st,
                                  const ShortPathFn& shortPath = {},
                                  PathStyle style = kNativePathStyle);
// 32806: for a kind with a debug compile that is configured, while no build runs.
[[nodiscard]] CommandUi DebugCompileUi(const BuildSettings& s, const BuildCommandState& st);
// 32813: "コンパイル(&C) name" with the response file's name as stored.
[[nodiscard]] CommandUi ResponseCompileUi(const BuildSettings& s, const BuildCommandState& st,
                                          PathStyle style = kNativePathStyle);
// 32816: always.
[[nodiscard]] CommandUi ChooseResponseFileUi();
// 32779: "実行(&X) program\tF5" while the document has a name, whether or not a build runs.
[[nodiscard]] CommandUi RunUi(const BuildSettings& s, const BuildCommandState& st,
                              const ShortPathFn& shortPath = {},
                              PathStyle style = kNativePathStyle);
// 32814: "実行(&X) program" for the response file.
[[nodiscard]] CommandUi ResponseRunUi(const BuildSettings& s, const BuildCommandState& st,
                                      const ShortPathFn& shortPath = {},
                                      PathStyle style = kNativePathStyle);
// 32797 and 32815.
[[nodiscard]] CommandUi RunWithArgumentsUi(const BuildCommandState& st);
[[nodiscard]] CommandUi ResponseRunWithArgumentsUi(const BuildSettings& s);
// 32805: a named document, a kind with a debugger, configured, no build running; Turbo
// Debugger must also be beside the driver. A missing gdb is reported when the command runs.
[[nodiscard]] CommandUi DebuggerUi(const BuildSettings& s, const BuildCommandState& st);
// 32784: no build running, the kind configured and the document named.
[[nodiscard]] CommandUi RunCommandUi(const BuildSettings& s, const BuildCommandState& st);
// 32787, 32798: always.
[[nodiscard]] CommandUi ShellWindowUi();
[[nodiscard]] CommandUi SwitchToolchainUi();
// 32794: checked while PAUSE is on.
[[nodiscard]] CommandUi PauseUi(const BuildSettings& s);
// 32809: only with LSI C-86 on Windows NT.
[[nodiscard]] CommandUi PifUi(const BuildSettings& s, const BuildCommandState& st);
// 32799: the Borland driver path names BCC32.EXE; the help engine exists only on Windows.
[[nodiscard]] CommandUi BorlandHelpUi(const BuildSettings& s, PathStyle style = kNativePathStyle);
// 32817: the Visual C++ Toolkit was found.
[[nodiscard]] CommandUi VctkSettingsUi(const BuildSettings& s);
// What 32793 shows: with GCC selected and the Japanese pages of the C library installed, the
// C library reference made from them; else, while the LSI C-86 driver path names LCC.EXE, that
// installation's manual.
enum class ManualKind { None, LsiManual, CReference };
[[nodiscard]] ManualKind ChooseManual(const BuildSettings& s, int toolchain,
                                      bool referenceInstalled, PathStyle style = kNativePathStyle);
// 32793: enabled when there is a manual to show.
[[nodiscard]] CommandUi ManualUi(const BuildSettings& s, int toolchain, bool referenceInstalled,
                                 PathStyle style = kNativePathStyle);

// The Borland tool help file: "BIN/BCC32.EXE" in the driver path replaced by
// "HELP/BCB5TOOL.HLP" (without regard to case; the rest keeps its case).
[[nodiscard]] std::string BorlandHelpPath(std::string_view bccPath,
                                          PathStyle style = kNativePathStyle);
// The LSI C-86 manual: "BIN/LCC.EXE" in the driver path replaced by "MAN/LSIC86.MAN", alike;
// empty when the path has no "BIN/LCC.EXE".
[[nodiscard]] std::string LsiManualPath(std::string_view lccPath,
                                        PathStyle style = kNativePathStyle);

} // namespace mireka
