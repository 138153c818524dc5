// The toolchain table, the meaning of stored selections and the switch command's cycle.
#include "core/toolchain/Toolchain.h"
#include "core/app/MemorySettingsStore.h"
#include "core/app/Profile.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace mireka {
namespace {

constexpr int kBcc = 0, kLsi = 1, kVctk = 2, kGcc = 3;

BuildSettings Configured(bool bcc, bool lsi, bool vctk, bool gcc) {
    BuildSettings s;
    if (bcc) s.m_strBccPath = "C:\\BCC55\\BIN\\BCC32.EXE";
    if (lsi) s.m_strLccPath = "C:\\LSIC86\\BIN\\LCC.EXE";
    if (vctk) s.m_strVctkClPath = "C:\\VCTK\\bin\\cl.exe";
    if (gcc) s.m_strGccPath = "/usr/bin/gcc";
    return s;
}

// The selections met by pressing the switch command `n` times from `start`.
std::vector<int> Cycle(int start, const BuildSettings& s, int n) {
    std::vector<int> seen;
    int k = start;
    for (int i = 0; i < n; ++i) {
        k = NextToolchain(k, s);
        seen.push_back(k);
    }
    return seen;
}

TEST(Toolchain, TableHoldsEveryKindOnceWithItsOwnSettings) {
    std::set<int> values;
    std::set<std::string_view> indicators;
    for (const ToolchainDescriptor& d : Toolchains()) {
        values.insert(static_cast<int>(d.kind));
        indicators.insert(d.indicator);
        EXPECT_EQ(&Toolchain(d.kind), &d);
        ASSERT_NE(d.path, nullptr);
        ASSERT_NE(d.option, nullptr);
        // Every %s of a format has a slot, and every slot a %s.
        for (const CommandFormat* f : {&d.normal, &d.response}) {
            std::size_t placeholders = 0;
            for (std::size_t i = 0; i + 1 < f->format.size(); ++i)
                if (f->format[i] == '%' && f->format[i + 1] == 's') ++placeholders;
            EXPECT_EQ(placeholders, f->slotCount) << d.indicator << ": " << f->format;
        }
    }
    EXPECT_EQ(values, (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(indicators.size(), Toolchains().size());

    // Each kind reads its own path member.
    BuildSettings s;
    s.m_strBccPath = "bcc";
    s.m_strLccPath = "lcc";
    s.m_strVctkClPath = "cl";
    s.m_strGccPath = "gcc";
    EXPECT_EQ(s.GetToolchainPath(kBcc), "bcc");
    EXPECT_EQ(s.GetToolchainPath(kLsi), "lcc");
    EXPECT_EQ(s.GetToolchainPath(kVctk), "cl");
    EXPECT_EQ(s.GetToolchainPath(kGcc), "gcc");
}

TEST(Toolchain, ValuesOutsideTheTableMeanTheVisualCppToolkit) {
    EXPECT_EQ(ToolchainIndicator(0), "BCC55");
    EXPECT_EQ(ToolchainIndicator(1), "LSIC86");
    EXPECT_EQ(ToolchainIndicator(2), "VCTK");
    EXPECT_EQ(ToolchainIndicator(3), "GCC");
    for (int v : {4, 7, -1, 1000, INT32_MIN}) {
        EXPECT_EQ(KindOf(v), ToolchainKind::VcToolkit) << v;
        EXPECT_EQ(ToolchainIndicator(v), "VCTK") << v;
    }
    BuildSettings s = Configured(true, true, true, true);
    EXPECT_EQ(s.GetToolchainPath(9), s.m_strVctkClPath);
    EXPECT_EQ(s.GetToolchainPath(-3), s.m_strVctkClPath);
}

TEST(Toolchain, SwitchCycleFollowsWhatIsConfigured) {
    // Neither the Visual C++ Toolkit nor GCC: Borland and LSI C-86 alternate.
    const BuildSettings none = Configured(true, true, false, false);
    EXPECT_EQ(Cycle(kBcc, none, 4), (std::vector<int>{kLsi, kBcc, kLsi, kBcc}));

    // With the toolkit usable, three presses from Borland give VCTK, LSIC86, BCC55.
    const BuildSettings vctk = Configured(true, true, true, false);
    EXPECT_EQ(Cycle(kBcc, vctk, 3), (std::vector<int>{kVctk, kLsi, kBcc}));

    // With GCC configured it follows LSI C-86 and leads back to Borland.
    const BuildSettings gcc = Configured(false, false, false, true);
    EXPECT_EQ(Cycle(kLsi, gcc, 3), (std::vector<int>{kGcc, kBcc, kLsi}));

    // Both: every kind once per round.
    const BuildSettings all = Configured(true, true, true, true);
    EXPECT_EQ(Cycle(kBcc, all, 4), (std::vector<int>{kVctk, kLsi, kGcc, kBcc}));

    // A stored 2 without the toolkit stays "VCTK" until the first switch, which gives 1; so
    // does any other unknown value.
    EXPECT_EQ(ToolchainIndicator(2), "VCTK");
    EXPECT_EQ(NextToolchain(2, none), kLsi);
    EXPECT_EQ(NextToolchain(57, none), kLsi);
    EXPECT_EQ(NextToolchain(-1, all), kLsi);
    // GCC always goes to Borland, configured or not.
    EXPECT_EQ(NextToolchain(kGcc, none), kBcc);
    EXPECT_EQ(NextToolchain(kGcc, BuildSettings{}), kBcc);
}

TEST(Toolchain, GccIsTheStartingSelectionOnlyOnAFreshSetupWithGcc) {
    BuildSettings gcc = Configured(false, false, false, true);
    EXPECT_EQ(InitialToolchain(1, false, gcc), kGcc);
    // A stored selection is kept, whatever it is.
    EXPECT_EQ(InitialToolchain(1, true, gcc), kLsi);
    EXPECT_EQ(InitialToolchain(0, true, gcc), kBcc);
    // An LSI C-86 path means the user set that toolchain up.
    BuildSettings both = Configured(false, true, false, true);
    EXPECT_EQ(InitialToolchain(1, false, both), kLsi);
    // No gcc: the default stays.
    EXPECT_EQ(InitialToolchain(1, false, BuildSettings{}), kLsi);

    MemorySettingsStore store;
    ScopedProfileStore scope(&store);
    EXPECT_FALSE(IsToolchainSelectionStored());
    WriteProfileInt("Settings", "IsLCC", 1);
    EXPECT_TRUE(IsToolchainSelectionStored());
}

} // namespace
} // namespace mireka
