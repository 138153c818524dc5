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
        {K::LsiC86, false, "-Ox -OO -j0 -cu -I.", "-Ox  -j0 -cu -I.", {"-O"}, {"-O"}, "-Ox -I. -O"},
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
    using P = PathStyle;
    const std::vector<std::string> tokens = {
        "-IC:\\OLD\\INCLUDE", "-LC:\\OLD\\LIB", "# paths", "-Xold", "-", "-v", "x"};
    struct Case {
        std::string_view location;
        P style;
        std::string_view file, include, lib, bin; // bin: what -X gets
    };
    const Case cases[] = {
        {"C:\\LSIC86\\BIN\\LCC.EXE", P::Windows, "C:\\LSIC86\\BIN\\_LCC", "C:\\LSIC86\\INCLUDE",
         "C:\\LSIC86\\LIB", "C:\\LSIC86\\BIN"},
        // Windows takes either separator.
        {"C:/LSIC86/bin/LCC.EXE", P::Windows, "C:/LSIC86/bin\\_LCC", "C:/LSIC86/include",
         "C:/LSIC86/lib", "C:/LSIC86/bin"},
        // A case-sensitive system: the folders are spelt in the case of the driver's folder.
        {"/opt/lsic86/bin/lcc.exe", P::Posix, "/opt/lsic86/bin/_LCC", "/opt/lsic86/include",
         "/opt/lsic86/lib", "/opt/lsic86/bin"},
        {"/opt/LSIC86/Bin/LCC.EXE", P::Posix, "/opt/LSIC86/Bin/_LCC", "/opt/LSIC86/Include",
         "/opt/LSIC86/Lib", "/opt/LSIC86/Bin"},
        {"/opt/lsic86/BIN/lcc.exe", P::Posix, "/opt/lsic86/BIN/_LCC", "/opt/lsic86/INCLUDE",
         "/opt/lsic86/LIB", "/opt/lsic86/BIN"},
        // Without BIN/LCC.EXE: the driver's own folder and its parent.
        {"/opt/lsic/lcc.exe", P::Posix, "/opt/lsic/_LCC", "/opt/include", "/opt/lib", "/opt/lsic"},
        {"/home/u/LSI86/bin2/LCC.EXE", P::Posix, "/home/u/LSI86/bin2/_LCC", "/home/u/LSI86/include",
         "/home/u/LSI86/lib", "/home/u/LSI86/bin2"},
        {"/lcc.exe", P::Posix, "/_LCC", "/INCLUDE", "/LIB", "/"},
        {"D:\\Tools\\Lsi\\lcc.exe", P::Windows, "D:\\Tools\\Lsi\\_LCC", "D:\\Tools\\Include",
         "D:\\Tools\\Lib", "D:\\Tools\\Lsi"},
        {"C:\\LCC.EXE", P::Windows, "C:\\_LCC", "C:\\INCLUDE", "C:\\LIB", "C:\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.location);
        EXPECT_EQ(LccFilePath(c.location, c.style), c.file);
        EXPECT_TRUE(LccFoldersAreTokens(c.location, c.style));
        const std::string rewritten = RewriteLcc(tokens, c.location, c.style);
        EXPECT_EQ(rewritten, "-I" + std::string(c.include) + "\r\n-L" + std::string(c.lib) +
                                 "\r\n# paths\r\n-X" + std::string(c.bin) + "\r\n-\r\n-v\r\nx\r\n");
        EXPECT_EQ(RewriteLcc(TokenizeLcc(rewritten), c.location, c.style), rewritten)
            << "a second rewrite changes nothing";
    }
}

TEST(CompilerSettingsTest, LccIsNotWrittenWithFoldersThatWouldSplitIntoTokens) {
    for (const std::string_view location :
         {"/opt/Lsi C86/bin/lcc.exe", "/opt/lsi\tc/bin/lcc.exe", "/opt/c#/bin/lcc.exe",
          "/opt/Lsi C86/lcc.exe", "/opt/a b/lsic/lcc.exe"}) {
        EXPECT_FALSE(LccFoldersAreTokens(location, PathStyle::Posix)) << location;
    }
    EXPECT_FALSE(
        LccFoldersAreTokens("C:\\Program Files\\LSIC86\\BIN\\LCC.EXE", PathStyle::Windows));
    // Only the folders are written: the driver's own name does not matter.
    EXPECT_TRUE(LccFoldersAreTokens("/opt/lsic86/bin/my lcc.exe", PathStyle::Posix));
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
