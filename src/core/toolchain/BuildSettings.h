// The build settings of the editor view: every stored value with its default, the load and
// save steps, and the values derived from the environment at start.
#pragma once

#include "core/base/Paths.h"
#include "core/base/Profile.h"
#include "core/toolchain/Environment.h"

#include <string>
#include <string_view>

namespace mireka {

// Shown at every start while no toolchain is configured.
inline constexpr std::string_view kFirstUseMessage =
    "「Mireka」を使用するには、\n"
    "メニューの「ビルド」->「LSI C-86 試食版の設定」、\n"
    "「Borland C++ 5.5 の設定」あるいは、「GCC の設定」から\n"
    "使用するコンパイラの設定を行って下さい。";

// The editor's text is code page 932, and gcc reads UTF-8 unless told: a trail byte 0x5C ("表",
// "ソ") would become an escape inside string literals and Japanese output would be garbled. So
// gcc converts the source, and prints in the console's character set.
#ifdef _WIN32
inline constexpr std::string_view kDefaultGccOption =
    "-Wall -finput-charset=CP932 -fexec-charset=CP932";
#else
inline constexpr std::string_view kDefaultGccOption = "-Wall -finput-charset=CP932";
#endif

// A plain value: the view keeps one, and a build takes a copy when it starts, so that a
// settings dialog changing the view's copy never shows a build a half-changed value.
struct BuildSettings {
    std::string m_strLccPath;      // "Compiler": full path of LCC.EXE
    std::string m_strLccOption;    // "Option": before the source
    std::string m_strLccLibrary;   // "Library": after the source
    std::string m_strBccPath;      // "BCC Compiler": full path of BCC32.EXE
    std::string m_strBccOption;    // "BCC Option"
    std::string m_strVctkClPath;   // not stored: derived from VCToolkitInstallDir at every start
    std::string m_strVctkOption;   // "VCTK Option"
    std::string m_strGccPath;      // "GCC Compiler": full path of gcc, looked up on PATH
    std::string m_strGccOption;    // "GCC Option", kDefaultGccOption when never stored
    std::string m_strGccLibrary;   // "GCC Library": after the source, where the linker wants it
    std::string m_strCommandLine;  // "CommandLine": the last command run
    std::string m_strResponseFile; // "Response File"
    bool m_bPause = true;          // "Pause": wait for a key after the program ends
    bool m_bPif = false;           // "16bit": LSI C-86 programs through a PIF
    // Owned by other parts of the view; loaded and saved in the same steps.
    bool m_bAutoIndent = true;     // "AutoIndent"
    bool m_bStress = true;         // "Stress": syntax colouring
    bool m_bExplain = true;        // "Explain": Japanese explanations under GCC's messages
    bool m_bFullWidthSpace = true; // "FullWidthSpace": a full-width space drawn as a faint box
    int m_nTabWidth = 4;           // "TabWidth"

    // The driver path of a kind: values other than 0, 1 and 3 are the Visual C++ Toolkit.
    [[nodiscard]] const std::string& GetToolchainPath(int kind) const;
    // A kind is configured when its driver path is not empty.
    [[nodiscard]] bool IsConfigured(int kind) const { return !GetToolchainPath(kind).empty(); }
    // True when no kind at all is configured: the first-use message is due.
    [[nodiscard]] bool NeedsFirstUseMessage() const;

    // Whether "GCC Compiler" was found in the store by the last ReadStored; decides both the
    // look-up on PATH and whether an empty path is written back.
    bool m_bGccPathStored = false;
};

// Reads every stored value through the profile functions, in the order the store is read at
// view creation; a missing entry gives its default and a flag is set only by the value 1.
void ReadStoredBuildSettings(BuildSettings& s);

// Writes every stored value back, in order. An empty GCC path that was never stored stays
// unstored, so that a gcc installed later is still found by the look-up.
void WriteStoredBuildSettings(const BuildSettings& s);

// The Visual C++ Toolkit's cl.exe from VCToolkitInstallDir: "<dir>/bin/cl.exe" when it exists,
// in which case "<dir>/include" and "<dir>/lib" are put in front of INCLUDE and LIB. Empty when
// the variable is unset or empty or cl.exe is missing; the environment is then unchanged.
[[nodiscard]] std::string DeriveVctkClPath(Environment& env, const PathPredicate& exists,
                                           PathStyle style = kNativePathStyle);

// `gcc`, else `cc`, on the PATH of `env`; empty when neither is found.
[[nodiscard]] std::string DetectGcc(const Environment& env, const PathPredicate& executable,
                                    PathStyle style = kNativePathStyle);

// Everything done at view creation: read the store, derive the Visual C++ Toolkit path, look
// gcc up when "GCC Compiler" was never stored. Returns true when the first-use message is due.
bool LoadBuildSettings(BuildSettings& s, Environment& env, const FileProbe& probe,
                       PathStyle style = kNativePathStyle);

} // namespace mireka
