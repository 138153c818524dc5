// Path splitting, wildcards, long paths and the program directories.
#include "core/base/Paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>

namespace mireka {
namespace {

namespace fs = std::filesystem;
constexpr auto W = PathStyle::Windows;
constexpr auto P = PathStyle::Posix;

// A fresh directory under the system's temporary folder, removed at the end.
class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("mireka-paths-" + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    [[nodiscard]] std::string str() const { return path_.string(); }
    [[nodiscard]] std::string operator/(std::string_view name) const {
        return (path_ / std::string(name)).string();
    }

private:
    fs::path path_;
};

void Touch(const std::string& path) {
    std::ofstream(path) << "x";
}

// Keeps the process-wide program directories of other tests out of this one.
class ProgramDirsGuard {
public:
    ProgramDirsGuard() : saved_(GetProgramDirectories()) {}
    ~ProgramDirsGuard() { SetProgramDirectories(saved_); }

private:
    ProgramDirectories saved_;
};

TEST(Paths, SplitsPosixPaths) {
    EXPECT_EQ(GetFileDir("/home/u/a.c", P), "/home/u/");
    EXPECT_EQ(GetFileNameExt("/home/u/a.c", P), "a.c");
    EXPECT_EQ(GetFileExt("/home/u/a.c", P), ".c");
    EXPECT_EQ(ReplaceFileExt("/home/u/a.c", "exe", P), "/home/u/a.exe");
    EXPECT_EQ(ReplaceFileExt("/home/u/a.c", ".exe", P), "/home/u/a.exe");
    EXPECT_EQ(ReplaceFileExt("/home/u/a.c", "", P), "/home/u/a");

    // No directory, no extension, a dot only in a directory, several dots, a trailing dot.
    EXPECT_EQ(GetFileDir("a.c", P), "");
    EXPECT_EQ(GetFileNameExt("a.c", P), "a.c");
    EXPECT_EQ(GetFileExt("/src/Makefile", P), "");
    EXPECT_EQ(GetFileExt("/x.d/Makefile", P), "");
    EXPECT_EQ(ReplaceFileExt("/x.d/Makefile", "bak", P), "/x.d/Makefile.bak");
    EXPECT_EQ(GetFileExt("a.tar.gz", P), ".gz");
    EXPECT_EQ(ReplaceFileExt("a.", "exe", P), "a.exe");
    EXPECT_EQ(GetFileNameExt("/dir/", P), "");
    EXPECT_EQ(GetFileDir("/", P), "/");

    // A backslash is an ordinary character on POSIX.
    EXPECT_EQ(GetFileDir("a\\b.c", P), "");
    EXPECT_EQ(GetFileNameExt("a\\b.c", P), "a\\b.c");
}

TEST(Paths, SplitsWindowsPathsAtRealSeparatorsOnly) {
    EXPECT_EQ(GetFileDir("C:\\dir/sub\\a.c", W), "C:\\dir/sub\\");
    EXPECT_EQ(GetFileNameExt("C:\\dir/sub\\a.c", W), "a.c");
    EXPECT_EQ(GetFileDir("C:a.c", W), "C:");
    EXPECT_EQ(GetFileNameExt("C:a.c", W), "a.c");
    EXPECT_EQ(ReplaceFileExt("C:a.c", "obj", W), "C:a.obj");
    EXPECT_EQ(GetFileDir("a.c", W), "");
    EXPECT_EQ(DriveLength("1:x", W), 0u);
    EXPECT_EQ(DriveLength("C:x", P), 0u);

    // 表 is 0x95 0x5C and ソ is 0x83 0x5C: their second bytes equal the backslash code.
    const std::string hyo = "\x95\x5c";
    const std::string so = "\x83\x5c";
    EXPECT_EQ(FindLastSeparator("C:\\" + hyo + "\\a.c", W), 5u);
    EXPECT_EQ(GetFileDir("C:\\" + hyo + ".c", W), "C:\\");
    EXPECT_EQ(GetFileNameExt("C:\\" + hyo + ".c", W), hyo + ".c");
    EXPECT_EQ(GetFileDir("C:\\" + so, W), "C:\\");
    EXPECT_EQ(GetFileExt("C:\\" + so, W), "");
    EXPECT_EQ(ReplaceFileExt("C:\\" + so + "\\" + hyo + ".c", "exe", W),
              "C:\\" + so + "\\" + hyo + ".exe");
    // A file name that is only 表 has no separator at all.
    EXPECT_EQ(FindLastSeparator(hyo, W), std::string::npos);
    EXPECT_EQ(GetFileNameExt(hyo, W), hyo);
}

TEST(Paths, CleanPathRemovesDotsDotDotsAndDoubledSeparators) {
    struct Case {
        const char* path;
        PathStyle style;
        const char* clean;
    };
    const Case cases[] = {
        {"/home/u/./a/../x.c", P, "/home/u/x.c"},
        {"//home///u//x.c", P, "/home/u/x.c"},
        {"/../x.c", P, "/x.c"},
        {"/a/b/", P, "/a/b"},
        {"/", P, "/"},
        {"./a/../x.c", P, "x.c"},
        {"../../x.c", P, "../../x.c"},
        {"a/..", P, "."},
        {"C:\\work\\.\\sub\\..\\x.c", W, "C:\\work\\x.c"},
        {"C:/work//x.c", W, "C:\\work\\x.c"},
        {"\\\\server\\share\\..\\..\\x.c", W, "\\\\server\\share\\x.c"},
        // 表 ends in the byte of a backslash, which must not split the name.
        {"C:\\\x95\x5c\\..\\x.c", W, "C:\\x.c"},
        {"C:\\\x95\x5c\\x.c", W, "C:\\\x95\x5c\\x.c"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CleanPath(c.path, c.style), c.clean) << c.path;
}

TEST(Paths, CharactersAreCountedWhole) {
    EXPECT_EQ(PathCharCount("/home/\xe6\x97\xa5\xe6\x9c\xac/a.c", P), 12u); // 日本 in UTF-8
    EXPECT_EQ(PathCharCount("/\x82\xa0\x82\xa2.c", P), 5u);                 // あい in Shift_JIS
    EXPECT_EQ(PathCharCount("C:\\\x95\x5c.c", W), 6u);
    EXPECT_EQ(PathCharCount("\xc3(", P), 2u) << "a broken byte counts alone";
}

TEST(Paths, RecognisesNetworkPaths) {
    EXPECT_TRUE(IsNetworkPath("\\\\server\\share\\a.c", W));
    EXPECT_TRUE(IsNetworkPath("//server/share/a.c", W));
    EXPECT_FALSE(IsNetworkPath("\\\\server", P));
    EXPECT_TRUE(IsNetworkPath("//server/a.c", P));
    EXPECT_FALSE(IsNetworkPath("C:\\a.c", W));
    EXPECT_FALSE(IsNetworkPath("\\", W));
}

TEST(Paths, MatchesWildcards) {
    EXPECT_TRUE(MatchWildcard("a.c", "*.c", P));
    EXPECT_FALSE(MatchWildcard("a.C", "*.c", P));
    EXPECT_FALSE(MatchWildcard("a.cpp", "*.c", P));
    EXPECT_TRUE(MatchWildcard("abcbc", "a*bc", P)); // needs to move the star on
    EXPECT_TRUE(MatchWildcard("axbyc", "a*b*c", P));
    EXPECT_FALSE(MatchWildcard("axbyd", "a*b*c", P));
    EXPECT_TRUE(MatchWildcard("", "*", P));
    EXPECT_FALSE(MatchWildcard("", "?", P));
    EXPECT_FALSE(MatchWildcard("README", "*.*", P));
    // "?" takes one whole character: あ is three bytes in UTF-8.
    EXPECT_TRUE(MatchWildcard("\xe3\x81\x82.c", "?.c", P));
    EXPECT_FALSE(MatchWildcard("\xe3\x81\x82.c", "???.c", P));

    EXPECT_TRUE(MatchWildcard("A.C", "*.c", W));
    EXPECT_TRUE(MatchWildcard("README", "*.*", W));
    EXPECT_TRUE(MatchWildcard("lcc", "LCC.*", W));
    EXPECT_TRUE(MatchWildcard("\x95\x5c.c", "?.c", W));
    EXPECT_FALSE(MatchWildcard("\x95\x5c.c", "??.c", W));
    // Case folding is for ASCII only: a double-byte character matches itself exactly.
    EXPECT_FALSE(MatchWildcard("\x82\x60", "\x82\x81", W));
}

TEST(Paths, FileExistsHonoursWildcardsInTheLastComponent) {
    TempDir dir;
    Touch(dir / "a.c");
    fs::create_directory(dir / "sub");
    EXPECT_TRUE(FileExists(dir / "a.c"));
    EXPECT_TRUE(FileExists(dir / "sub"));
    EXPECT_TRUE(FileExists(dir / "sub/"));
    EXPECT_FALSE(FileExists(dir / "b.c"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_TRUE(FileExists(dir / "*.c"));
    EXPECT_TRUE(FileExists(dir / "?.c"));
    EXPECT_TRUE(FileExists(dir / "s*"));
    EXPECT_FALSE(FileExists(dir / "*.h"));
    EXPECT_FALSE(FileExists(dir / "??.c"));
    EXPECT_FALSE(FileExists(dir / "missing/*.c"));
    // An empty folder has nothing to match, not even "." and "..".
    EXPECT_FALSE(FileExists(dir / "sub/*"));
    // A link to nothing is not an existing file.
    fs::create_symlink(dir / "gone", dir / "dangling");
    EXPECT_FALSE(FileExists(dir / "dangling"));
    EXPECT_FALSE(FileExists(dir / "dangl*"));
}

// A Windows volume with short names, as a lookup table: path → long name of its last part.
LongNameLookup Volume(std::map<std::string, std::string> names,
                      std::vector<std::string>* asked = nullptr) {
    return [names = std::move(names), asked](std::string_view p) -> std::optional<std::string> {
        if (asked) asked->emplace_back(p);
        const auto it = names.find(std::string(p));
        if (it == names.end()) return std::nullopt;
        return it->second;
    };
}

TEST(Paths, LongPathReplacesEachComponentButTheFirst) {
    const auto volume = Volume({{"C:\\PROGRA~1\\SAMPLE~1.C", "sample1.c"},
                                {"C:\\PROGRA~1", "Program Files"},
                                {"C:", "C:"},
                                {"SAMPLE~1.C", "sample1.c"},
                                {"DOCS~1\\A.C", "a.c"},
                                {"DOCS~1", "Documents"}});
    std::string out = "unchanged";
    EXPECT_TRUE(GetLongPath("C:\\PROGRA~1\\SAMPLE~1.C", &out, 260, W, volume));
    EXPECT_EQ(out, "C:\\Program Files\\sample1.c");
    // Mixed separators come out as backslashes.
    EXPECT_TRUE(GetLongPath(
        "C:\\PROGRA~1/SAMPLE~1.C", &out, 260, W,
        Volume({{"C:\\PROGRA~1/SAMPLE~1.C", "sample1.c"}, {"C:\\PROGRA~1", "Program Files"}})));
    EXPECT_EQ(out, "C:\\Program Files\\sample1.c");
    // The first component of a relative path stays as it is.
    EXPECT_TRUE(GetLongPath("DOCS~1\\A.C", &out, 260, W, volume));
    EXPECT_EQ(out, "DOCS~1\\a.c");
    // A bare name is left unchanged, even though it has a long name.
    EXPECT_TRUE(GetLongPath("SAMPLE~1.C", &out, 260, W, volume));
    EXPECT_EQ(out, "SAMPLE~1.C");
    // Nothing found: failure, and the output is left alone.
    out = "unchanged";
    EXPECT_FALSE(GetLongPath("C:\\PROGRA~1\\MISSING.C", &out, 260, W, volume));
    EXPECT_EQ(out, "unchanged");
    // A directory on the way that cannot be found fails too rather than guessing a name.
    EXPECT_FALSE(GetLongPath("D:\\X~1\\A.C", &out, 260, W, Volume({{"D:\\X~1\\A.C", "a.c"}})));
    EXPECT_EQ(out, "unchanged");
}

TEST(Paths, LongPathSplitsOnlyAtRealBackslashes) {
    const std::string hyo = "\x95\x5c"; // 表
    std::vector<std::string> asked;
    const auto volume = Volume(
        {{"C:\\" + hyo + "\\SAMPLE~1.C", "sample1.c"}, {"C:\\" + hyo, hyo + "long"}}, &asked);
    std::string out;
    ASSERT_TRUE(GetLongPath("C:\\" + hyo + "\\SAMPLE~1.C", &out, 260, W, volume));
    EXPECT_EQ(out, "C:\\" + hyo + "long\\sample1.c");
    for (const std::string& p : asked)
        EXPECT_NE(p, "C:\\\x95");
}

TEST(Paths, LongPathSizeIsALimitNotACut) {
    const auto volume = Volume({{"C:\\A~1\\B.C", "b.c"}, {"C:\\A~1", "Alpha"}});
    const std::string expected = "C:\\Alpha\\b.c"; // 12 bytes
    std::string out = "unchanged";
    EXPECT_FALSE(GetLongPath("C:\\A~1\\B.C", &out, expected.size(), W, volume));
    EXPECT_EQ(out, "unchanged");
    EXPECT_TRUE(GetLongPath("C:\\A~1\\B.C", &out, expected.size() + 1, W, volume));
    EXPECT_EQ(out, expected);
}

TEST(Paths, LongPathOnTheRealFileSystem) {
    TempDir dir;
    Touch(dir / "a.c");
    std::string out = "unchanged";
    ASSERT_TRUE(GetLongPath(dir / "a.c", &out));
    EXPECT_EQ(out, dir / "a.c");
    EXPECT_FALSE(GetLongPath(dir / "b.c", &out));
    EXPECT_FALSE(GetLongPath(dir / "*.c", &out)); // no wildcard lookup here
    EXPECT_EQ(out, dir / "a.c");
    // Doubled and trailing separators survive the round.
    const std::string doubled = dir.str() + "//a.c";
    ASSERT_TRUE(GetLongPath(doubled, &out));
    EXPECT_EQ(out, doubled);
    ASSERT_TRUE(GetLongPath(dir.str() + "/", &out));
    EXPECT_EQ(out, dir.str() + "/");

    // Far beyond 260 bytes: nothing is cut, and the caller's limit makes it fail.
    std::string deep = dir.str();
    for (int i = 0; i < 8; ++i)
        deep += "/" + std::string(60, static_cast<char>('a' + i));
    fs::create_directories(deep);
    const std::string file = deep + "/long-name-file.c";
    Touch(file);
    ASSERT_GT(file.size(), 500u);
    EXPECT_TRUE(FileExists(file));
    ASSERT_TRUE(GetLongPath(file, &out));
    EXPECT_EQ(out, file);
    EXPECT_FALSE(GetLongPath(file, &out, 260));
    EXPECT_EQ(out, file);
    EXPECT_EQ(GetFileDir(file), deep + "/");
    EXPECT_EQ(ReplaceFileExt(file, "exe"), deep + "/long-name-file.exe");
}

TEST(Paths, ModulePathsUseTheWritableDirectory) {
    ProgramDirsGuard guard;
    SetProgramDirectories({});
    EXPECT_EQ(GetModuleDir(), "");
    EXPECT_EQ(MakeModulePath("do_exe.sh"), "do_exe.sh");

    TempDir dir;
    SetProgramDirectories({dir / "bin", dir.str() + "/state/", {}, {}});
    EXPECT_EQ(GetModuleDir(), dir.str() + "/state/");
    EXPECT_EQ(MakeModulePath("do_exe.sh"), dir.str() + "/state/do_exe.sh");
    EXPECT_EQ(GetProgramDirectories().executable, dir.str() + "/bin/");
}

TEST(Paths, DataFilesAreFoundInOrder) {
    ProgramDirsGuard guard;
    TempDir dir;
    fs::create_directories(dir / "bin");
    fs::create_directories(dir / "share/mireka");
    fs::create_directories(dir / "user");
    SetProgramDirectories(
        {dir / "bin", dir / "bin", {dir / "bin", dir / "share/mireka"}, dir / "user"});

    EXPECT_EQ(FindDataFile("LSIC86.TXT"), dir.str() + "/bin/LSIC86.TXT"); // none: named anyway
    Touch(dir / "share/mireka/LSIC86.TXT");
    EXPECT_EQ(FindDataFile("LSIC86.TXT"), dir.str() + "/share/mireka/LSIC86.TXT");
    Touch(dir / "bin/LSIC86.TXT");
    EXPECT_EQ(FindDataFile("LSIC86.TXT"), dir.str() + "/bin/LSIC86.TXT");
    // Names are looked up as they are, never as patterns.
    EXPECT_EQ(FindDataFile("*.TXT"), dir.str() + "/bin/*.TXT");

    // A file the user supplies comes before the shipped one, where it is asked for.
    EXPECT_EQ(FindUserDataFile("LSIC86.TXT"), dir.str() + "/bin/LSIC86.TXT");
    Touch(dir / "user/LSIC86.TXT");
    EXPECT_EQ(FindUserDataFile("LSIC86.TXT"), dir.str() + "/user/LSIC86.TXT");
    EXPECT_EQ(FindDataFile("LSIC86.TXT"), dir.str() + "/bin/LSIC86.TXT");
}

} // namespace
} // namespace mireka
