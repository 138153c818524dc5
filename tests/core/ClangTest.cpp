// clang behind the gcc driver: telling it apart and the options it is given.
#include "core/toolchain/Clang.h"
#include "core/toolchain/CommandLine.h"

#include <gtest/gtest.h>

namespace mireka {
namespace {

TEST(Clang, VersionTextNamesIt) {
    EXPECT_TRUE(IsClangVersionText("Debian clang version 14.0.6\nTarget: x86_64-pc-linux-gnu\n"));
    EXPECT_TRUE(IsClangVersionText("Apple Clang version 15.0.0 (clang-1500.1.0.2.5)\n"));
    EXPECT_FALSE(IsClangVersionText("gcc (Debian 12.2.0-14) 12.2.0\nCopyright (C) 2022 Free "
                                    "Software Foundation, Inc.\n"));
    EXPECT_FALSE(IsClangVersionText(""));
    EXPECT_FALSE(IsClangVersionText("clan"));
}

TEST(Clang, CharsetOptionsGoAndEverythingElseStays) {
    const struct {
        std::string options, expected;
    } rows[] = {
        {"-Wall -finput-charset=CP932", "-Wall"},
        {"-Wall -finput-charset=CP932 -fexec-charset=CP932", "-Wall"},
        {"-finput-charset=CP932 -O2", "-O2"},
        {"-fexec-charset=x -finput-charset=y  -O2", "-O2"},
        {"  -O2  -fexec-charset=cp932\t -g ", "  -O2\t -g "},
        {"-finput-charset=CP932", ""},
        {"", ""},
        // Not a word of its own, or not one of the two.
        {"-DMSG=\"a -finput-charset=x\" -Wall", "-DMSG=\"a -finput-charset=x\" -Wall"},
        {"-DA='b -fexec-charset=c' -finput-charset=d", "-DA='b -fexec-charset=c'"},
        {"-Dx\\ -finput-charset=y", "-Dx\\ -finput-charset=y"},
        {"-fwide-exec-charset=UTF-32 -finput-charset",
         "-fwide-exec-charset=UTF-32 -finput-charset"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(WithoutCharsetOptions(r.options), r.expected) << r.options;
}

TEST(Clang, AUtf8SourceGoesWithoutTheInputCharsetOfTheOtherEncoding) {
    const struct {
        std::string options;
        Encoding encoding;
        std::string expected;
    } rows[] = {
        {"-Wall -finput-charset=CP932", Encoding::Utf8, "-Wall"},
        {"-Wall -finput-charset=CP932 -fexec-charset=CP932", Encoding::Utf8,
         "-Wall -fexec-charset=CP932"},
        {"-finput-charset=UTF-8 -g", Encoding::Utf8, "-g"},
        {"-DA='-finput-charset=x' -O2", Encoding::Utf8, "-DA='-finput-charset=x' -O2"},
        {"-Wall -finput-charset=CP932", Encoding::Cp932, "-Wall -finput-charset=CP932"},
        {"-Wall -finput-charset=CP932 -fexec-charset=CP932", Encoding::Cp932,
         "-Wall -finput-charset=CP932 -fexec-charset=CP932"},
    };
    for (const auto& r : rows) {
        BuildSettings s;
        s.m_strGccOption = r.options;
        s.m_strBccOption = "-finput-charset=CP932";
        const BuildSettings out = ForSourceEncoding(s, r.encoding);
        EXPECT_EQ(out.m_strGccOption, r.expected) << r.options;
        EXPECT_EQ(out.m_strBccOption, s.m_strBccOption) << "only GCC's options change";
    }
}

TEST(Clang, TheClangCompileDiffersOnlyInTheOptions) {
    BuildSettings s;
    s.m_strGccPath = "/usr/bin/cc";
    s.m_strGccOption = "-Wall -finput-charset=CP932";
    s.m_strGccLibrary = "-lm";
    const MemoryEnvironment env;
    const CommandInterpreter sh = GetCommandInterpreter(env, PathStyle::Posix);
    const auto gcc = MakeCompileCommand(3, s, "/w/hello.c", true, sh, {}, PathStyle::Posix);
    const auto clang =
        MakeCompileCommand(3, ForClangDriver(s), "/w/hello.c", true, sh, {}, PathStyle::Posix);
    ASSERT_TRUE(gcc && clang);
    EXPECT_EQ(gcc->line, "sh -c cc -Wall -finput-charset=CP932 -g \"hello.c\" -lm -o \"hello\"");
    EXPECT_EQ(clang->line, "sh -c cc -Wall -g \"hello.c\" -lm -o \"hello\"");
    EXPECT_EQ(clang->directory, gcc->directory);
    EXPECT_EQ(ForClangDriver(s).m_strGccLibrary, "-lm");
}

} // namespace
} // namespace mireka
