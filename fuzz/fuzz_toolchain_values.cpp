// Settings values of the toolchain and the bars, read from a store holding arbitrary strings:
// integers are read exactly as the INI file spells them, bar ids and bar sizes and the build
// settings come back unchanged through a save and a load, and the settings dialogs' option text
// keeps its own pieces and ticks through the rewrite a click makes, which is then a fixed point.
#include "core/base/MemorySettingsStore.h"
#include "core/toolchain/BuildSettings.h"
#include "core/toolchain/CompilerSettings.h"
#include "core/toolchain/Report.h"
#include "core/widgets/BarSizes.h"
#include "core/widgets/BarState.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

using namespace mireka;

std::optional<int> ProfileInt(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    const bool negative = !s.empty() && s[0] == '-';
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) s.remove_prefix(1);
    if (s.empty()) return std::nullopt;
    long long v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = std::min(v * 10 + (c - '0'), 1LL << 40);
    }
    v = negative ? -v : v;
    if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
    return static_cast<int>(v);
}

auto Fields(const BuildSettings& s) {
    return std::tie(s.m_strLccPath, s.m_strLccOption, s.m_strLccLibrary, s.m_strBccPath,
                    s.m_strBccOption, s.m_strVctkOption, s.m_strGccPath, s.m_strGccOption,
                    s.m_strGccLibrary, s.m_strCommandLine, s.m_strResponseFile, s.m_bPause,
                    s.m_bPif, s.m_bAutoIndent, s.m_bStress, s.m_bExplain, s.m_nTabWidth);
}

void CheckGroup(const OptionGroup& g, std::string_view text, bool dropsDoubleO) {
    const GroupState open = OpenGroup(g, text, dropsDoubleO);
    if (open.ticked.size() != g.boxes.size()) std::abort();
    const auto rewrite = [&g](const GroupState& state) {
        return RewriteGroup(g, state.text, [&](std::string_view token) {
            for (std::size_t i = 0; i < g.boxes.size(); ++i)
                if (g.boxes[i].token == token) return bool(state.ticked[i]);
            return false;
        });
    };
    const std::string once = rewrite(open);
    // Removing "-OO" can join what was around it into a new "-OO", so it is not done again.
    const GroupState reopened = OpenGroup(g, once);
    // The rewrite trims white space other than spaces at the end, which may turn the last piece
    // into a token that the next rewrite moves or drops.
    if (open.text.find_first_of("\t\n\v\f\r") != std::string::npos) return;
    if (reopened.ticked != open.ticked || rewrite(reopened) != once) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> f; // NUL-separated values
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::size_t at = 0; at <= size;) {
        const std::size_t end = std::min(input.find('\0', at), size);
        f.emplace_back(input.substr(at, end - at));
        at = end + 1;
    }
    const auto field = [&f](std::size_t i) -> const std::string& { return f[i % f.size()]; };

    for (const std::string& v : f)
        if (ParseProfileInt(v) != ProfileInt(v)) std::abort();

    if (const auto ids = ParseBarIds(field(0))) {
        std::vector<int> small;
        for (const long long id : *ids)
            if (id < 0 || id > 9999999999LL)
                std::abort();
            else if (id <= INT32_MAX)
                small.push_back(static_cast<int>(id));
        if (small.size() == ids->size() && ParseBarIds(FormatBarIds(small)) != ids) std::abort();
    }

    MemorySettingsStore store;
    const char* const sizeNames[] = {"sizeHorzCX", "sizeHorzCY",  "sizeVertCX",
                                     "sizeVertCY", "sizeFloatCX", "sizeFloatCY"};
    const std::string section = BarSizesSection("BarState", kOutputBarId);
    for (std::size_t i = 0; i < 6; ++i)
        (void)store.WriteString(section, sizeNames[i], field(i));
    BarSizes sizes;
    LoadBarSizes(store, "BarState", kOutputBarId, sizes);
    const int side[] = {sizes.horz.cx, sizes.horz.cy,     sizes.vert.cx,
                        sizes.vert.cy, sizes.floating.cx, sizes.floating.cy};
    const BarSize minimums[] = {kMinHorzSize, kMinVertSize, kMinFloatSize};
    for (std::size_t i = 0; i < 6; ++i) {
        const int least = i % 2 ? minimums[i / 2].cy : minimums[i / 2].cx;
        if (side[i] != std::max(ProfileInt(field(i)).value_or(200), least)) std::abort();
    }
    MemorySettingsStore saved;
    BarSizes loaded = BarSizes::All({1, 1});
    if (!SaveBarSizes(saved, "BarState", kOutputBarId, sizes)) std::abort();
    LoadBarSizes(saved, "BarState", kOutputBarId, loaded);
    if (loaded != sizes) std::abort();

    const char* const entries[] = {
        "AutoIndent",  "Stress",        "Pause",        "16bit",        "Explain",    "TabWidth",
        "Compiler",    "Option",        "Library",      "BCC Compiler", "BCC Option", "VCTK Option",
        "CommandLine", "Response File", "GCC Compiler", "GCC Option",   "GCC Library"};
    for (std::size_t i = 0; i < std::size(entries); ++i)
        if (field(i + 3).size() % 4 != 1) // some stay unstored
            (void)store.WriteString(kSettingsSection, entries[i], field(i + 3));
    SetProfileStore(&store);
    MemoryEnvironment env{{"PATH", field(1)}, {"VCToolkitInstallDir", field(2)}};
    const PathPredicate odd = [](const std::string& p) { return p.size() % 2 == 1; };
    BuildSettings read;
    const bool firstUse = LoadBuildSettings(read, env, {odd, odd}, PathStyle::Posix);
    if (firstUse != read.NeedsFirstUseMessage()) std::abort();
    if (read.m_bPause != (ProfileInt(field(5)).value_or(1) == 1 || field(5).size() % 4 == 1))
        std::abort();
    if (!read.m_strVctkClPath.empty() && !read.m_strVctkClPath.ends_with("/bin/cl.exe"))
        std::abort();
    MemorySettingsStore again;
    SetProfileStore(&again);
    WriteStoredBuildSettings(read);
    BuildSettings reread;
    ReadStoredBuildSettings(reread);
    SetProfileStore(nullptr);
    if (Fields(reread) != Fields(read)) std::abort();

    for (const ToolchainKind kind : {ToolchainKind::Borland, ToolchainKind::LsiC86,
                                     ToolchainKind::VcToolkit, ToolchainKind::Gcc}) {
        const SettingsDialogDescriptor& d = SettingsDialog(kind);
        CheckGroup(d.options, field(3), d.dropsDoubleO);
        if (d.library) CheckGroup(*d.library, field(4), false);
    }
    std::string joined;
    for (const std::string_view piece : SplitAtSpaces(field(3)))
        joined += std::string(piece) + ' ';
    if (joined != field(3) + ' ') std::abort();

    const std::array<int, 4> version = ParseVersion(field(0));
    for (const int part : version)
        if (part < 0 || part > 999999) std::abort();
    if (ParseVersion(std::to_string(version[0] % 100000) + '.' +
                     std::to_string(version[1] % 100000)) !=
        std::array<int, 4>{version[0] % 100000, version[1] % 100000, 0, 0})
        std::abort();
    return 0;
}
