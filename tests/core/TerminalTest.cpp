// The argument vectors each terminal emulator gets, for a run file in a folder with a blank.
#include "core/toolchain/Terminal.h"

#include <gtest/gtest.h>

namespace mireka {
namespace {

using Args = std::vector<std::string>;

const std::string kRunFile = "/home/u/.local/share/UMO Software/Mireka/do_exe.sh";
const std::string kQuotedRunFile = "'/home/u/.local/share/UMO Software/Mireka/do_exe.sh'";

LaunchCommand RunFileLaunch() {
    LaunchCommand c;
    c.program = "/bin/sh";
    c.arguments = {kRunFile};
    c.directory = "/home/u/my src/";
    c.newTerminal = true;
    return c;
}

std::optional<Args> ArgsFor(std::vector<std::string> names, const LaunchCommand& c) {
    return TerminalArguments(TerminalConventionFor(names), c);
}

TEST(Terminal, EveryEmulatorGetsTheCommandItsOwnWay) {
    struct Row {
        std::string name;
        Args expected;
    };
    const Args words = {"/bin/sh", kRunFile};
    const auto with = [&](Args lead) {
        lead.insert(lead.end(), words.begin(), words.end());
        return lead;
    };
    const std::string line = "/bin/sh " + kQuotedRunFile;
    const std::vector<Row> rows = {
        {"xterm", with({"-e"})},
        {"uxterm", with({"-e"})},
        {"urxvt", with({"-e"})},
        {"st", with({"-e"})},
        {"alacritty", with({"-e"})},
        {"kitty", words},
        {"foot", words},
        {"konsole", with({"--workdir", "/home/u/my src/", "-e"})},
        {"gnome-terminal", with({"--"})},
        {"gnome-terminal.wrapper", with({"-e"})},
        {"kgx", with({"--working-directory", "/home/u/my src/", "--"})},
        {"ptyxis", with({"-d", "/home/u/my src/", "--"})},
        {"mate-terminal", with({"-x"})},
        {"mate-terminal.wrapper", {"-e", line}},
        {"xfce4-terminal", with({"-x"})},
        {"xfce4-terminal.wrapper", {"-e", line}},
        {"terminator", with({"-x"})},
        {"tilix", {"-e", line}},
        {"tilix.wrapper", {"-e", line}},
        {"lxterminal", {"-e", line}},
        {"terminology", {"-e", line}},
        {"qterminal", {"-e", line}},
        {"wezterm", with({"start", "--cwd", "/home/u/my src/", "--"})},
        {"my-own-term", with({"-e"})}, // unknown: the xterm way
    };
    for (const Row& r : rows)
        EXPECT_EQ(ArgsFor({r.name}, RunFileLaunch()), r.expected) << r.name;
}

TEST(Terminal, TheFirstKnownNameAlongTheLinksDecides) {
    const LaunchCommand c = RunFileLaunch();
    // x-terminal-emulator -> /etc/alternatives/x-terminal-emulator -> xfce4-terminal.wrapper
    EXPECT_EQ(ArgsFor({"x-terminal-emulator", "x-terminal-emulator", "xfce4-terminal.wrapper"}, c),
              (Args{"-e", "/bin/sh " + kQuotedRunFile}));
    EXPECT_EQ(ArgsFor({"term", "kitty"}, c), (Args{"/bin/sh", kRunFile}));
    EXPECT_EQ(ArgsFor({"x-terminal-emulator", "unknown"}, c), (Args{"-e", "/bin/sh", kRunFile}));
    EXPECT_EQ(ArgsFor({}, c), (Args{"-e", "/bin/sh", kRunFile}));
}

TEST(Terminal, OneStringFormsKeepEveryWordOrRefuse) {
    LaunchCommand gdb;
    gdb.program = "/usr/bin/gdb";
    gdb.arguments = {"./it's a $HOME; `x` prog"};
    // The shell-like splitters get the word back whole through single quotes.
    EXPECT_EQ(ArgsFor({"lxterminal"}, gdb),
              (Args{"-e", "/usr/bin/gdb './it'\\''s a $HOME; `x` prog'"}));
    // qterminal and konsole put a variable's value in place of "$HOME" whatever the quoting.
    EXPECT_EQ(ArgsFor({"qterminal"}, gdb), std::nullopt);
    EXPECT_EQ(ArgsFor({"konsole"}, gdb), std::nullopt);
    gdb.arguments = {"./it's 100$ prog"};
    EXPECT_EQ(ArgsFor({"qterminal"}, gdb), (Args{"-e", "/usr/bin/gdb \"./it's 100$ prog\""}));
    EXPECT_EQ(ArgsFor({"konsole"}, gdb), (Args{"-e", "/usr/bin/gdb", "./it's 100$ prog"}));
    gdb.arguments = {"both ' and \""};
    EXPECT_EQ(ArgsFor({"qterminal"}, gdb), std::nullopt) << "no quote can hold both";
    EXPECT_EQ(ArgsFor({"xterm"}, gdb), (Args{"-e", "/usr/bin/gdb", "both ' and \""}));

    // The shell window: the interpreter alone, no directory option without a document.
    LaunchCommand shell;
    shell.program = "/bin/sh";
    shell.newTerminal = true;
    EXPECT_EQ(ArgsFor({"wezterm"}, shell), (Args{"start", "--", "/bin/sh"}));
    EXPECT_EQ(ArgsFor({"tilix"}, shell), (Args{"-e", "/bin/sh"}));
    EXPECT_EQ(ArgsFor({"kitty"}, shell), (Args{"/bin/sh"}));
}

} // namespace
} // namespace mireka
