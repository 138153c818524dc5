// Run targets, run-file contents per toolchain and platform, and the Windows GUI test.
#include "core/toolchain/RunFile.h"

#include "FakeFiles.h"

#include <gtest/gtest.h>

#include <vector>

namespace mireka {
namespace {

constexpr auto W = PathStyle::Windows;
constexpr auto P = PathStyle::Posix;
constexpr int kBcc = 0, kLsi = 1, kVctk = 2, kGcc = 3;

std::string Content(int kind, const RunTarget& t, std::optional<std::string> args, bool pause,
                    PathStyle style) {
    return RunFileContent(kind, t, args, pause, style).value_or("<none>");
}

TEST(RunFile, TargetIsTheProgramBesideTheSource) {
    const RunTarget bcc = MakeRunTarget(kBcc, "C:\\My Work\\hello.c", {}, W);
    EXPECT_EQ(bcc.directory, "C:\\My Work\\");
    EXPECT_EQ(bcc.programName, "hello.exe");
    EXPECT_EQ(bcc.programPath, "C:\\My Work\\hello.exe");
    const ShortPathFn shortPath = [](const std::string& p) -> std::optional<std::string> {
        if (p == "C:\\My Work\\hello.c") return "C:\\MYWORK~1\\HELLO.C";
        return std::nullopt;
    };
    const RunTarget lsi = MakeRunTarget(kLsi, "C:\\My Work\\hello.c", shortPath, W);
    EXPECT_EQ(lsi.directory, "C:\\MYWORK~1\\");
    EXPECT_EQ(lsi.programName, "HELLO.exe");
    // Only LSI C-86 uses the short form.
    EXPECT_EQ(MakeRunTarget(kVctk, "C:\\My Work\\hello.c", shortPath, W).programName, "hello.exe");
    const RunTarget gcc = MakeRunTarget(kGcc, "/home/u/src/hello.c", {}, P);
    EXPECT_EQ(gcc.directory, "/home/u/src/");
    EXPECT_EQ(gcc.programName, "hello");
    EXPECT_EQ(gcc.programPath, "/home/u/src/hello");
    EXPECT_EQ(MakeRunTarget(kBcc, "/home/u/src/hello.c", {}, P).programName, "hello.exe");
}

TEST(RunFile, WindowsBatchLines) {
    const RunTarget t = MakeRunTarget(kBcc, "C:\\My Work\\hello.c", {}, W);
    EXPECT_EQ(Content(kBcc, t, std::nullopt, true, W), "\"hello.exe\"\r\nPAUSE\r\n");
    EXPECT_EQ(Content(kVctk, t, std::nullopt, false, W), "\"hello.exe\"\r\n");
    EXPECT_EQ(Content(kGcc, t, std::string("a b"), false, W), "\"hello.exe\" a b\r\n");
    // Arguments confirmed empty still leave the space.
    EXPECT_EQ(Content(kBcc, t, std::string(), true, W), "\"hello.exe\" \r\nPAUSE\r\n");

    // LSI C-86: the short name, never quoted.
    const RunTarget lsi{"C:\\MYWORK~1\\", "HELLO.exe", "C:\\MYWORK~1\\HELLO.exe"};
    EXPECT_EQ(Content(kLsi, lsi, std::string("a b"), false, W), "HELLO.exe a b\r\n");
    EXPECT_EQ(Content(kLsi, lsi, std::nullopt, true, W), "HELLO.exe\r\nPAUSE\r\n");
    // A long name that needs quotes gets them, as a plain one cannot break the line.
    const RunTarget spaced{"C:\\My Work\\", "my prog.exe", ""};
    EXPECT_EQ(Content(kLsi, spaced, std::nullopt, false, W), "\"my prog.exe\"\r\n");
    // A batch file reads "%" as the start of a variable.
    const RunTarget percent{"C:\\w\\", "100%.exe", ""};
    EXPECT_EQ(Content(kBcc, percent, std::nullopt, false, W), "\"100%%.exe\"\r\n");
    EXPECT_EQ(Content(kLsi, percent, std::nullopt, false, W), "\"100%%.exe\"\r\n");
    const RunTarget amp{"C:\\w\\", "a&b.exe", ""};
    EXPECT_EQ(Content(kBcc, amp, std::nullopt, false, W), "\"a&b.exe\"\r\n");
    EXPECT_FALSE(
        RunFileContent(kBcc, RunTarget{"C:\\w\\", "a\"b.exe", ""}, std::nullopt, false, W));
}

TEST(RunFile, PosixScriptLines) {
    const RunTarget t = MakeRunTarget(kGcc, "/home/u/src/hello.c", {}, P);
    EXPECT_EQ(Content(kGcc, t, std::nullopt, false, P),
              "#!/bin/sh\ncd /home/u/src/ || exit 1\n./hello\n");
    EXPECT_EQ(Content(kGcc, t, std::string("a b"), true, P),
              "#!/bin/sh\ncd /home/u/src/ || exit 1\n./hello a b\n" + std::string(kPosixPauseLine));
    EXPECT_EQ(Content(kGcc, t, std::string(), false, P),
              "#!/bin/sh\ncd /home/u/src/ || exit 1\n./hello \n");
    // Every kind runs "./name"; LSI C-86 too.
    const RunTarget lsi = MakeRunTarget(kLsi, "/s/TEST.C", {}, P);
    EXPECT_EQ(Content(kLsi, lsi, std::nullopt, false, P),
              "#!/bin/sh\ncd /s/ || exit 1\n./TEST.exe\n");
    // Names and folders that need quoting are quoted; arguments are the user's own text.
    const RunTarget odd = MakeRunTarget(kBcc, "/my dir/it's $x.c", {}, P);
    EXPECT_EQ(Content(kBcc, odd, std::string("< in.txt"), false, P),
              "#!/bin/sh\ncd '/my dir/' || exit 1\n'./it'\\''s $x.exe' < in.txt\n");
    // The pause line waits for a key and never ends a line with CR.
    EXPECT_EQ(kPosixPauseLine.back(), '\n');
    EXPECT_EQ(kPosixPauseLine.find('\r'), std::string_view::npos);
    EXPECT_NE(kPosixPauseLine.find("dd bs=1 count=1"), std::string_view::npos);
}

TEST(RunFile, RunFileStartsInAWindowOfItsOwn) {
    // The writable program folder is often the per-user one, "UMO Software" with its blank.
    const std::string runFile = "/home/u/.local/share/UMO Software/Mireka/do_exe.sh";
    const RunTarget t = MakeRunTarget(kGcc, "/home/u/my src/hello.c", {}, P);
    const LaunchCommand posix = MakeRunFileLaunch(runFile, t, P);
    EXPECT_EQ(posix.program, "/bin/sh");
    EXPECT_EQ(posix.arguments, std::vector<std::string>{runFile});
    EXPECT_EQ(posix.directory, "/home/u/my src/");
    EXPECT_TRUE(posix.newTerminal);
    EXPECT_EQ(Content(kGcc, t, std::nullopt, false, P),
              "#!/bin/sh\ncd '/home/u/my src/' || exit 1\n./hello\n");
    const RunTarget w = MakeRunTarget(kBcc, "C:\\My Work\\hello.c", {}, W);
    const LaunchCommand win =
        MakeRunFileLaunch("C:\\Program Files\\UMO Software\\do_exe.bat", w, W);
    EXPECT_EQ(win.program, "C:\\Program Files\\UMO Software\\do_exe.bat");
    EXPECT_TRUE(win.arguments.empty());
    EXPECT_EQ(win.directory, "C:\\My Work\\");
}

// A minimal image: MS-DOS header at 0, PE header at `peOffset`, the given subsystem.
std::vector<unsigned char> Image(std::size_t peOffset, std::uint16_t subsystem) {
    std::vector<unsigned char> b(std::max<std::size_t>(128, peOffset + 24 + 224), 0);
    b[0] = 'M';
    b[1] = 'Z';
    for (int i = 0; i < 4; ++i)
        b[60 + i] = static_cast<unsigned char>(peOffset >> (8 * i));
    if (peOffset + 4 <= b.size()) {
        b[peOffset] = 'P';
        b[peOffset + 1] = 'E';
    }
    const std::size_t field = peOffset + 24 + 68;
    if (field + 2 <= b.size()) {
        b[field] = static_cast<unsigned char>(subsystem);
        b[field + 1] = static_cast<unsigned char>(subsystem >> 8);
    }
    return b;
}

// The MS-DOS part alone, pointing at a PE header that is not there.
std::vector<unsigned char> DosOnly(std::uint32_t peOffset) {
    std::vector<unsigned char> b(128, 0);
    b[0] = 'M';
    b[1] = 'Z';
    for (int i = 0; i < 4; ++i)
        b[60 + i] = static_cast<unsigned char>(peOffset >> (8 * i));
    return b;
}

TEST(RunFile, WindowsGuiExecutableByItsPeHeader) {
    EXPECT_TRUE(IsWindowsGuiExecutable(Image(128, 2)));
    EXPECT_FALSE(IsWindowsGuiExecutable(Image(128, 3))); // console
    EXPECT_FALSE(IsWindowsGuiExecutable(Image(128, 0x0102)));
    // The PE header may sit inside the bytes read after the MS-DOS header.
    EXPECT_TRUE(IsWindowsGuiExecutable(Image(64, 2)));
    EXPECT_TRUE(IsWindowsGuiExecutable(Image(0x400, 2)));

    std::vector<unsigned char> noMz = Image(128, 2);
    noMz[1] = 'Y';
    EXPECT_FALSE(IsWindowsGuiExecutable(noMz));
    std::vector<unsigned char> noPe = Image(128, 2);
    noPe[130] = 1;
    EXPECT_FALSE(IsWindowsGuiExecutable(noPe));
    // Too short for the optional header, for the PE header, for the MS-DOS part.
    std::vector<unsigned char> cut = Image(128, 2);
    cut.resize(128 + 24 + 223);
    EXPECT_FALSE(IsWindowsGuiExecutable(cut));
    EXPECT_FALSE(IsWindowsGuiExecutable(DosOnly(0xFFFFFFF0u)));
    EXPECT_FALSE(IsWindowsGuiExecutable(DosOnly(100)));
    std::vector<unsigned char> tiny = {'M', 'Z'};
    EXPECT_FALSE(IsWindowsGuiExecutable(tiny));
    EXPECT_FALSE(IsWindowsGuiExecutable(std::span<const unsigned char>()));
    // An MS-DOS program: header only, PE offset 0 points at "MZ".
    EXPECT_FALSE(IsWindowsGuiExecutable(DosOnly(0)));
}

TEST(RunFile, WindowsGuiExecutableFile) {
    test::FakeFiles disk;
    auto is = [&disk](const char* name, const std::vector<unsigned char>& bytes) {
        disk.files[name].assign(bytes.begin(), bytes.end());
        return IsWindowsGuiExecutableFile(name, disk.Reader());
    };
    EXPECT_TRUE(is("gui.exe", Image(0x80, 2)));
    EXPECT_TRUE(is("far.exe", Image(0x2000, 2)));
    EXPECT_FALSE(is("con.exe", Image(0x80, 3)));
    std::vector<unsigned char> cut = Image(0x80, 2);
    cut.resize(cut.size() - 1);
    EXPECT_FALSE(is("cut.exe", cut));
    EXPECT_FALSE(is("beyond.exe", DosOnly(0x7FFFFFF0u)));
    EXPECT_FALSE(is("negative.exe", DosOnly(0xFFFFFFF0u)));
    EXPECT_FALSE(is("empty.exe", {}));
    EXPECT_FALSE(IsWindowsGuiExecutableFile("missing.exe", disk.Reader()));
}

} // namespace
} // namespace mireka
