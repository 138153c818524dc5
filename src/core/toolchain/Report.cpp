// The report text and the reading of the configuration files it shows.
#include "core/toolchain/Report.h"

#include "core/base/Paths.h"
#include "core/toolchain/Toolchain.h"

namespace mireka {

namespace {

constexpr std::uint64_t kMegabyte = 1048576;

std::string Row(std::string_view name, std::string_view value) {
    std::string row = "[";
    row += name;
    row += "] ";
    row += value;
    row += "\r\n";
    return row;
}

std::string Dotted(std::initializer_list<unsigned long> parts) {
    std::string out;
    for (const unsigned long p : parts) {
        if (!out.empty()) out += '.';
        out += std::to_string(p);
    }
    return out;
}

std::string OsLine(const OsFacts& os) {
    using P = OsFacts::Platform;
    const auto windows = [&](std::string_view name, unsigned long build) {
        return Row("OS Version", std::string(name) + ' ' + Dotted({os.major, os.minor, build}) +
                                     ' ' + os.servicePack);
    };
    switch (os.platform) {
    case P::Win32s:
        return windows("Win32s", os.build);
    case P::Windows9x:
        return windows("Windows", os.build & 0xFFFF); // the high word holds the version again
    case P::WindowsNt:
        return windows("NT", os.build);
    case P::Posix:
        return Row("OS Version", os.sysname + ' ' + os.release + ' ' + os.machine);
    case P::Unknown:
        break;
    }
    return {};
}

std::string_view SelectionName(int toolchain) noexcept {
    switch (KindOf(toolchain)) {
    case ToolchainKind::LsiC86:
        return "LCC";
    case ToolchainKind::Borland:
        return "BCC";
    case ToolchainKind::Gcc:
        return "GCC";
    case ToolchainKind::VcToolkit:
        break;
    }
    return "VCTK";
}

std::string_view OnOff(bool on) noexcept {
    return on ? "On" : "Off";
}

void AppendSection(std::string& text, std::string_view name,
                   const std::optional<std::vector<std::string>>& lines) {
    if (!lines) return;
    text += "\r\n[";
    text += name;
    text += "]\r\n";
    for (const std::string& line : *lines) {
        text += line;
        text += "\r\n";
    }
}

} // namespace

std::array<int, 4> ParseVersion(std::string_view version) noexcept {
    std::array<int, 4> parts{};
    std::size_t part = 0;
    for (const char c : version) {
        if (c == '.') {
            if (++part == parts.size()) break;
        } else if (c >= '0' && c <= '9' && parts[part] < 100000) {
            parts[part] = parts[part] * 10 + (c - '0');
        }
    }
    return parts;
}

std::string FirstLine(std::string_view text) {
    std::string_view line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return std::string(line);
}

std::string BuildReportText(const ReportFacts& f) {
    const BuildSettings& s = f.settings;
    std::string text;
    text += Row("App Path", f.appPath);
    text += Row("App Version", Dotted({static_cast<unsigned long>(f.version[0]),
                                       static_cast<unsigned long>(f.version[1]),
                                       static_cast<unsigned long>(f.version[2]),
                                       static_cast<unsigned long>(f.version[3])}));
    text += OsLine(f.os);
    text += Row("Physical Memory", std::to_string(f.physicalMemory / kMegabyte) + " MB");
    text += Row("ComSpec", f.interpreter);
    text += "[Mode] Pause:";
    text += OnOff(s.m_bPause);
    text += ", Pif:";
    text += OnOff(s.m_bPif);
    text += ", ";
    text += SelectionName(f.toolchain);
    text += "\r\n\r\n";
    text += Row("Lcc Path", s.m_strLccPath);
    text += Row("Lcc Option", s.m_strLccOption);
    text += Row("Lcc Library", s.m_strLccLibrary);
    text += Row("Bcc Path", s.m_strBccPath);
    text += Row("Bcc Option", s.m_strBccOption);
    text += Row("VCToolkitInstallDir", f.vctkInstallDir);
    text += Row("VCTK Option", s.m_strVctkOption);
    text += Row("Gcc Path", s.m_strGccPath);
    text += Row("Gcc Option", s.m_strGccOption);
    text += Row("Gcc Library", s.m_strGccLibrary);
    text += Row("Gcc Version", f.gccVersion);
    AppendSection(text, "_LCC", f.lccConfig);
    AppendSection(text, "bcc32.cfg", f.bccConfig);
    AppendSection(text, "ilink32.cfg", f.ilinkConfig);
    return text;
}

std::optional<std::vector<std::string>>
ReadReportFileLines(const std::string& path, const ReadFilePart& read, std::size_t limit) {
    if (path.empty()) return std::nullopt;
    const std::optional<std::string> bytes = read(path, 0, limit);
    if (!bytes) return std::nullopt;
    std::vector<std::string> lines;
    std::string line;
    for (const char c : *bytes) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(std::move(line));
            line.clear();
        } else if (c != '\0') {
            line += c;
        }
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

void ReadConfigFiles(ReportFacts& f, const ReadFilePart& read, PathStyle style) {
    const BuildSettings& s = f.settings;
    if (!s.m_strLccPath.empty())
        f.lccConfig = ReadReportFileLines(GetFileDir(s.m_strLccPath, style) + "_LCC", read);
    if (!s.m_strBccPath.empty()) {
        const std::string dir = GetFileDir(s.m_strBccPath, style);
        f.bccConfig = ReadReportFileLines(dir + "bcc32.cfg", read);
        f.ilinkConfig = ReadReportFileLines(dir + "ilink32.cfg", read);
    }
}

} // namespace mireka
