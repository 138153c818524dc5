// The toolchain table, the meaning of stored selections and the switch command's cycle.
#include "core/toolchain/Toolchain.h"
#include "core/base/MemorySettingsStore.h"
#include "core/base/Profile.h"

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

constexpr int kStays = -1; // the switch beeps and the selection stays

// The selections met by pressing the switch command `n` times from `start`.
std::vector<int> Cycle(int start, const std::set<int>& usable, int n) {
    std::vector<int> seen;
    int k = start;
    for (int i = 0; i < n; ++i) {
        const std::optional<int> next =
            NextToolchain(k, [&](ToolchainKind kind) { return usable.contains(int(kind)); });
        seen.push_back(next.value_or(kStays));
        k = next.value_or(k);
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

TEST(Toolchain, SwitchGoesRoundTheUsableKindsInOrder) {
    struct Case {
        std::set<int> usable;
        int start;
        std::vector<int> seen;
    };
    const Case cases[] = {
        // Neither the Visual C++ Toolkit nor GCC: Borland and LSI C-86 alternate.
        {{kBcc, kLsi}, kBcc, {kLsi, kBcc, kLsi, kBcc}},
        // With the toolkit usable, three presses from Borland give VCTK, LSIC86, BCC55.
        {{kBcc, kLsi, kVctk}, kBcc, {kVctk, kLsi, kBcc}},
        // Every kind once per round, GCC after LSI C-86.
        {{kBcc, kLsi, kVctk, kGcc}, kBcc, {kVctk, kLsi, kGcc, kBcc}},
        // Kinds that cannot be used are passed over.
        {{kLsi, kGcc}, kGcc, {kLsi, kGcc, kLsi}},
        {{kVctk, kGcc}, kLsi, {kGcc, kVctk, kGcc}},
        // Only GCC: from anywhere else to GCC, then nowhere.
        {{kGcc}, kBcc, {kGcc, kStays, kStays}},
        {{kGcc}, kGcc, {kStays}},
        {{}, kLsi, {kStays}},
        // A stored 2 without the toolkit stays "VCTK" until the first switch, which gives 1;
        // so does any other unknown value, which means the toolkit.
        {{kBcc, kLsi}, kVctk, {kLsi}},
        {{kBcc, kLsi}, 57, {kLsi}},
        {{kBcc, kLsi, kVctk, kGcc}, -1, {kLsi}},
        {{kVctk}, 57, {kStays}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "from " << c.start << ", usable " << c.usable.size());
        EXPECT_EQ(Cycle(c.start, c.usable, int(c.seen.size())), c.seen);
    }
}

TEST(Toolchain, AKindIsUsableWhenConfiguredWithADriverThatRunsHere) {
    struct Case {
        ToolchainFacts facts;
        bool windowsHost, usable;
    };
    const Case cases[] = {
        {{false, false}, false, false}, {{false, false}, true, false}, {{true, false}, false, true},
        {{true, false}, true, true},    {{true, true}, false, false},  {{true, true}, true, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsToolchainUsable(c.facts, c.windowsHost), c.usable)
            << c.facts.configured << c.facts.dosOrWindowsImage << c.windowsHost;
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
