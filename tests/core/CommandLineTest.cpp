// Compile, command, debugger and shell-window command lines for every toolchain.
#include "core/toolchain/CommandLine.h"

#include <gtest/gtest.h>

#include <set>

namespace mireka {
namespace {

constexpr auto W = PathStyle::Windows;
constexpr auto P = PathStyle::Posix;
constexpr int kBcc = 0, kLsi = 1, kVctk = 2, kGcc = 3;

CommandInterpreter Cmd() {
    MemoryEnvironment env{{"COMSPEC", "C:\\WINDOWS\\system32\\cmd.exe"}};
    return GetCommandInterpreter(env, W);
}

CommandInterpreter Sh() {
    return GetCommandInterpreter(MemoryEnvironment{}, P);
}

BuildSettings WindowsSettings() {
    BuildSettings s;
    s.m_strLccPath = "C:\\LSIC86\\BIN\\LCC.EXE";
    s.m_strBccPath = "C:\\BCC55\\BIN\\BCC32.EXE";
    s.m_strVctkClPath = "C:\\VCTK\\bin\\cl.exe";
    s.m_strGccPath = "C:\\MinGW\\bin\\gcc.exe";
    return s;
}

BuildSettings PosixSettings() {
    BuildSettings s;
    s.m_strLccPath = "/opt/fixtures/LCC.EXE";
    s.m_strBccPath = "/opt/fixtures/BCC32.EXE";
    s.m_strVctkClPath = "/opt/fixtures/cl.exe";
    s.m_strGccPath = "/usr/bin/gcc";
    return s;
}

std::string Line(const std::optional<BuildCommand>& c) {
    return c ? c->line : std::string("<none>");
}

TEST(CommandLine, InterpreterFromComspecOrThePlatformDefault) {
    const CommandInterpreter sh = Sh();
    EXPECT_EQ(sh.path, "/bin/sh");
    EXPECT_EQ(sh.name, "sh");
    EXPECT_EQ(sh.switchArg, "-c");
    EXPECT_EQ(sh.syntax, ShellSyntax::Posix);

    const CommandInterpreter cmd = GetCommandInterpreter(MemoryEnvironment{}, W);
    EXPECT_EQ(cmd.path, "CMD.EXE");
    EXPECT_EQ(cmd.name, "CMD.EXE");
    EXPECT_EQ(cmd.switchArg, "/C");
    EXPECT_EQ(cmd.syntax, ShellSyntax::Cmd);

    EXPECT_EQ(Cmd().path, "C:\\WINDOWS\\system32\\cmd.exe");
    EXPECT_EQ(Cmd().name, "cmd.exe");
    // An empty COMSPEC is no interpreter.
    EXPECT_EQ(GetCommandInterpreter(MemoryEnvironment{{"COMSPEC", ""}}, P).path, "/bin/sh");
    const CommandInterpreter bash =
        GetCommandInterpreter(MemoryEnvironment{{"COMSPEC", "/usr/bin/bash"}}, P);
    EXPECT_EQ(bash.path, "/usr/bin/bash");
    EXPECT_EQ(bash.name, "bash");
    EXPECT_EQ(bash.switchArg, "-c");

    // With COMSPEC unset on Windows NT the line starts with CMD.EXE /C.
    const auto c = MakeCompileCommand(kBcc, WindowsSettings(), "C:\\a\\b.c", false, cmd, {}, W);
    EXPECT_EQ(Line(c).rfind("CMD.EXE /C ", 0), 0u) << Line(c);
}

TEST(CommandLine, LsiC86UsesTheShortFormAndInsertsSettingsVerbatim) {
    BuildSettings s = WindowsSettings();
    s.m_strLccOption = "-O";
    const ShortPathFn shortPath = [](const std::string& p) -> std::optional<std::string> {
        if (p == "C:\\Program Files\\test.c") return "C:\\PROGRA~1\\TEST.C";
        if (p == "C:\\Program Files\\prog.rsp") return "C:\\PROGRA~1\\PROG.RSP";
        return std::nullopt;
    };
    const auto c =
        MakeCompileCommand(kLsi, s, "C:\\Program Files\\test.c", false, Cmd(), shortPath, W);
    ASSERT_TRUE(c);
    // The empty library leaves its space at the end.
    EXPECT_EQ(c->line, "cmd.exe /C LCC.EXE -O TEST.C ");
    EXPECT_EQ(c->command, "LCC.EXE -O TEST.C ");
    EXPECT_EQ(c->directory, "C:\\PROGRA~1\\");
    // The debug request changes nothing for LSI C-86.
    EXPECT_EQ(
        Line(MakeCompileCommand(kLsi, s, "C:\\Program Files\\test.c", true, Cmd(), shortPath, W)),
        "cmd.exe /C LCC.EXE -O TEST.C ");
    // Without a short form the long name is used, quoted as the interpreter needs.
    EXPECT_EQ(
        Line(MakeCompileCommand(kLsi, s, "C:\\My Work\\my test.c", false, Cmd(), shortPath, W)),
        "cmd.exe /C LCC.EXE -O \"my test.c\" ");
    s.m_strLccLibrary = "-lm";
    const auto r =
        MakeResponseCompileCommand(kLsi, s, "C:\\Program Files\\prog.rsp", Cmd(), shortPath, W);
    EXPECT_EQ(Line(r), "cmd.exe /C LCC.EXE -O -o PROG.exe @PROG.RSP -lm");
    EXPECT_EQ(r->directory, "C:\\PROGRA~1\\");
    // Empty options leave two adjacent spaces.
    s.m_strLccOption.clear();
    EXPECT_EQ(Line(MakeCompileCommand(kLsi, s, "C:\\src\\t.c", false, Cmd(), {}, W)),
              "cmd.exe /C LCC.EXE  t.c -lm");
}

TEST(CommandLine, BorlandDebugCompileAddsMinusV) {
    BuildSettings s = WindowsSettings();
    EXPECT_EQ(Line(MakeCompileCommand(kBcc, s, "C:\\src\\hello.c", false, Cmd(), {}, W)),
              "cmd.exe /C BCC32.EXE  \"hello.c\"");
    EXPECT_EQ(Line(MakeCompileCommand(kBcc, s, "C:\\src\\hello.c", true, Cmd(), {}, W)),
              "cmd.exe /C BCC32.EXE -v \"hello.c\"");
    s.m_strBccOption = "-A  ";
    EXPECT_EQ(Line(MakeCompileCommand(kBcc, s, "C:\\src\\hello.c", true, Cmd(), {}, W)),
              "cmd.exe /C BCC32.EXE -A -v \"hello.c\"");
    EXPECT_EQ(s.m_strBccOption, "-A  ");
    EXPECT_EQ(Line(MakeCompileCommand(kBcc, s, "C:\\src\\hello.c", false, Cmd(), {}, W)),
              "cmd.exe /C BCC32.EXE -A   \"hello.c\"");
    s.m_strBccOption = " \t";
    EXPECT_EQ(CompileOptions(Toolchain(ToolchainKind::Borland), s, true), "-v");
    s.m_strBccOption = "-O2";
    const auto r = MakeResponseCompileCommand(kBcc, s, "D:\\work\\prog.rsp", Cmd(), {}, W);
    EXPECT_EQ(Line(r), "cmd.exe /C BCC32.EXE -O2 -e\"prog.exe\" @prog.rsp");
    EXPECT_EQ(r->directory, "D:\\work\\");
    // The source's directory is the working directory; the driver is named, not its path.
    const auto c = MakeCompileCommand(kBcc, s, "C:\\My Work\\hello.c", false, Cmd(), {}, W);
    EXPECT_EQ(c->directory, "C:\\My Work\\");
    EXPECT_EQ(c->line, "cmd.exe /C BCC32.EXE -O2 \"hello.c\"");
}

TEST(CommandLine, VisualCppToolkitResponseFile) {
    BuildSettings s = WindowsSettings();
    s.m_strVctkOption = "/Za";
    const auto r = MakeResponseCompileCommand(kVctk, s, "D:\\work\\prog.rsp", Cmd(), {}, W);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->line, "cmd.exe /C cl.exe /Za /Fe\"prog.exe\" @prog.rsp");
    EXPECT_EQ(r->directory, "D:\\work\\");
    EXPECT_EQ(Line(MakeCompileCommand(kVctk, s, "D:\\work\\a.cpp", true, Cmd(), {}, W)),
              "cmd.exe /C cl.exe /Za \"a.cpp\"");
    // Any unknown selection is the toolkit.
    EXPECT_EQ(Line(MakeCompileCommand(42, s, "D:\\work\\a.cpp", false, Cmd(), {}, W)),
              "cmd.exe /C cl.exe /Za \"a.cpp\"");
}

TEST(CommandLine, GccFormats) {
    BuildSettings s = PosixSettings();
    s.m_strGccOption = "-Wall";
    s.m_strGccLibrary = "-lm";
    const auto c = MakeCompileCommand(kGcc, s, "/home/u/src/hello.c", false, Sh(), {}, P);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->line, "sh -c gcc -Wall \"hello.c\" -lm -o \"hello\"");
    EXPECT_EQ(c->command, "gcc -Wall \"hello.c\" -lm -o \"hello\"");
    EXPECT_EQ(c->directory, "/home/u/src/");
    EXPECT_EQ(Line(MakeCompileCommand(kGcc, s, "/home/u/src/hello.c", true, Sh(), {}, P)),
              "sh -c gcc -Wall -g \"hello.c\" -lm -o \"hello\"");
    s.m_strGccOption.clear();
    s.m_strGccLibrary.clear();
    EXPECT_EQ(Line(MakeCompileCommand(kGcc, s, "/home/u/src/hello.c", true, Sh(), {}, P)),
              "sh -c gcc -g \"hello.c\"  -o \"hello\"");
    s.m_strGccOption = "-O2 ";
    s.m_strGccLibrary = "-lm";
    EXPECT_EQ(Line(MakeResponseCompileCommand(kGcc, s, "/w/prog.rsp", Sh(), {}, P)),
              "sh -c gcc -O2  -o \"prog\" @prog.rsp -lm");
    // The driver found as cc is named cc.
    s.m_strGccPath = "/usr/bin/cc";
    EXPECT_EQ(Line(MakeCompileCommand(kGcc, s, "/w/a.c", false, Sh(), {}, P)),
              "sh -c cc -O2  \"a.c\" -lm -o \"a\"");
    // On Windows the program has ".exe".
    BuildSettings ws = WindowsSettings();
    ws.m_strGccOption = "-Wall";
    EXPECT_EQ(Line(MakeCompileCommand(kGcc, ws, "C:\\src\\hello.c", false, Cmd(), {}, W)),
              "cmd.exe /C gcc.exe -Wall \"hello.c\"  -o \"hello.exe\"");
}

