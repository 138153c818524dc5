// Shortcut text as a desktop entry: keys, and escaping that no value can get out of.
#include "core/app/ShellLink.h"

#include <gtest/gtest.h>

#include <sstream>

namespace mireka {
namespace {

// The lines of a desktop entry.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    return lines;
}

TEST(ShellLink, ShortcutToTheProgram) {
    ShellLink link;
    link.name = "Mireka";
    link.target = "/opt/mireka/bin/mireka";
    link.description = "C 言語学習用の統合開発環境";
    EXPECT_EQ(MakeDesktopEntry(link), "[Desktop Entry]\n"
                                      "Type=Application\n"
                                      "Version=1.0\n"
                                      "Name=Mireka\n"
                                      "Comment=C 言語学習用の統合開発環境\n"
                                      "Exec=/opt/mireka/bin/mireka\n"
                                      "Terminal=false\n");
    // Arguments and a working directory when given.
    link.arguments = {"-c", "/tmp/do_exe.sh"};
    link.workingDirectory = "/home/u/src";
    link.description.reset();
    const std::vector<std::string> lines = Lines(MakeDesktopEntry(link));
    EXPECT_EQ(lines, (std::vector<std::string>{"[Desktop Entry]", "Type=Application", "Version=1.0",
                                               "Name=Mireka",
                                               "Exec=/opt/mireka/bin/mireka -c /tmp/do_exe.sh",
                                               "Path=/home/u/src", "Terminal=false"}));
    // The program's shortcut: its icon, and a file dropped on it is opened.
    link.arguments.clear();
    link.workingDirectory.reset();
    link.target = "/opt/my mireka/mireka";
    link.icon = "/home/u/.local/share/mireka 100%.png";
    link.takesFile = true;
    EXPECT_EQ(
        Lines(MakeDesktopEntry(link)),
        (std::vector<std::string>{"[Desktop Entry]", "Type=Application", "Version=1.0",
                                  "Name=Mireka", "Exec=\"/opt/my mireka/mireka\" %f",
                                  "Icon=/home/u/.local/share/mireka 100%.png", "Terminal=false"}));
}

TEST(ShellLink, ExecArgumentsAreQuotedAndEscaped) {
    EXPECT_EQ(QuoteDesktopArgument("plain-1.0_x/y=z"), "plain-1.0_x/y=z");
    EXPECT_EQ(QuoteDesktopArgument("my file"), "\"my file\"");
    EXPECT_EQ(QuoteDesktopArgument(""), "\"\"");
    EXPECT_EQ(QuoteDesktopArgument("a\"b"), "\"a\\\"b\"");
    EXPECT_EQ(QuoteDesktopArgument("$HOME"), "\"\\$HOME\"");
    EXPECT_EQ(QuoteDesktopArgument("`id`"), "\"\\`id\\`\"");
    EXPECT_EQ(QuoteDesktopArgument("a;b"), "\"a;b\"");
    EXPECT_EQ(QuoteDesktopArgument("it's"), "\"it's\"");
    // "%" would start a field code.
    EXPECT_EQ(QuoteDesktopArgument("100%"), "100%%");
    EXPECT_EQ(QuoteDesktopArgument("%f x"), "\"%%f x\"");

    // A backslash is quoted, then escaped again as a string: four in the file.
    ShellLink link;
    link.name = "x";
    link.target = "/opt/a\\b/prog";
    link.arguments = {"line\nbreak"};
    const std::vector<std::string> lines = Lines(MakeDesktopEntry(link));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[4], "Exec=\"/opt/a\\\\\\\\b/prog\" \"line\\nbreak\"");
}

TEST(ShellLink, NoValueCanAddAKey) {
    ShellLink link;
    link.name = "Evil\nExec=rm -rf ~\r\n[Desktop Entry]";
    link.target = "/bin/true";
    link.description = "\tdesc\\n ";
    link.workingDirectory = " /tmp/x\ny";
    const std::vector<std::string> lines = Lines(MakeDesktopEntry(link));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[3], "Name=Evil\\nExec=rm -rf ~\\r\\n[Desktop Entry]");
    EXPECT_EQ(lines[4], "Comment=\\tdesc\\\\n\\s");
    EXPECT_EQ(lines[5], "Exec=/bin/true");
    EXPECT_EQ(lines[6], "Path=\\s/tmp/x\\ny");
    // Every line is a group header or a key, and each key appears once.
    int execs = 0;
    for (const std::string& l : lines) {
        EXPECT_TRUE(l == "[Desktop Entry]" || l.find('=') != std::string::npos) << l;
        execs += l.rfind("Exec=", 0) == 0;
    }
    EXPECT_EQ(execs, 1);
    // Control characters that no value can hold are left out.
    EXPECT_EQ(EscapeDesktopString(std::string("a\x01"
                                              "b\x7f"
                                              "c")),
              "abc");
    EXPECT_EQ(EscapeDesktopString(" "), "\\s");
    EXPECT_EQ(EscapeDesktopString("a b"), "a b");
}

} // namespace
} // namespace mireka
