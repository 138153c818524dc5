// Run targets, run-file text and the PE subsystem test.
#include "core/toolchain/RunFile.h"

#include <array>

namespace mireka {

namespace {

constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kDosPartRead = 128; // the header and the 64 bytes after it
constexpr std::size_t kPeHeaderOffsetField = 60;
constexpr std::size_t kSignatureSize = 4;
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::size_t kOptionalHeaderRead = 224;
constexpr std::size_t kSubsystemField = 68; // within the optional header
constexpr std::size_t kNtPartRead = kSignatureSize + kFileHeaderSize + kOptionalHeaderRead;
constexpr unsigned kGuiSubsystem = 2;

std::uint32_t Le32(const unsigned char* p) noexcept {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// The offset of the PE signature, when the MS-DOS part is sound.
std::optional<std::uint32_t> PeOffset(std::span<const unsigned char> dos) noexcept {
    if (dos.size() < kDosPartRead || dos[0] != 'M' || dos[1] != 'Z') return std::nullopt;
    static_assert(kPeHeaderOffsetField + 4 <= kDosHeaderSize);
    return Le32(dos.data() + kPeHeaderOffsetField);
}

bool IsGuiNtPart(std::span<const unsigned char> nt) noexcept {
    if (nt.size() < kNtPartRead) return false;
    if (nt[0] != 'P' || nt[1] != 'E' || nt[2] != 0 || nt[3] != 0) return false;
    const unsigned char* field = nt.data() + kSignatureSize + kFileHeaderSize + kSubsystemField;
    return (static_cast<unsigned>(field[0]) | static_cast<unsigned>(field[1]) << 8) ==
           kGuiSubsystem;
}

std::string Eol(PathStyle style) {
    return style == PathStyle::Windows ? "\r\n" : "\n";
}

std::span<const unsigned char> AsBytes(const std::string& s) noexcept {
    return {reinterpret_cast<const unsigned char*>(s.data()), s.size()};
}

} // namespace

std::string_view RunFileName(PathStyle style) {
    return style == PathStyle::Windows ? "do_exe.bat" : "do_exe.sh";
}

std::vector<std::string_view> RunFileNames(PathStyle style) {
    if (style == PathStyle::Windows) return {"do_exe.bat", "do_exe.pif"};
    return {"do_exe.sh"};
}

RunTarget MakeRunTarget(int toolchain, std::string_view path, const ShortPathFn& shortPath,
                        PathStyle style) {
    const ToolchainDescriptor& d = ToolchainOf(toolchain);
    std::string p(path);
    if (d.shortInputPath && shortPath) {
        if (std::optional<std::string> s = shortPath(p)) p = *std::move(s);
    }
    RunTarget t;
    t.directory = GetFileDir(p, style);
    t.programName = ProgramName(d.kind, p, style);
    t.programPath = t.directory + t.programName;
    return t;
}

std::optional<std::string> RunFileContent(int toolchain, const RunTarget& target,
                                          const std::optional<std::string>& arguments, bool pause,
                                          PathStyle style) {
    const ToolchainDescriptor& d = ToolchainOf(toolchain);
    const std::string eol = Eol(style);
    std::string text;
    std::optional<std::string> program;
    if (style == PathStyle::Windows) {
        if (d.quoteProgramName && IsSafeInDoubleQuotes(target.programName, ShellSyntax::Batch))
            program = '"' + target.programName + '"';
        else
            program = QuoteWord(target.programName, ShellSyntax::Batch);
    } else {
        const std::string folder = target.directory.empty() ? "." : target.directory;
        text =
            "#!/bin/sh\ncd " + QuoteWord(folder, ShellSyntax::Posix).value_or(".") + " || exit 1\n";
        program = QuoteWord("./" + target.programName, ShellSyntax::Posix);
    }
    if (!program) return std::nullopt;
    text += *program;
    if (arguments) {
        text += ' ';
        text += *arguments;
    }
    text += eol;
    if (pause) text += style == PathStyle::Windows ? "PAUSE" + eol : std::string(kPosixPauseLine);
    return text;
}

LaunchCommand MakeRunFileLaunch(const std::string& runFilePath, const RunTarget& target,
                                PathStyle style) {
    LaunchCommand c;
    if (style == PathStyle::Windows) {
        c.program = runFilePath;
    } else {
        c.program = "/bin/sh";
        c.arguments = {runFilePath};
        c.parameters = '"' + runFilePath + '"';
    }
    c.directory = target.directory;
    c.newTerminal = true;
    return c;
}

bool IsWindowsGuiExecutable(std::span<const unsigned char> image) noexcept {
    const std::optional<std::uint32_t> offset = PeOffset(image);
    if (!offset || *offset > image.size()) return false;
    return IsGuiNtPart(image.subspan(*offset));
}

bool IsWindowsGuiExecutableFile(const std::string& path, const ReadFilePart& read) {
    const std::optional<std::string> dos = read(path, 0, kDosPartRead);
    if (!dos || dos->size() != kDosPartRead) return false;
    const std::optional<std::uint32_t> offset = PeOffset(AsBytes(*dos));
    if (!offset) return false;
    const std::optional<std::string> nt = read(path, *offset, kNtPartRead);
    return nt && nt->size() == kNtPartRead && IsGuiNtPart(AsBytes(*nt));
}

} // namespace mireka