TEST(CommandLine, ProgramNames) {
    EXPECT_EQ(ProgramName(ToolchainKind::Gcc, "/s/hello.c", P), "hello");
    EXPECT_EQ(ProgramName(ToolchainKind::Gcc, "/s/Hello.CPP", P), "Hello");
    EXPECT_EQ(ProgramName(ToolchainKind::Gcc, "/s/a.b.c", P), "a.b");
    // Never the input itself: a response file without extension keeps its contents.
    EXPECT_EQ(ProgramName(ToolchainKind::Gcc, "/s/build", P), "build.out");
    EXPECT_EQ(ProgramName(ToolchainKind::Gcc, "/s/.rsp", P), ".rsp.out");
    EXPECT_EQ(ProgramName(ToolchainKind::Gcc, "C:\\s\\hello.c", W), "hello.exe");
    EXPECT_EQ(ProgramName(ToolchainKind::Borland, "/s/hello.c", P), "hello.exe");
    EXPECT_EQ(ProgramName(ToolchainKind::LsiC86, "C:\\SRC\\Hello.C", W), "Hello.exe");
    EXPECT_EQ(ProgramName(ToolchainKind::VcToolkit, "D:\\work\\prog.rsp", W), "prog.exe");
}

TEST(CommandLine, HostileNamesAreQuotedForSh) {
    BuildSettings s = PosixSettings();
    s.m_strGccOption = "-Wall";
    s.m_strGccLibrary = "-lm";
    s.m_strLccOption = "-O";
    auto gcc = [&](const std::string& name) {
        return Line(MakeCompileCommand(kGcc, s, "/w/" + name, false, Sh(), {}, P));
    };
    auto lsi = [&](const std::string& name) {
        return Line(MakeCompileCommand(kLsi, s, "/w/" + name, false, Sh(), {}, P));
    };
    // Spaces are what the format's quotes are for.
    EXPECT_EQ(gcc("my prog.c"), "sh -c gcc -Wall \"my prog.c\" -lm -o \"my prog\"");
    EXPECT_EQ(lsi("my prog.c"), "sh -c LCC.EXE -O 'my prog.c' ");
    // Characters that double quotes do not protect leave them for single quotes.
    EXPECT_EQ(gcc("a$(touch x).c"), "sh -c gcc -Wall 'a$(touch x).c' -lm -o 'a$(touch x)'");
    EXPECT_EQ(gcc("a`id`.c"), "sh -c gcc -Wall 'a`id`.c' -lm -o 'a`id`'");
    EXPECT_EQ(gcc("a\"b.c"), "sh -c gcc -Wall 'a\"b.c' -lm -o 'a\"b'");
    EXPECT_EQ(gcc("a\\b.c"), "sh -c gcc -Wall 'a\\b.c' -lm -o 'a\\b'");
    // A single quote stays inside double quotes, or is spliced into single quotes.
    EXPECT_EQ(gcc("it's.c"), "sh -c gcc -Wall \"it's.c\" -lm -o \"it's\"");
    EXPECT_EQ(lsi("it's.c"), "sh -c LCC.EXE -O 'it'\\''s.c' ");
    EXPECT_EQ(gcc("$x'y.c"), "sh -c gcc -Wall '$x'\\''y.c' -lm -o '$x'\\''y'");
    for (const std::string name :
         {"a;b.c", "a&b.c", "a|b.c", "a>b.c", "a(b).c", "a*.c", "~a.c", "#a.c", "a\nb.c"}) {
        EXPECT_EQ(lsi(name), "sh -c LCC.EXE -O '" + name + "' ") << name;
        const std::string base = name.substr(0, name.size() - 2);
        EXPECT_EQ(gcc(name), "sh -c gcc -Wall \"" + name + "\" -lm -o \"" + base + "\"") << name;
    }
    // Plain names, also with non-ASCII letters, keep the exact form.
    EXPECT_EQ(lsi("\xe6\x97\xa5\xe6\x9c\xac-1_2.c"),
              "sh -c LCC.EXE -O \xe6\x97\xa5\xe6\x9c\xac-1_2.c ");
    // The response file's name after "@" and the output after "-o".
    s.m_strLccLibrary.clear();
    EXPECT_EQ(Line(MakeResponseCompileCommand(kLsi, s, "/w/my list.rsp", Sh(), {}, P)),
              "sh -c LCC.EXE -O -o 'my list.exe' @'my list.rsp' ");
    EXPECT_EQ(Line(MakeResponseCompileCommand(kBcc, s, "/w/a$b.rsp", Sh(), {}, P)),
              "sh -c BCC32.EXE  -e'a$b.exe' @'a$b.rsp'");
    // A driver path with a space in its name.
    s.m_strGccPath = "/opt/x/my gcc";
    EXPECT_EQ(gcc("a.c"), "sh -c 'my gcc' -Wall \"a.c\" -lm -o \"a\"");
}

