#include "core/toolchain/CompilerSettings.h"

#include <gtest/gtest.h>

#include <set>

namespace mireka {
namespace {

const OptionGroup& Options(ToolchainKind kind) {
    return SettingsDialog(kind).options;
}
const OptionGroup& Library(ToolchainKind kind) {
    return *SettingsDialog(kind).library;
}

// What the dialog does when a box is clicked: the ticks as they are after the click.
std::string Click(const OptionGroup& group, std::string_view text,
                  const std::set<std::string_view>& ticked) {
    return RewriteGroup(group, text, [&](std::string_view t) { return ticked.contains(t); });
}

std::set<std::string_view> Ticked(const OptionGroup& group, const GroupState& state) {
    std::set<std::string_view> ticked;
    for (std::size_t i = 0; i < group.boxes.size(); ++i)
        if (state.ticked[i]) ticked.insert(group.boxes[i].token);
    return ticked;
}

TEST(CompilerSettingsTest, OpeningReadsTheBoxesAndAClickRewritesTheText) {
    using K = ToolchainKind;
    struct Case {
        K kind;
        bool library;
        std::string_view stored;
        std::string_view shown;                // the field when the dialog opens
        std::set<std::string_view> openTicks;  // ticked when it opens
        std::set<std::string_view> afterClick; // the ticks after the user's click
        std::string_view rewritten;
    };
    const Case cases[] = {
        // Borland: exact pieces; the order of the appended tokens is the table's.
        {K::Borland, false, "-O2 -A", "-O2 -A", {"-A"}, {"-A", "-C"}, "-O2 -A -C"},
        {K::Borland, false, "-O2 -A -C", "-O2 -A -C", {"-A", "-C"}, {"-C"}, "-O2 -C"},
        {K::Borland,
         false,
         "-WU -Ax  -W",
         "-WU -Ax  -W",
         {"-WU", "-W"},
         {"-W", "-WU", "-A"},
         "-Ax -A -W -WU"},
        // LSI C-86: "-j" is dropped by any click, "-O" is found inside "-Ox".
        {K::LsiC86, false, "-j -O", "-j -O", {"-O"}, {"-cn", "-O"}, "-cn -O"},
        {K::LsiC86, false, "-OO", "", {}, {}, ""},
        {K::LsiC86,
         false,
         "-Ox -OO -j0 -cu -I.",
         "-Ox  -j0 -cu -I.",
         {"-O"},
         {"-O"},
         "-Ox -I. -O"},
        {K::LsiC86, true, "-LMATHLIB", "-lmathlib", {"-lmathlib"}, {"-lmathlib"}, "-lmathlib"},
        {K::LsiC86,
         true,
         "-lmathlib -LNOEXPAND.OBJ X.LIB",
         "-lmathlib -lnoexpand.obj x.lib",
         {"-lmathlib", "-lnoexpand.obj"},
         {"-lmathlib", "-lnoexpand.obj", "-lexpand.obj"},
         "x.lib -lexpand.obj -lnoexpand.obj -lmathlib"},
        // Visual C++ Toolkit: the boxes are independent.
        {K::VcToolkit, false, "/O1 /W3", "/O1 /W3", {"/O1"}, {"/O1", "/O2"}, "/W3 /O1 /O2"},
        // GCC: every other piece stays where it was.
        {K::Gcc,
         false,
         "-Wall -finput-charset=CP932",
         "-Wall -finput-charset=CP932",
         {"-Wall"},
         {"-Wall", "-g", "-fsanitize=address,undefined"},
         "-finput-charset=CP932 -Wall -g -fsanitize=address,undefined"},
        {K::Gcc, false, "-O2x -Wall=no", "-O2x -Wall=no", {}, {"-O2"}, "-O2x -Wall=no -O2"},
        {K::Gcc, true, "-lcurses -LM", "-lcurses -LM", {}, {"-lm"}, "-lcurses -LM -lm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        const SettingsDialogDescriptor& d = SettingsDialog(c.kind);
        const OptionGroup& group = c.library ? Library(c.kind) : Options(c.kind);
        const GroupState state = OpenGroup(group, c.stored, !c.library && d.dropsDoubleO);
        EXPECT_EQ(state.text, c.shown);
        EXPECT_EQ(Ticked(group, state), c.openTicks);
        EXPECT_EQ(Click(group, state.text, c.afterClick), c.rewritten);
    }
}

TEST(CompilerSettingsTest, DialogsHaveTheirTitlesFieldsAndFileButtons) {
    EXPECT_EQ(SettingsDialog(ToolchainKind::LsiC86).title, "LSI C-86 試食版 の設定");
    EXPECT_EQ(SettingsDialog(ToolchainKind::Borland).title, "Borland C++ 5.5 の設定");
    EXPECT_EQ(SettingsDialog(ToolchainKind::VcToolkit).title, "VC++ Toolkit 2003 の設定");
    EXPECT_EQ(SettingsDialog(ToolchainKind::Gcc).title, "GCC の設定");
    EXPECT_EQ(SettingsDialog(ToolchainKind::VcToolkit).location, nullptr);
    EXPECT_EQ(SettingsDialog(ToolchainKind::Borland).library, nullptr);

    const LocationField& lsi = *SettingsDialog(ToolchainKind::LsiC86).location;
    const LocationField& bcc = *SettingsDialog(ToolchainKind::Borland).location;
    const LocationField& gcc = *SettingsDialog(ToolchainKind::Gcc).location;
    EXPECT_TRUE(EnablesFileButton(lsi, "c:\\lsic86\\bin\\lcc.exe"));
    EXPECT_FALSE(EnablesFileButton(lsi, "c:\\lsic86\\bin\\lcc.ex"));
    EXPECT_TRUE(EnablesFileButton(bcc, "c:\\borland\\bcc55\\bin\\bcc32.exe"));
    EXPECT_FALSE(EnablesFileButton(bcc, "c:\\lsic86\\bin\\lcc.exe"));
    EXPECT_FALSE(EnablesFileButton(gcc, "/usr/bin/gcc"));
}

TEST(CompilerSettingsTest, LccTokensSpanLinesAndKeepComments) {
    const std::string content = "  -IC:\\OLD\\INCLUDE\t-LC:\\OLD\\LIB # paths  \r\n"
                                "\r\n"
                                "#whole line\n"
                                "-XC:\\OLD\\BIN -v#tail\n"
                                "-T";
    const std::vector<std::string> expected = {"-IC:\\OLD\\INCLUDE",
                                               "-LC:\\OLD\\LIB",
                                               "# paths",
                                               "#whole line",
                                               "-XC:\\OLD\\BIN",
                                               "-v",
                                               "#tail",
                                               "-T"};
    EXPECT_EQ(TokenizeLcc(content), expected);
    EXPECT_TRUE(TokenizeLcc("").empty());
    EXPECT_EQ(TokenizeLcc(std::string(100000, 'a') + " b").size(), 2u);
}

TEST(CompilerSettingsTest, LccIsRewrittenForTheInstallation) {
    const std::vector<std::string> tokens = {
        "-IC:\\OLD\\INCLUDE", "-LC:\\OLD\\LIB", "# paths", "-Xold", "-", "-v", "x"};
    EXPECT_EQ(RewriteLcc(tokens, "C:\\LSIC86\\BIN\\LCC.EXE", PathStyle::Windows),
              "-IC:\\LSIC86\\INCLUDE\r\n-LC:\\LSIC86\\LIB\r\n# paths\r\n-XC:\\LSIC86\\BIN\r\n"
              "-\r\n-v\r\nx\r\n");
    EXPECT_EQ(LccFilePath("C:\\LSIC86\\BIN\\LCC.EXE", PathStyle::Windows), "C:\\LSIC86\\BIN\\_LCC");
    // A case-sensitive system: the folders keep the case the location spells them in.
    EXPECT_EQ(RewriteLcc(tokens, "/opt/Lsi C86/bin/lcc.exe", PathStyle::Posix),
              "-I/opt/Lsi C86/INCLUDE\r\n-L/opt/Lsi C86/LIB\r\n# paths\r\n-X/opt/Lsi C86/bin\r\n"
              "-\r\n-v\r\nx\r\n");
    EXPECT_EQ(LccFilePath("/opt/Lsi C86/bin/lcc.exe", PathStyle::Posix), "/opt/Lsi C86/bin/_LCC");
    // Without the driver's folder the file is looked for where the text points.
    EXPECT_EQ(LccFilePath("/opt/lcc.exe", PathStyle::Posix), "/opt/lcc.exeBIN/_LCC");
    // Windows takes either separator.
    EXPECT_EQ(LccFilePath("C:/LSIC86/bin/LCC.EXE", PathStyle::Windows), "C:/LSIC86/bin\\_LCC");
}

TEST(CompilerSettingsTest, BorlandConfigurationBesideTheDriver) {
    const BorlandConfig upper =
        MakeBorlandConfig("C:\\BORLAND\\BCC55\\BIN\\BCC32.EXE", PathStyle::Windows);
    EXPECT_EQ(upper.compilerFile, "C:\\BORLAND\\BCC55\\BIN\\bcc32.cfg");
    EXPECT_EQ(upper.linkerFile, "C:\\BORLAND\\BCC55\\BIN\\ilink32.cfg");
    EXPECT_EQ(upper.compilerText,
              "-I\"C:\\BORLAND\\BCC55\\include\"\r\n"
              "-L\"C:\\BORLAND\\BCC55\\lib;C:\\BORLAND\\BCC55\\lib\\PSDK\"\r\n");
    EXPECT_EQ(upper.linkerText, "-L\"C:\\BORLAND\\BCC55\\lib;C:\\BORLAND\\BCC55\\lib\\PSDK\"\r\n");
    const BorlandConfig lower = MakeBorlandConfig("/home/u/bcc55/bin/bcc32.exe", PathStyle::Posix);
    EXPECT_EQ(lower.compilerFile, "/home/u/bcc55/bin/bcc32.cfg");
    EXPECT_EQ(lower.linkerText, "-L\"/home/u/bcc55/lib;/home/u/bcc55/lib/PSDK\"\r\n");
}

} // namespace
} // namespace mireka
