// Docking-bar sizes: section naming, loading with minimums, saving, the edge drag.
#include "core/widgets/BarSizes.h"

#include "core/base/Profile.h"

#include <algorithm>
#include <cstdio>

namespace mireka {
namespace {

struct SizeEntry {
    std::string_view name;
    int BarSize::*side;
    BarSize BarSizes::*size;
    BarSize minimum;
};

// In the order they are written.
constexpr SizeEntry kEntries[] = {
    {"sizeHorzCX", &BarSize::cx, &BarSizes::horz, kMinHorzSize},
    {"sizeHorzCY", &BarSize::cy, &BarSizes::horz, kMinHorzSize},
    {"sizeVertCX", &BarSize::cx, &BarSizes::vert, kMinVertSize},
    {"sizeVertCY", &BarSize::cy, &BarSizes::vert, kMinVertSize},
    {"sizeFloatCX", &BarSize::cx, &BarSizes::floating, kMinFloatSize},
    {"sizeFloatCY", &BarSize::cy, &BarSizes::floating, kMinFloatSize},
};

} // namespace

std::string BarSizesSection(std::string_view profile, int barId) {
    char id[16];
    std::snprintf(id, sizeof id, "%d", barId);
    std::string section(profile);
    section += "-SCBar-";
    section += id;
    if (section.size() > 255) section.resize(255);
    return section;
}

void LoadBarSizes(const SettingsStore& store, std::string_view profile, int barId,
                  BarSizes& sizes) {
    const std::string section = BarSizesSection(profile, barId);
    for (const SizeEntry& e : kEntries) {
        int& value = sizes.*e.size.*e.side;
        value = std::max(store.ReadInt(section, e.name).value_or(value), e.minimum.*e.side);
    }
}

bool SaveBarSizes(SettingsStore& store, std::string_view profile, int barId,
                  const BarSizes& sizes) {
    const std::string section = BarSizesSection(profile, barId);
    bool ok = true;
    for (const SizeEntry& e : kEntries)
        ok = store.WriteInt(section, e.name, sizes.*e.size.*e.side) && ok;
    return ok;
}

} // namespace mireka