TEST(CommandLine, HostileNamesAreQuotedForCmd) {
    BuildSettings s = WindowsSettings();
    s.m_strLccOption = "-O";
    auto bcc = [&](const std::string& name) {
        return Line(MakeCompileCommand(kBcc, s, "C:\\w\\" + name, false, Cmd(), {}, W));
    };
    auto lsi = [&](const std::string& name) {
        return Line(MakeCompileCommand(kLsi, s, "C:\\w\\" + name, false, Cmd(), {}, W));
    };
    EXPECT_EQ(bcc("a&b.c"), "cmd.exe /C BCC32.EXE  \"a&b.c\"");
    EXPECT_EQ(lsi("a&b.c"), "cmd.exe /C LCC.EXE -O \"a&b.c\" ");
    EXPECT_EQ(lsi("a^b(1).c"), "cmd.exe /C LCC.EXE -O \"a^b(1).c\" ");
    EXPECT_EQ(lsi("it's $x.c"), "cmd.exe /C LCC.EXE -O \"it's $x.c\" ");
    // "%" starts a variable even between quotes; outside them it is escaped.
    EXPECT_EQ(bcc("100%.c"), "cmd.exe /C BCC32.EXE  \"100\"^%\".c\"");
    EXPECT_EQ(bcc("a!b.c"), "cmd.exe /C BCC32.EXE  \"a\"^!\"b.c\"");
    // Names no Windows file can have cannot be passed at all.
    EXPECT_FALSE(MakeCompileCommand(kBcc, s, "C:\\w\\a\"b.c", false, Cmd(), {}, W));
    EXPECT_FALSE(MakeCompileCommand(kLsi, s, "C:\\w\\a\r\nb.c", false, Cmd(), {}, W));
    // A double-byte character whose trail byte is "|" or "\\" is one plain character.
    const std::string so = "\x83\x5C", pipe = "\x83\x7C";
    EXPECT_EQ(lsi(so + pipe + ".c"), "cmd.exe /C LCC.EXE -O " + so + pipe + ".c ");
    EXPECT_EQ(bcc(so + ".c"), "cmd.exe /C BCC32.EXE  \"" + so + ".c\"");
}

