// Loading, saving and deriving the build settings.
#include "core/toolchain/BuildSettings.h"
#include "core/base/MemorySettingsStore.h"
#include "core/base/Profile.h"
#include "core/toolchain/Toolchain.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace mireka {
namespace {

// The real value, not the constant: a change to the default must be deliberate.
#ifdef _WIN32
constexpr std::string_view kExpectedGccOption = "-Wall -finput-charset=CP932 -fexec-charset=CP932";
#else
constexpr std::string_view kExpectedGccOption = "-Wall -finput-charset=CP932";
#endif

constexpr auto W = PathStyle::Windows;
constexpr auto P = PathStyle::Posix;

// Forwards to a memory store and notes the entries read and written, in order.
class RecordingStore final : public SettingsStore {
public:
    std::optional<int> ReadInt(std::string_view section, std::string_view entry) const override {
        reads.push_back(std::string(entry));
        return inner.ReadInt(section, entry);
    }
    std::optional<std::string> ReadString(std::string_view section,
                                          std::string_view entry) const override {
        reads.push_back(std::string(entry));
        return inner.ReadString(section, entry);
    }
    bool WriteInt(std::string_view section, std::string_view entry, int value) override {
        writes.push_back(std::string(entry));
        return inner.WriteInt(section, entry, value);
    }
    bool WriteString(std::string_view section, std::string_view entry,
                     std::string_view value) override {
        writes.push_back(std::string(entry));
        return inner.WriteString(section, entry, value);
    }
    bool DeleteEntry(std::string_view section, std::string_view entry) override {
        return inner.DeleteEntry(section, entry);
    }
    bool DeleteSection(std::string_view section) override { return inner.DeleteSection(section); }

