// The toolchain table and the selection rules that read it.
#include "core/toolchain/Toolchain.h"

#include "core/base/Profile.h"

namespace mireka {

namespace {

using S = CommandSlot;
using K = ToolchainKind;

constexpr JumpRule kColonSpace{JumpRule::Style::Separators, ':', ' '};
constexpr JumpRule kParentheses{JumpRule::Style::Separators, ')', '('};
constexpr JumpRule kColonDigits{JumpRule::Style::ColonDigitsColon, ':', ':'};

constexpr std::array<ToolchainDescriptor, 4> kToolchains = {{
    {
        .kind = K::Borland,
        .indicator = "BCC55",
        .title = "Borland C++ 5.5",
        .driver = "BCC32.EXE",
        .path = &BuildSettings::m_strBccPath,
        .option = &BuildSettings::m_strBccOption,
        .library = nullptr,
        .normal = {"%s %s \"%s\"", {S::Driver, S::Options, S::Input}, 3},
        .response = {"%s %s -e\"%s\" @%s", {S::Driver, S::Options, S::Output, S::Input}, 4},
        .debugFlag = "-v",
        .debugger = "TD32.EXE",
        .debuggerPlace = DebuggerPlace::BesideDriver,
        .shortInputPath = false,
        .acceptsCpp = true,
        .quoteProgramName = true,
        .nativeProgramName = false,
        .jump = kColonSpace,
        .next = K::VcToolkit,
    },
    {
        .kind = K::LsiC86,
        .indicator = "LSIC86",
        .title = "LSI C-86",
        .driver = "LCC.EXE",
        .path = &BuildSettings::m_strLccPath,
        .option = &BuildSettings::m_strLccOption,
        .library = &BuildSettings::m_strLccLibrary,
        .normal = {"%s %s %s %s", {S::Driver, S::Options, S::Input, S::Library}, 4},
        .response = {"%s %s -o %s @%s %s",
                     {S::Driver, S::Options, S::Output, S::Input, S::Library},
                     5},
        .debugFlag = "",
        .debugger = "",
        .debuggerPlace = DebuggerPlace::None,
        .shortInputPath = true,
        .acceptsCpp = false,
        .quoteProgramName = false,
        .nativeProgramName = false,
        .jump = kColonSpace,
        .next = K::Gcc,
    },
    {
        .kind = K::VcToolkit,
        .indicator = "VCTK",
        .title = "Visual C++ Toolkit 2003",
        .driver = "cl.exe",
        .path = &BuildSettings::m_strVctkClPath,
        .option = &BuildSettings::m_strVctkOption,
        .library = nullptr,
        .normal = {"%s %s \"%s\"", {S::Driver, S::Options, S::Input}, 3},
        .response = {"%s %s /Fe\"%s\" @%s", {S::Driver, S::Options, S::Output, S::Input}, 4},
        .debugFlag = "",
        .debugger = "",
        .debuggerPlace = DebuggerPlace::None,
        .shortInputPath = false,
        .acceptsCpp = true,
        .quoteProgramName = true,
        .nativeProgramName = false,
        .jump = kParentheses,
        .next = K::LsiC86,
    },
    {
        .kind = K::Gcc,
        .indicator = "GCC",
        .title = "GCC",
        .driver = "gcc",
        .path = &BuildSettings::m_strGccPath,
        .option = &BuildSettings::m_strGccOption,
        .library = &BuildSettings::m_strGccLibrary,
        // Libraries after the source: the linker resolves them in command-line order.
        .normal = {"%s %s \"%s\" %s -o \"%s\"",
                   {S::Driver, S::Options, S::Input, S::Library, S::Output},
                   5},
        .response = {"%s %s -o \"%s\" @%s %s",
                     {S::Driver, S::Options, S::Output, S::Input, S::Library},
                     5},
        .debugFlag = "-g",
        .debugger = "gdb",
        .debuggerPlace = DebuggerPlace::OnPath,
        .shortInputPath = false,
        .acceptsCpp = true,
        .quoteProgramName = true,
        .nativeProgramName = true,
        .jump = kColonDigits,
        .next = K::Borland,
    },
}};

constexpr bool HasFallback() {
    for (const ToolchainDescriptor& d : kToolchains)
        if (d.kind == kFallbackToolchain) return true;
    return false;
}
static_assert(HasFallback(), "the kind unknown selections mean must be in the table");

// Following `next` from any kind meets every kind before it comes back.
constexpr bool SwitchVisitsEveryKind() {
    for (const ToolchainDescriptor& from : kToolchains) {
        ToolchainKind k = from.kind;
        for (std::size_t step = 1; step <= kToolchains.size(); ++step) {
            for (const ToolchainDescriptor& d : kToolchains)
                if (d.kind == k) {
                    k = d.next;
                    break;
                }
            if (k == from.kind && step != kToolchains.size()) return false;
        }
        if (k != from.kind) return false;
    }
    return true;
}
static_assert(SwitchVisitsEveryKind(), "the switch order is one round through every kind");

} // namespace

std::span<const ToolchainDescriptor> Toolchains() noexcept {
    return kToolchains;
}

ToolchainKind KindOf(int selection) noexcept {
    for (const ToolchainDescriptor& d : kToolchains)
        if (static_cast<int>(d.kind) == selection) return d.kind;
    return kFallbackToolchain;
}

const ToolchainDescriptor& Toolchain(ToolchainKind kind) noexcept {
    for (const ToolchainDescriptor& d : kToolchains)
        if (d.kind == kind) return d;
    return Toolchain(kFallbackToolchain); // in the table, see HasFallback
}

bool IsToolchainUsable(const ToolchainFacts& facts, bool windowsHost) noexcept {
    return facts.configured && (windowsHost || !facts.dosOrWindowsImage);
}

std::optional<int> NextToolchain(int selection, const std::function<bool(ToolchainKind)>& usable) {
    const ToolchainKind from = KindOf(selection);
    for (ToolchainKind k = Toolchain(from).next; k != from; k = Toolchain(k).next)
        if (usable(k)) return static_cast<int>(k);
    return std::nullopt;
}

bool IsToolchainSelectionStored() {
    const SettingsStore* store = GetProfileStore();
    return store && store->ReadInt(kSettingsSection, kToolchainEntry).has_value();
}

int InitialToolchain(int frameSelection, bool selectionStored, const BuildSettings& s) noexcept {
    if (!selectionStored && s.m_strLccPath.empty() && s.IsConfigured(static_cast<int>(K::Gcc)))
        return static_cast<int>(K::Gcc);
    return frameSelection;
}

} // namespace mireka
