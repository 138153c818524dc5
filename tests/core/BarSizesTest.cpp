// Docking-bar sizes: the section name, minimums on loading, the six entries, the edge drag.
#include "core/widgets/BarSizes.h"

#include "core/base/Profile.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

namespace mireka {
namespace {

class FakeStore : public SettingsStore {
public:
    using Key = std::pair<std::string, std::string>;
    std::map<Key, int> ints;
    std::vector<Key> writes;
    bool failWrites = false;

    std::optional<int> ReadInt(std::string_view s, std::string_view e) const override {
        auto it = ints.find(Key(s, e));
        if (it == ints.end()) return std::nullopt;
        return it->second;
    }
    std::optional<std::string> ReadString(std::string_view, std::string_view) const override {
        return std::nullopt;
    }
    bool WriteInt(std::string_view s, std::string_view e, int value) override {
        writes.emplace_back(s, e);
        if (failWrites) return false;
        ints[Key(s, e)] = value;
        return true;
    }
    bool WriteString(std::string_view, std::string_view, std::string_view) override {
        return false;
    }
    bool DeleteEntry(std::string_view, std::string_view) override { return false; }
    bool DeleteSection(std::string_view) override { return false; }
};

using Key = FakeStore::Key;

TEST(BarSizes, SectionNameIsProfileDashSCBarDashId) {
    EXPECT_EQ(BarSizesSection(kBarStateProfile, kOutputBarId), "BarState-SCBar-124");
    EXPECT_EQ(BarSizesSection("X", -5), "X-SCBar--5");
    const std::string longName(300, 'p');
    EXPECT_EQ(BarSizesSection(longName, 124), std::string(255, 'p'));
    EXPECT_EQ(BarSizesSection(std::string(248, 'p'), 124), std::string(248, 'p') + "-SCBar-");
}

TEST(BarSizes, LoadKeepsCurrentValuesForMissingEntriesAndRaisesSmallOnes) {
    FakeStore store;
    BarSizes sizes = BarSizes::All({100, 100});
    LoadBarSizes(store, kBarStateProfile, kOutputBarId, sizes);
    EXPECT_EQ(sizes, BarSizes::All({100, 100}));

    const std::string s = "BarState-SCBar-124";
    store.ints[Key(s, "sizeHorzCX")] = 10; // below 33
    store.ints[Key(s, "sizeHorzCY")] = 31; // below 32
    store.ints[Key(s, "sizeVertCX")] = 33; // exactly the minimum
    store.ints[Key(s, "sizeVertCY")] = 640;
    store.ints[Key(s, "sizeFloatCX")] = 36; // the floating minimum is wider: 37
    store.ints[Key(s, "sizeFloatCY")] = -500;
    store.ints[Key("BarState-SCBar-125", "sizeHorzCX")] = 999; // another bar's entry
    LoadBarSizes(store, kBarStateProfile, kOutputBarId, sizes);
    EXPECT_EQ(sizes.horz, (BarSize{33, 32}));
    EXPECT_EQ(sizes.vert, (BarSize{33, 640}));
    EXPECT_EQ(sizes.floating, (BarSize{37, 32}));

    // Current values below the minimum are raised too when nothing is stored.
    FakeStore empty;
    BarSizes tiny = BarSizes::All({1, 1});
    LoadBarSizes(empty, kBarStateProfile, kOutputBarId, tiny);
    EXPECT_EQ(tiny.horz, kMinHorzSize);
    EXPECT_EQ(tiny.floating, kMinFloatSize);
}

TEST(BarSizes, SaveWritesTheSixEntriesInOrderAndReadsBack) {
    FakeStore store;
    BarSizes sizes;
    EXPECT_EQ(sizes, BarSizes::All({200, 200}));
    sizes.horz = {400, 120};
    sizes.vert = {150, 500};
    sizes.floating = {300, 250};
    ASSERT_TRUE(SaveBarSizes(store, kBarStateProfile, kOutputBarId, sizes));
    const std::string s = "BarState-SCBar-124";
    EXPECT_EQ(store.writes, (std::vector<Key>{{s, "sizeHorzCX"},
                                              {s, "sizeHorzCY"},
                                              {s, "sizeVertCX"},
                                              {s, "sizeVertCY"},
                                              {s, "sizeFloatCX"},
                                              {s, "sizeFloatCY"}}));
    EXPECT_EQ(store.ints[Key(s, "sizeHorzCY")], 120);
    EXPECT_EQ(store.ints[Key(s, "sizeFloatCX")], 300);

    BarSizes back;
    LoadBarSizes(store, kBarStateProfile, kOutputBarId, back);
    EXPECT_EQ(back, sizes);

    FakeStore broken;
    broken.failWrites = true;
    EXPECT_FALSE(SaveBarSizes(broken, kBarStateProfile, kOutputBarId, sizes));
    EXPECT_EQ(broken.writes.size(), 6u);
}

TEST(BarSizes, FloatingSizeIsReportedAtLeastAtItsMinimum) {
    BarSizes sizes;
    sizes.floating = {20, 500};
    EXPECT_EQ(sizes.FloatingReported(), (BarSize{37, 500}));
    sizes.floating = {300, 5};
    EXPECT_EQ(sizes.FloatingReported(), (BarSize{300, 32}));
}

} // namespace
} // namespace mireka
