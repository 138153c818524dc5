// Menu texts, check marks and enabling of the build and run commands.
#include "core/toolchain/BuildMenus.h"

#include <gtest/gtest.h>

namespace mireka {
namespace {

constexpr auto W = PathStyle::Windows;
constexpr auto P = PathStyle::Posix;
constexpr int kBcc = 0, kLsi = 1, kVctk = 2, kGcc = 3;

BuildSettings AllConfigured() {
    BuildSettings s;
    s.m_strLccPath = "C:\\LSIC86\\BIN\\LCC.EXE";
    s.m_strBccPath = "C:\\BCC55\\BIN\\BCC32.EXE";
    s.m_strVctkClPath = "C:\\VCTK\\bin\\cl.exe";
    s.m_strGccPath = "/usr/bin/gcc";
    return s;
}

BuildCommandState State(int kind, std::string path, bool ready = true) {
    BuildCommandState st;
    st.toolchain = kind;
    st.documentPath = std::move(path);
    st.ready = ready;
    return st;
}

TEST(BuildMenus, CompileTextNamesAnAcceptedSource) {
    const BuildSettings s = AllConfigured();
    // LSI C-86 compiles only ".c": a ".cpp" source disables the command.
    CommandUi ui = CompileUi(s, State(kLsi, "C:\\src\\test.cpp"), {}, W);
    EXPECT_EQ(ui.text, "コンパイル(&C)\tF7");
    EXPECT_FALSE(ui.enabled);
    for (int kind : {kBcc, kVctk}) {
        ui = CompileUi(s, State(kind, "C:\\src\\test.cpp"), {}, W);
        EXPECT_EQ(ui.text, "コンパイル(&C) test.cpp\tF7");
        EXPECT_TRUE(ui.enabled);
    }
    ui = CompileUi(s, State(kGcc, "/home/u/hello.c"), {}, P);
    EXPECT_EQ(ui.text, "コンパイル(&C) hello.c\tF7");
    EXPECT_TRUE(ui.enabled);
    // The extension is compared without case; Windows shows the name in lower case.
    ui = CompileUi(s, State(kLsi, "C:\\SRC\\HELLO.C"), {}, W);
    EXPECT_EQ(ui.text, "コンパイル(&C) hello.c\tF7");
    EXPECT_TRUE(ui.enabled);
    // POSIX keeps the name as it is: Hello.c and hello.c are two files there.
    EXPECT_EQ(CompileUi(s, State(kGcc, "/s/Hello.C"), {}, P).text, "コンパイル(&C) Hello.C\tF7");
    // LSI C-86 shows and tests its short form.
    const ShortPathFn shortPath = [](const std::string& p) -> std::optional<std::string> {
        if (p == "C:\\My Work\\Long Name.c") return "C:\\MYWORK~1\\LONGNA~1.C";
        return std::nullopt;
    };
    EXPECT_EQ(CompileUi(s, State(kLsi, "C:\\My Work\\Long Name.c"), shortPath, W).text,
              "コンパイル(&C) longna~1.c\tF7");
    EXPECT_EQ(CompileUi(s, State(kBcc, "C:\\My Work\\Long Name.c"), shortPath, W).text,
              "コンパイル(&C) long name.c\tF7");
    // Lower case never touches a double-byte character's trail byte ("ソ" is 83 5C, "ア" 83 41).
    EXPECT_EQ(CompileUi(s, State(kBcc, "C:\\s\\\x83\x41X.C"), {}, W).text,
              "コンパイル(&C) \x83\x41x.c\tF7");
    // A "&" in the name is shown, not taken for a mnemonic.
    EXPECT_EQ(CompileUi(s, State(kGcc, "/s/a&b.c"), {}, P).text, "コンパイル(&C) a&&b.c\tF7");
    // Another extension: disabled even when everything else is fine.
    EXPECT_FALSE(CompileUi(s, State(kGcc, "/s/notes.txt"), {}, P).enabled);
    EXPECT_FALSE(CompileUi(s, State(kGcc, "/s/Makefile"), {}, P).enabled);
}

TEST(BuildMenus, CompileNeedsAConfiguredKindAndNoRunningBuild) {
    const BuildSettings s = AllConfigured();
    // Untitled: the plain text, enabled so that the command can ask for a name.
    CommandUi ui = CompileUi(s, State(kBcc, ""), {}, W);
    EXPECT_EQ(ui.text, "コンパイル(&C)\tF7");
    EXPECT_TRUE(ui.enabled);
    EXPECT_FALSE(CompileUi(s, State(kBcc, ""), {}, W).checked);
    EXPECT_FALSE(CompileUi(s, State(kBcc, "", false), {}, W).enabled);
    EXPECT_FALSE(CompileUi(s, State(kBcc, "C:\\a.c", false), {}, W).enabled);
    EXPECT_EQ(CompileUi(s, State(kBcc, "C:\\a.c", false), {}, W).text, "コンパイル(&C) a.c\tF7");
    BuildSettings none;
    EXPECT_FALSE(CompileUi(none, State(kBcc, "C:\\a.c"), {}, W).enabled);
    EXPECT_FALSE(CompileUi(none, State(kGcc, ""), {}, P).enabled);
    // The selected kind decides, also a value outside the table (the toolkit).
    BuildSettings gccOnly;
    gccOnly.m_strGccPath = "/usr/bin/gcc";
    EXPECT_TRUE(CompileUi(gccOnly, State(kGcc, "/a.c"), {}, P).enabled);
    EXPECT_FALSE(CompileUi(gccOnly, State(kLsi, "/a.c"), {}, P).enabled);
    EXPECT_FALSE(CompileUi(gccOnly, State(9, "/a.c"), {}, P).enabled);
    EXPECT_TRUE(CompileUi(s, State(9, "/a.cpp"), {}, P).enabled);

    // The command run: same conditions and a named document.
    EXPECT_TRUE(RunCommandUi(s, State(kLsi, "/a.c")).enabled);
    EXPECT_FALSE(RunCommandUi(s, State(kLsi, "")).enabled);
    EXPECT_FALSE(RunCommandUi(s, State(kLsi, "/a.c", false)).enabled);
    EXPECT_FALSE(RunCommandUi(BuildSettings{}, State(kLsi, "/a.c")).enabled);
}

TEST(BuildMenus, DebugCompileForBorlandAndGcc) {
    const BuildSettings s = AllConfigured();
    EXPECT_TRUE(DebugCompileUi(s, State(kBcc, "")).enabled);
    EXPECT_TRUE(DebugCompileUi(s, State(kGcc, "")).enabled);
    EXPECT_FALSE(DebugCompileUi(s, State(kLsi, "")).enabled);
    EXPECT_FALSE(DebugCompileUi(s, State(kVctk, "")).enabled);
    EXPECT_FALSE(DebugCompileUi(s, State(kBcc, "", false)).enabled);
    BuildSettings noBcc = s;
    noBcc.m_strBccPath.clear();
    EXPECT_FALSE(DebugCompileUi(noBcc, State(kBcc, "")).enabled);
}

TEST(BuildMenus, ResponseFileCommands) {
    BuildSettings s = AllConfigured();
    CommandUi ui = ResponseCompileUi(s, State(kVctk, ""), W);
    EXPECT_EQ(ui.text, "コンパイル(&C) ");
    EXPECT_TRUE(ui.enabled);
    EXPECT_FALSE(ResponseRunUi(s, State(kVctk, ""), {}, W).enabled);
    EXPECT_EQ(ResponseRunUi(s, State(kVctk, ""), {}, W).text, "実行(&X)");
    EXPECT_FALSE(ResponseRunWithArgumentsUi(s).enabled);

    s.m_strResponseFile = "D:\\Work\\Prog.RSP";
    // The response file's name as stored; the program's in lower case.
    EXPECT_EQ(ResponseCompileUi(s, State(kVctk, ""), W).text, "コンパイル(&C) Prog.RSP");
    EXPECT_FALSE(ResponseCompileUi(s, State(kVctk, "", false), W).enabled);
    EXPECT_FALSE(ResponseCompileUi(BuildSettings{}, State(kVctk, ""), W).enabled);
    ui = ResponseRunUi(s, State(kVctk, ""), {}, W);
    EXPECT_EQ(ui.text, "実行(&X) prog.exe");
    EXPECT_TRUE(ui.enabled);
    EXPECT_TRUE(ResponseRunWithArgumentsUi(s).enabled);
    s.m_strResponseFile = "/w/prog.rsp";
    EXPECT_EQ(ResponseRunUi(s, State(kGcc, ""), {}, P).text, "実行(&X) prog");
    EXPECT_TRUE(ChooseResponseFileUi().enabled);
}

TEST(BuildMenus, RunTextNamesTheProgram) {
    const BuildSettings s = AllConfigured();
    CommandUi ui = RunUi(s, State(kBcc, "C:\\SRC\\Hello.C"), {}, W);
    EXPECT_EQ(ui.text, "実行(&X) hello.exe\tF5");
    EXPECT_TRUE(ui.enabled);
    // A run does not wait for a running build.
    EXPECT_TRUE(RunUi(s, State(kBcc, "C:\\SRC\\Hello.C", false), {}, W).enabled);
    EXPECT_EQ(RunUi(s, State(kGcc, "/home/u/hello.c"), {}, P).text, "実行(&X) hello\tF5");
    EXPECT_EQ(RunUi(s, State(kGcc, "C:\\u\\hello.c"), {}, W).text, "実行(&X) hello.exe\tF5");
    EXPECT_EQ(RunUi(s, State(kBcc, "/home/u/hello.c"), {}, P).text, "実行(&X) hello.exe\tF5");
    ui = RunUi(s, State(kBcc, ""), {}, W);
    EXPECT_EQ(ui.text, "実行(&X)\tF5");
    EXPECT_FALSE(ui.enabled);
    EXPECT_TRUE(RunWithArgumentsUi(State(kBcc, "/a.c", false)).enabled);
    EXPECT_FALSE(RunWithArgumentsUi(State(kBcc, "")).enabled);
}

TEST(BuildMenus, DebuggerNeedsItsKindAndTurboDebuggerBesideTheDriver) {
    const BuildSettings s = AllConfigured();
    BuildCommandState bcc = State(kBcc, "C:\\src\\hello.c");
    EXPECT_FALSE(DebuggerUi(s, bcc).enabled);
    bcc.debuggerFound = true;
    EXPECT_TRUE(DebuggerUi(s, bcc).enabled);
    bcc.ready = false;
    EXPECT_FALSE(DebuggerUi(s, bcc).enabled);
    bcc.ready = true;
    bcc.documentPath.clear();
    EXPECT_FALSE(DebuggerUi(s, bcc).enabled);
    // gdb missing is told when the command runs, so the command stays available for GCC.
    EXPECT_TRUE(DebuggerUi(s, State(kGcc, "/s/a.c")).enabled);
    EXPECT_FALSE(DebuggerUi(BuildSettings{}, State(kGcc, "/s/a.c")).enabled);
    BuildCommandState lsi = State(kLsi, "/s/a.c");
    lsi.debuggerFound = true;
    EXPECT_FALSE(DebuggerUi(s, lsi).enabled);
    EXPECT_FALSE(DebuggerUi(s, State(kVctk, "/s/a.c")).enabled);
}

TEST(BuildMenus, ToggleAndHelpCommands) {
    BuildSettings s = AllConfigured();
    EXPECT_TRUE(PauseUi(s).checked);
    EXPECT_TRUE(PauseUi(s).enabled);
    s.m_bPause = false;
    EXPECT_FALSE(PauseUi(s).checked);

    // The PIF is a Windows NT matter for LSI C-86 only.
    s.m_bPif = true;
    BuildCommandState lsi = State(kLsi, "");
    EXPECT_FALSE(PifUi(s, lsi).enabled);
    EXPECT_TRUE(PifUi(s, lsi).checked);
    lsi.windowsNt = true;
    EXPECT_TRUE(PifUi(s, lsi).enabled);
    BuildCommandState bcc = State(kBcc, "");
    bcc.windowsNt = true;
    EXPECT_FALSE(PifUi(s, bcc).enabled);
    EXPECT_FALSE(PifUi(s, bcc).checked);

    EXPECT_TRUE(BorlandHelpUi(s, W).enabled);
    EXPECT_FALSE(BorlandHelpUi(s, P).enabled); // no help engine
    s.m_strBccPath = "c:\\bcc\\bin\\bcc32.exe";
    EXPECT_TRUE(BorlandHelpUi(s, W).enabled);
    s.m_strBccPath = "C:\\BCC\\BIN\\BCC.EXE";
    EXPECT_FALSE(BorlandHelpUi(s, W).enabled);
    EXPECT_EQ(BorlandHelpPath("C:\\Borland\\bcc55\\Bin\\Bcc32.exe", W),
              "C:\\Borland\\bcc55\\HELP\\BCB5TOOL.HLP");
    EXPECT_EQ(BorlandHelpPath("/opt/bcc55/bin/bcc32.exe", P), "/opt/bcc55/HELP/BCB5TOOL.HLP");

    EXPECT_TRUE(VctkSettingsUi(s).enabled);
    s.m_strVctkClPath.clear();
    EXPECT_FALSE(VctkSettingsUi(s).enabled);
}

TEST(BuildMenus, ManualIsTheLsiManualOrWithGccTheCLibraryReference) {
    const struct {
        const char* lccPath;
        int toolchain;
        bool referenceInstalled;
        ManualKind kind;
    } cases[] = {
        {"C:\\LSIC86\\BIN\\LCC.EXE", kLsi, false, ManualKind::LsiManual},
        {"c:\\lsic86\\bin\\lcc.exe", kBcc, true, ManualKind::LsiManual}, // any selection
        {"C:\\LSIC86\\BIN\\LCC", kLsi, true, ManualKind::None},
        {"", kLsi, true, ManualKind::None},
        {"", kGcc, false, ManualKind::None},
        {"", kGcc, true, ManualKind::CReference},
        {"C:\\LSIC86\\BIN\\LCC.EXE", kGcc, true, ManualKind::CReference},
        {"C:\\LSIC86\\BIN\\LCC.EXE", kGcc, false, ManualKind::LsiManual},
    };
    for (const auto& c : cases) {
        BuildSettings s;
        s.m_strLccPath = c.lccPath;
        EXPECT_EQ(ChooseManual(s, c.toolchain, c.referenceInstalled, W), c.kind) << c.lccPath;
        const CommandUi ui = ManualUi(s, c.toolchain, c.referenceInstalled, W);
        EXPECT_EQ(ui.enabled, c.kind != ManualKind::None);
        EXPECT_EQ(ui.text, "ユーザーズ マニュアル(&M)");
    }
    BuildSettings posix;
    posix.m_strLccPath = "/opt/lsic86/bin/lcc.exe";
    EXPECT_EQ(ChooseManual(posix, kLsi, false, P), ManualKind::LsiManual);

    // The path keeps its own case; only the replaced part is new.
    EXPECT_EQ(LsiManualPath("C:\\LSIC86\\BIN\\LCC.EXE", W), "C:\\LSIC86\\MAN\\LSIC86.MAN");
    EXPECT_EQ(LsiManualPath("/opt/Lsic86/bin/lcc.exe", P), "/opt/Lsic86/MAN/LSIC86.MAN");
    EXPECT_EQ(LsiManualPath("D:\\bin\\lcc.exe\\BIN\\LCC.EXE", W),
              "D:\\MAN\\LSIC86.MAN\\MAN\\LSIC86.MAN");
    // No BIN folder: no manual, rather than the driver read as text.
    EXPECT_EQ(LsiManualPath("C:\\LCC.EXE", W), "");
}

} // namespace
} // namespace mireka
