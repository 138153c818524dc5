// Loading, saving and deriving the build settings.
#include "core/toolchain/BuildSettings.h"

#include "core/base/Profile.h"
#include "core/toolchain/Toolchain.h"

#include <array>

namespace mireka {

namespace {

struct FlagEntry {
    std::string_view entry;
    bool BuildSettings::*member;
    int def;
};

struct StringEntry {
    std::string_view entry;
    std::string BuildSettings::*member;
    std::string_view def;
};

// The order in which the store is read and written.
constexpr std::array<FlagEntry, 6> kFlags = {{
    {"AutoIndent", &BuildSettings::m_bAutoIndent, 1},
    {"Stress", &BuildSettings::m_bStress, 1},
    {"Pause", &BuildSettings::m_bPause, 1},
    {"16bit", &BuildSettings::m_bPif, 0},
    {"Explain", &BuildSettings::m_bExplain, 1},
    {"FullWidthSpace", &BuildSettings::m_bFullWidthSpace, 1},
}};

constexpr std::string_view kTabWidthEntry = "TabWidth";
constexpr int kDefaultTabWidth = 4;
constexpr std::string_view kGccPathEntry = "GCC Compiler";

constexpr std::array<StringEntry, 11> kStrings = {{
    {"Compiler", &BuildSettings::m_strLccPath, ""},
    {"Option", &BuildSettings::m_strLccOption, ""},
    {"Library", &BuildSettings::m_strLccLibrary, ""},
    {"BCC Compiler", &BuildSettings::m_strBccPath, ""},
    {"BCC Option", &BuildSettings::m_strBccOption, ""},
    {"VCTK Option", &BuildSettings::m_strVctkOption, ""},
    {"CommandLine", &BuildSettings::m_strCommandLine, ""},
    {"Response File", &BuildSettings::m_strResponseFile, ""},
    {kGccPathEntry, &BuildSettings::m_strGccPath, ""},
    {"GCC Option", &BuildSettings::m_strGccOption, kDefaultGccOption},
    {"GCC Library", &BuildSettings::m_strGccLibrary, "-lm"},
}};

bool IsStringStored(std::string_view section, std::string_view entry) {
    const SettingsStore* store = GetProfileStore();
    return store && store->ReadString(section, entry).has_value();
}

std::string JoinPath(std::string dir, std::string_view name, PathStyle style) {
    dir += PreferredSeparator(style);
    dir += name;
    return dir;
}

} // namespace

const std::string& BuildSettings::GetToolchainPath(int kind) const {
    return this->*(ToolchainOf(kind).path);
}

bool BuildSettings::NeedsFirstUseMessage() const {
    for (const ToolchainDescriptor& d : Toolchains())
        if (!(this->*d.path).empty()) return false;
    return true;
}

void ReadStoredBuildSettings(BuildSettings& s) {
    for (const FlagEntry& f : kFlags)
        s.*f.member = GetProfileInt(kSettingsSection, f.entry, f.def) == 1;
    s.m_nTabWidth = GetProfileInt(kSettingsSection, kTabWidthEntry, kDefaultTabWidth);
    for (const StringEntry& e : kStrings)
        s.*e.member = GetProfileString(kSettingsSection, e.entry, e.def);
    s.m_bGccPathStored = IsStringStored(kSettingsSection, kGccPathEntry);
}

void WriteStoredBuildSettings(const BuildSettings& s) {
    for (const FlagEntry& f : kFlags)
        WriteProfileInt(kSettingsSection, f.entry, s.*f.member ? 1 : 0);
    WriteProfileInt(kSettingsSection, kTabWidthEntry, s.m_nTabWidth);
    for (const StringEntry& e : kStrings) {
        if (e.member == &BuildSettings::m_strGccPath && s.m_strGccPath.empty() &&
            !s.m_bGccPathStored)
            continue;
        WriteProfileString(kSettingsSection, e.entry, s.*e.member);
    }
}

std::string DeriveVctkClPath(Environment& env, const PathPredicate& exists, PathStyle style) {
    std::string dir = env.Get("VCToolkitInstallDir").value_or(std::string());
    if (dir.empty()) return {};
    // Character-wise: a trail byte equal to "\\" is not a separator.
    if (FindLastSeparator(dir, style) == dir.size() - 1) dir.pop_back();
    std::string cl = JoinPath(JoinPath(dir, "bin", style), "cl.exe", style);
    if (!exists || !exists(cl)) return {};
    PrependToEnvironmentVariable(env, "INCLUDE", JoinPath(dir, "include", style), style);
    PrependToEnvironmentVariable(env, "LIB", JoinPath(dir, "lib", style), style);
    return cl;
}

std::string DetectGcc(const Environment& env, const PathPredicate& executable, PathStyle style) {
    const std::string path = env.Get("PATH").value_or(std::string());
    std::string found = FindOnPath("gcc", path, executable, style);
    if (found.empty()) found = FindOnPath("cc", path, executable, style);
    return found;
}

bool LoadBuildSettings(BuildSettings& s, Environment& env, const FileProbe& probe,
                       PathStyle style) {
    ReadStoredBuildSettings(s);
    s.m_strVctkClPath = DeriveVctkClPath(env, probe.exists, style);
    if (!s.m_bGccPathStored) s.m_strGccPath = DetectGcc(env, probe.executable, style);
    return s.NeedsFirstUseMessage();
}

} // namespace mireka