    MemorySettingsStore inner;
    mutable std::vector<std::string> reads;
    std::vector<std::string> writes;
};

// A file system of a few names.
PathPredicate Files(std::set<std::string> names) {
    return [names = std::move(names)](const std::string& p) { return names.count(p) > 0; };
}

FileProbe Probe(std::set<std::string> files) {
    FileProbe probe;
    probe.exists = Files(files);
    probe.executable = Files(std::move(files));
    return probe;
}

TEST(BuildSettings, FreshInstallationHasTheDefaultsAndAsksForAToolchain) {
    MemorySettingsStore store;
    ScopedProfileStore scope(&store);
    MemoryEnvironment env{{"PATH", "/usr/local/bin:/usr/bin"}};
    BuildSettings s;
    EXPECT_TRUE(LoadBuildSettings(s, env, Probe({}), P));
    EXPECT_TRUE(s.m_bPause);
    EXPECT_FALSE(s.m_bPif);
    EXPECT_TRUE(s.m_bAutoIndent);
    EXPECT_TRUE(s.m_bStress);
    EXPECT_EQ(s.m_nTabWidth, 4);
    EXPECT_EQ(s.m_strLccPath, "");
    EXPECT_EQ(s.m_strBccOption, "");
    EXPECT_EQ(s.m_strVctkClPath, "");
    EXPECT_EQ(s.m_strGccPath, "");
    EXPECT_EQ(s.m_strGccOption, kExpectedGccOption);
    EXPECT_EQ(s.m_strGccLibrary, "-lm");
    EXPECT_EQ(s.m_strCommandLine, "");
    EXPECT_EQ(s.m_strResponseFile, "");
    EXPECT_TRUE(s.NeedsFirstUseMessage());
    // The message names every way to configure one, GCC included.
    EXPECT_NE(kFirstUseMessage.find("GCC の設定"), std::string_view::npos);
    EXPECT_NE(kFirstUseMessage.find("Borland C++ 5.5 の設定"), std::string_view::npos);
    EXPECT_NE(kFirstUseMessage.find("LSI C-86 試食版の設定"), std::string_view::npos);
    // With no stored selection and no gcc, LSI C-86 stays selected.
    EXPECT_EQ(InitialToolchain(kDefaultToolchain, false, s), 1);
}

TEST(BuildSettings, OnlyTheValueOneSetsAFlag) {
    MemorySettingsStore store;
    ScopedProfileStore scope(&store);
    WriteProfileInt("Settings", "16bit", 2);
    WriteProfileInt("Settings", "Pause", 2);
    WriteProfileInt("Settings", "AutoIndent", -1);
    WriteProfileInt("Settings", "Stress", 0);
    WriteProfileInt("Settings", "TabWidth", 8);
    BuildSettings s;
    ReadStoredBuildSettings(s);
    EXPECT_FALSE(s.m_bPif);
    EXPECT_FALSE(s.m_bPause);
    EXPECT_FALSE(s.m_bAutoIndent);
    EXPECT_FALSE(s.m_bStress);
    EXPECT_EQ(s.m_nTabWidth, 8);
    WriteProfileInt("Settings", "16bit", 1);
    ReadStoredBuildSettings(s);
    EXPECT_TRUE(s.m_bPif);
    // A value of the wrong type reads as missing, so the default applies.
    WriteProfileString("Settings", "Pause", "1");
    ReadStoredBuildSettings(s);
    EXPECT_TRUE(s.m_bPause);
}

TEST(BuildSettings, ReadAndWrittenInTheirOrderAndRoundTrip) {
    RecordingStore store;
    ScopedProfileStore scope(&store);
    BuildSettings s;
    ReadStoredBuildSettings(s);
    EXPECT_TRUE(s.m_bExplain) << "explanations are on until turned off";
    EXPECT_TRUE(s.m_bFullWidthSpace) << "full-width spaces are shown until turned off";
    const std::vector<std::string> order = {
        "AutoIndent",     "Stress",     "Pause",       "16bit",       "Explain",
        "FullWidthSpace", "TabWidth",   "Compiler",    "Option",      "Library",
        "BCC Compiler",   "BCC Option", "VCTK Option", "CommandLine", "Response File",
        "GCC Compiler",   "GCC Option", "GCC Library"};
    // The GCC path is also asked whether it was ever stored.
    std::vector<std::string> reads = store.reads;
    ASSERT_FALSE(reads.empty());
    EXPECT_EQ(reads.back(), "GCC Compiler");
    reads.pop_back();
    EXPECT_EQ(reads, order);

    s.m_strLccPath = "C:\\LSIC86\\BIN\\LCC.EXE";
    s.m_strLccOption = "-O";
    s.m_strLccLibrary = "-lm";
    s.m_strBccPath = "C:\\BCC55\\BIN\\BCC32.EXE";
    s.m_strBccOption = "-A  ";
    s.m_strVctkClPath = "C:\\VCTK\\bin\\cl.exe";
    s.m_strVctkOption = "/Za";
    s.m_strGccPath = "/usr/bin/gcc";
    s.m_strGccOption = "-Wall -O2";
    s.m_strGccLibrary = "";
    s.m_strCommandLine = "dir";
    s.m_strResponseFile = "D:\\work\\prog.rsp";
    s.m_bPause = false;
    s.m_bPif = true;
    s.m_bAutoIndent = false;
    s.m_bExplain = false;
    s.m_bFullWidthSpace = false;
    s.m_nTabWidth = 8;
    WriteStoredBuildSettings(s);
    EXPECT_EQ(store.writes, order);
    // The toolkit path is derived at every start, never stored.
    EXPECT_FALSE(store.inner.ReadString("Settings", "VCTK Compiler").has_value());

    BuildSettings back;
    ReadStoredBuildSettings(back);
    EXPECT_EQ(back.m_strLccPath, s.m_strLccPath);
    EXPECT_EQ(back.m_strLccOption, "-O");
    EXPECT_EQ(back.m_strLccLibrary, "-lm");
    EXPECT_EQ(back.m_strBccOption, "-A  ");
    EXPECT_EQ(back.m_strVctkClPath, "");
    EXPECT_EQ(back.m_strVctkOption, "/Za");
    EXPECT_EQ(back.m_strGccPath, "/usr/bin/gcc");
    EXPECT_EQ(back.m_strGccOption, "-Wall -O2");
    // A stored empty library is a value, not a missing one.
    EXPECT_EQ(back.m_strGccLibrary, "");
    EXPECT_EQ(back.m_strCommandLine, "dir");
    EXPECT_EQ(back.m_strResponseFile, "D:\\work\\prog.rsp");
    EXPECT_FALSE(back.m_bPause);
    EXPECT_TRUE(back.m_bPif);
    EXPECT_FALSE(back.m_bAutoIndent);
    EXPECT_FALSE(back.m_bExplain);
    EXPECT_FALSE(back.m_bFullWidthSpace);
    EXPECT_EQ(back.m_nTabWidth, 8);
}

TEST(BuildSettings, VisualCppToolkitFromItsInstallDirectory) {
    MemorySettingsStore store;
    ScopedProfileStore scope(&store);
    MemoryEnvironment env{{"VCToolkitInstallDir", "C:\\VCTK\\"}, {"INCLUDE", "C:\\SDK\\inc"}};
    const FileProbe probe = Probe({"C:\\VCTK\\bin\\cl.exe"});
    BuildSettings s;
    EXPECT_FALSE(LoadBuildSettings(s, env, probe, W));
    EXPECT_EQ(s.m_strVctkClPath, "C:\\VCTK\\bin\\cl.exe");
    EXPECT_EQ(env.Get("INCLUDE"), "C:\\VCTK\\include;C:\\SDK\\inc");
    EXPECT_EQ(env.Get("LIB"), "C:\\VCTK\\lib;");

    // A child started by the first instance inherits the environment; nothing is doubled.
    BuildSettings again;
    LoadBuildSettings(again, env, probe, W);
    EXPECT_EQ(env.Get("INCLUDE"), "C:\\VCTK\\include;C:\\SDK\\inc");
    EXPECT_EQ(env.Get("LIB"), "C:\\VCTK\\lib;");

    // Without the trailing separator the result is the same.
    MemoryEnvironment plain{{"VCToolkitInstallDir", "C:\\VCTK"}};
    EXPECT_EQ(DeriveVctkClPath(plain, probe.exists, W), "C:\\VCTK\\bin\\cl.exe");

    // A trailing byte equal to "\\" that ends a double-byte character is not a separator.
    const std::string dbcsDir = "C:\\\x83\x5C";
    MemoryEnvironment dbcs{{"VCToolkitInstallDir", dbcsDir}};
    EXPECT_EQ(DeriveVctkClPath(dbcs, Files({dbcsDir + "\\bin\\cl.exe"}), W),
              dbcsDir + "\\bin\\cl.exe");
}

TEST(BuildSettings, VisualCppToolkitWithoutClLeavesEverythingAlone) {
    MemoryEnvironment env{{"VCToolkitInstallDir", "C:\\VCTK\\"}, {"INCLUDE", "x"}};
    EXPECT_EQ(DeriveVctkClPath(env, Files({}), W), "");
    EXPECT_EQ(env.Get("INCLUDE"), "x");
    EXPECT_FALSE(env.Get("LIB").has_value());

    MemoryEnvironment empty{{"VCToolkitInstallDir", ""}};
    EXPECT_EQ(DeriveVctkClPath(empty, Files({"\\bin\\cl.exe", "/bin/cl.exe"}), W), "");
    MemoryEnvironment unset;
    EXPECT_EQ(DeriveVctkClPath(unset, Files({"\\bin\\cl.exe", "/bin/cl.exe"}), P), "");

    // POSIX spells the same derivation with "/" and ":".
    MemoryEnvironment posix{{"VCToolkitInstallDir", "/opt/vctk/"}, {"LIB", "/usr/lib"}};
    EXPECT_EQ(DeriveVctkClPath(posix, Files({"/opt/vctk/bin/cl.exe"}), P), "/opt/vctk/bin/cl.exe");
    EXPECT_EQ(posix.Get("LIB"), "/opt/vctk/lib:/usr/lib");
    EXPECT_EQ(posix.Get("INCLUDE"), "/opt/vctk/include:");
}

TEST(BuildSettings, GccIsLookedUpOnPathUntilAPathIsStored) {
    MemorySettingsStore store;
    ScopedProfileStore scope(&store);
    MemoryEnvironment env{{"PATH", "bin::/opt/x/bin:/usr/bin:/usr/local/bin"}};

    // gcc before cc, first directory first; relative and empty elements are never used.
    BuildSettings s;
    EXPECT_FALSE(LoadBuildSettings(
        s, env, Probe({"bin/gcc", "./gcc", "gcc", "/usr/bin/cc", "/usr/local/bin/gcc"}), P));
    EXPECT_EQ(s.m_strGccPath, "/usr/local/bin/gcc");

    // cc when there is no gcc.
    EXPECT_EQ(DetectGcc(env, Files({"/usr/bin/cc"}), P), "/usr/bin/cc");
    // Neither: not configured, the first-use message is due.
    EXPECT_EQ(DetectGcc(env, Files({}), P), "");
    MemoryEnvironment noPath;
    EXPECT_EQ(DetectGcc(noPath, Files({"/usr/bin/gcc"}), P), "");

    // Found on PATH and stored at the end: the stored path is used from then on.
    BuildSettings found;
    LoadBuildSettings(found, env, Probe({"/usr/bin/gcc"}), P);
    EXPECT_EQ(found.m_strGccPath, "/usr/bin/gcc");
    EXPECT_EQ(InitialToolchain(kDefaultToolchain, false, found), 3);
    WriteStoredBuildSettings(found);
    BuildSettings later;
    LoadBuildSettings(later, env, Probe({"/usr/local/bin/gcc"}), P);
    EXPECT_EQ(later.m_strGccPath, "/usr/bin/gcc");

    // A path the user emptied stays empty.
    later.m_strGccPath.clear();
    WriteStoredBuildSettings(later);
    BuildSettings cleared;
    LoadBuildSettings(cleared, env, Probe({"/usr/bin/gcc"}), P);
    EXPECT_EQ(cleared.m_strGccPath, "");
}

TEST(BuildSettings, AFailedLookUpIsNotStoredSoALaterGccIsFound) {
    MemorySettingsStore store;
    ScopedProfileStore scope(&store);
    MemoryEnvironment env{{"PATH", "/usr/bin"}};
    BuildSettings first;
    EXPECT_TRUE(LoadBuildSettings(first, env, Probe({}), P));
    WriteStoredBuildSettings(first);
    EXPECT_FALSE(store.ReadString("Settings", "GCC Compiler").has_value());
    EXPECT_EQ(store.ReadString("Settings", "GCC Option"), std::string(kExpectedGccOption));

    BuildSettings second;
    EXPECT_FALSE(LoadBuildSettings(second, env, Probe({"/usr/bin/gcc"}), P));
    EXPECT_EQ(second.m_strGccPath, "/usr/bin/gcc");
}

TEST(BuildSettings, FirstUseMessageOnlyWhenNoKindIsConfigured) {
    BuildSettings s;
    EXPECT_TRUE(s.NeedsFirstUseMessage());
    for (std::string BuildSettings::*member :
         {&BuildSettings::m_strBccPath, &BuildSettings::m_strLccPath,
          &BuildSettings::m_strVctkClPath, &BuildSettings::m_strGccPath}) {
        BuildSettings one;
        one.*member = "x";
        EXPECT_FALSE(one.NeedsFirstUseMessage());
    }
    // Options alone configure nothing.
    s.m_strBccOption = "-v";
    s.m_strLccOption = "-O";
    EXPECT_TRUE(s.NeedsFirstUseMessage());
}

} // namespace
} // namespace mireka