TEST(CommandLine, LongLinesAreBuiltWhole) {
    BuildSettings s = PosixSettings();
    const std::string name(300, 'x');
    const auto c = MakeCompileCommand(kGcc, s, "/w/" + name + ".c", false, Sh(), {}, P);
    ASSERT_TRUE(c);
    EXPECT_GT(c->line.size(), 600u);
    EXPECT_NE(c->line.find("\"" + name + ".c\""), std::string::npos);
    EXPECT_EQ(c->line.substr(c->line.size() - name.size() - 2), "\"" + name + "\"");
}

TEST(CommandLine, UserCommandRunsVerbatimInTheDocumentFolder) {
    const BuildCommand c = MakeUserCommand(Sh(), "ls -l | wc -l > \"out file\"", "/w/a.c", P);
    EXPECT_EQ(c.line, "sh -c ls -l | wc -l > \"out file\"");
    EXPECT_EQ(c.command, "ls -l | wc -l > \"out file\"");
    EXPECT_EQ(c.directory, "/w/");
    const BuildCommand w = MakeUserCommand(Cmd(), "dir /w", "C:\\src\\a.c", W);
    EXPECT_EQ(w.line, "cmd.exe /C dir /w");
    EXPECT_EQ(w.directory, "C:\\src\\");
}

