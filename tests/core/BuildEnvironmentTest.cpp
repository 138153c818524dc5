// List variables (PATH, INCLUDE, LIB) and look-ups on PATH.
#include "core/toolchain/CommandLine.h"
#include "core/toolchain/Environment.h"

#include <gtest/gtest.h>

#include <set>

namespace mireka {
namespace {

constexpr auto W = PathStyle::Windows;
constexpr auto P = PathStyle::Posix;

TEST(BuildEnvironment, PrependPutsTheDirectoryInFrontOnce) {
    EXPECT_EQ(PrependedListValue("C:\\WINDOWS", "C:\\BCC55\\BIN", W), "C:\\BCC55\\BIN;C:\\WINDOWS");
    // An empty value keeps a single trailing separator.
    EXPECT_EQ(PrependedListValue("", "C:\\BCC55\\BIN", W), "C:\\BCC55\\BIN;");
    // Present as an element followed by a separator: unchanged.
    EXPECT_FALSE(PrependedListValue("C:\\BCC55\\BIN;C:\\WINDOWS", "C:\\BCC55\\BIN", W));
    EXPECT_FALSE(PrependedListValue("C:\\A;C:\\BCC55\\BIN;C:\\W", "C:\\BCC55\\BIN", W));
    // Plain and case-sensitive.
    EXPECT_EQ(PrependedListValue("c:\\bcc55\\bin;X", "C:\\BCC55\\BIN", W),
              "C:\\BCC55\\BIN;c:\\bcc55\\bin;X");
    // The last element has no separator after it, so it is not found and is put in front.
    EXPECT_EQ(PrependedListValue("/usr/bin:/opt/gcc/bin", "/opt/gcc/bin", P),
              "/opt/gcc/bin:/usr/bin:/opt/gcc/bin");
    // A longer directory ending in the same text is another directory.
    EXPECT_EQ(PrependedListValue("/home/u/opt/gcc/bin:/usr/bin", "/opt/gcc/bin", P),
              "/opt/gcc/bin:/home/u/opt/gcc/bin:/usr/bin");
    // ... also when the real element follows it.
    EXPECT_FALSE(PrependedListValue("/x/opt/bin:/opt/bin:/usr/bin", "/opt/bin", P));
    // Nothing to put in front.
    EXPECT_FALSE(PrependedListValue("/usr/bin", "", P));

    MemoryEnvironment env;
    EXPECT_TRUE(PrependToEnvironmentVariable(env, "PATH", "/opt/gcc/bin", P));
    EXPECT_EQ(env.Get("PATH"), "/opt/gcc/bin:");
    EXPECT_TRUE(PrependToEnvironmentVariable(env, "PATH", "/opt/gcc/bin", P));
    EXPECT_EQ(env.Get("PATH"), "/opt/gcc/bin:");
    EXPECT_TRUE(PrependToEnvironmentVariable(env, "PATH", "/usr/bin", P));
    EXPECT_EQ(env.Get("PATH"), "/usr/bin:/opt/gcc/bin:");
}

TEST(BuildEnvironment, ToolchainDirectoryGoesInFrontOfPath) {
    EXPECT_EQ(ToolchainDirForPath("/usr/bin/gcc", {}, P), "/usr/bin");
    EXPECT_EQ(ToolchainDirForPath("C:\\BCC55\\BIN\\BCC32.EXE", {}, W), "C:\\BCC55\\BIN");
    // A driver named without a directory is found on PATH as it is.
    EXPECT_EQ(ToolchainDirForPath("gcc", {}, P), "");
    // A root stays a root.
    EXPECT_EQ(ToolchainDirForPath("/gcc", {}, P), "/");
    EXPECT_EQ(ToolchainDirForPath("C:\\LCC.EXE", {}, W), "C:\\");
    // The short form is used when there is one.
    const ShortPathFn shortPath = [](const std::string& p) -> std::optional<std::string> {
        if (p == "C:\\Program Files\\LSIC86\\BIN\\LCC.EXE")
            return "C:\\PROGRA~1\\LSIC86\\BIN\\LCC.EXE";
        return std::nullopt;
    };
    EXPECT_EQ(ToolchainDirForPath("C:\\Program Files\\LSIC86\\BIN\\LCC.EXE", shortPath, W),
              "C:\\PROGRA~1\\LSIC86\\BIN");
    EXPECT_EQ(ToolchainDirForPath("D:\\BCC\\BIN\\BCC32.EXE", shortPath, W), "D:\\BCC\\BIN");

    MemoryEnvironment env{{"PATH", "/usr/bin"}};
    EXPECT_TRUE(AddToolchainDirToPath(env, "/opt/gcc-13/bin/gcc", {}, P));
    EXPECT_EQ(env.Get("PATH"), "/opt/gcc-13/bin:/usr/bin");
    EXPECT_TRUE(AddToolchainDirToPath(env, "gcc", {}, P));
    EXPECT_EQ(env.Get("PATH"), "/opt/gcc-13/bin:/usr/bin");
}

TEST(BuildEnvironment, FindOnPathTakesTheFirstAbsoluteHit) {
    const std::set<std::string> files = {"/a/gdb", "/b/gdb", "rel/gdb", "C:\\MinGW\\bin\\gdb.exe"};
    const PathPredicate exec = [&](const std::string& p) { return files.count(p) > 0; };
    EXPECT_EQ(FindOnPath("gdb", "rel:/x:/a/:/b", exec, P), "/a/gdb");
    EXPECT_EQ(FindOnPath("gdb", ":/b:/a", exec, P), "/b/gdb");
    EXPECT_EQ(FindOnPath("gdb", "rel", exec, P), "");
    EXPECT_EQ(FindOnPath("gdb", "", exec, P), "");
    EXPECT_EQ(FindOnPath("", "/a", exec, P), "");
    EXPECT_EQ(FindOnPath("gdb", "C:\\WINDOWS;C:\\MinGW\\bin", exec, W), "C:\\MinGW\\bin\\gdb.exe");
    EXPECT_EQ(FindOnPath("gdb", "/a", PathPredicate{}, P), "");
}

} // namespace
} // namespace mireka