TEST(CommandLine, DebuggerBesideTheDriverOrOnPath) {
    const std::set<std::string> files = {"C:\\BCC55\\BIN\\TD32.EXE", "/usr/bin/gdb",
                                         "C:\\src\\hello.exe", "/src/hello"};
    FileProbe probe;
    probe.exists = [&](const std::string& p) { return files.count(p) > 0; };
    probe.executable = probe.exists;
    BuildSettings s = WindowsSettings();
    EXPECT_EQ(FindDebugger(kBcc, s, "", probe, W), "C:\\BCC55\\BIN\\TD32.EXE");
    EXPECT_EQ(FindDebugger(kGcc, s, "/bin:/usr/bin", probe, P), "/usr/bin/gdb");
    EXPECT_EQ(FindDebugger(kGcc, s, "/bin", probe, P), "");
    EXPECT_EQ(FindDebugger(kLsi, s, "/usr/bin", probe, P), "");
    EXPECT_EQ(FindDebugger(kVctk, s, "/usr/bin", probe, P), "");
    s.m_strBccPath = "D:\\BCC\\BIN\\BCC32.EXE";
    EXPECT_EQ(FindDebugger(kBcc, s, "", probe, W), "");
    s.m_strBccPath.clear();
    EXPECT_EQ(FindDebugger(kBcc, s, "", probe, W), "");

    // Turbo Debugger gets the program in quotes and runs in the source's folder.
    DebuggerPlan td =
        PlanDebugger(kBcc, "C:\\src\\hello.c", "C:\\BCC55\\BIN\\TD32.EXE", probe.exists, W);
    ASSERT_EQ(td.action, DebuggerPlan::Action::Launch);
    EXPECT_EQ(td.launch.program, "C:\\BCC55\\BIN\\TD32.EXE");
    EXPECT_EQ(td.launch.parameters, "\"hello.exe\"");
    EXPECT_EQ(td.launch.arguments, std::vector<std::string>{"hello.exe"});
    EXPECT_EQ(td.launch.directory, "C:\\src\\");
    EXPECT_FALSE(td.launch.newTerminal);

    // gdb runs in a terminal on "./hello", never on a "hello" found on PATH.
    DebuggerPlan gdb = PlanDebugger(kGcc, "/src/hello.c", "/usr/bin/gdb", probe.exists, P);
    ASSERT_EQ(gdb.action, DebuggerPlan::Action::Launch);
    EXPECT_EQ(gdb.launch.program, "/usr/bin/gdb");
    EXPECT_EQ(gdb.launch.arguments, std::vector<std::string>{"./hello"});
    EXPECT_EQ(gdb.launch.directory, "/src/");
    EXPECT_TRUE(gdb.launch.newTerminal);

    // A program that is not there: the message names it.
    DebuggerPlan missing = PlanDebugger(kGcc, "/src/other.c", "/usr/bin/gdb", probe.exists, P);
    EXPECT_EQ(missing.action, DebuggerPlan::Action::MissingProgram);
    EXPECT_EQ(missing.message, "other が有りません！");
    EXPECT_EQ(PlanDebugger(kBcc, "C:\\src\\x.cpp", "C:\\B\\TD32.EXE", probe.exists, W).message,
              "x.exe が有りません！");
    // No gdb: the same message names gdb.
    EXPECT_EQ(PlanDebugger(kGcc, "/src/hello.c", "", probe.exists, P).message,
              "gdb が有りません！");
    // Other kinds and other extensions do nothing at all.
    EXPECT_EQ(PlanDebugger(kLsi, "/src/hello.c", "/usr/bin/gdb", probe.exists, P).action,
              DebuggerPlan::Action::Nothing);
    EXPECT_EQ(PlanDebugger(kGcc, "/src/hello.h", "/usr/bin/gdb", probe.exists, P).action,
              DebuggerPlan::Action::Nothing);
    EXPECT_EQ(PlanDebugger(kBcc, "C:\\src\\HELLO.CPP", "C:\\B\\TD32.EXE", probe.exists, W).action,
              DebuggerPlan::Action::MissingProgram);
}

TEST(CommandLine, ShellWindowOpensTheInterpreterInTheSourceFolder) {
    const LaunchCommand c = MakeShellWindowCommand(Sh(), "/home/u/src/a.c", P);
    EXPECT_EQ(c.program, "/bin/sh");
    EXPECT_TRUE(c.arguments.empty());
    EXPECT_EQ(c.directory, "/home/u/src/");
    EXPECT_TRUE(c.newTerminal);
}

} // namespace
} // namespace mireka
