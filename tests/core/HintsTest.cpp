// Hint file lines and the lookup of a word's prototype.
#include "core/app/Hints.h"

#include "FakeFiles.h"
#include "core/base/Dbcs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace mireka {
namespace {

namespace fs = std::filesystem;

TEST(Hints, LinesAreSplitAsATextModeReadWould) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitTextLines("a#1\r\nb#2\r\n"), (V{"a#1", "b#2"}));
    EXPECT_EQ(SplitTextLines("a#1\nb#2"), (V{"a#1", "b#2"}));   // LF, last line unended
    EXPECT_EQ(SplitTextLines("a\r\n\r\nb"), (V{"a", "", "b"})); // an empty line stays
    EXPECT_EQ(SplitTextLines("a\rb\r\n"), (V{"a\rb"}));         // a lone CR is data
    EXPECT_EQ(SplitTextLines("a\r\r\n"), (V{"a\r"}));
    EXPECT_EQ(SplitTextLines(""), V{});
    EXPECT_EQ(SplitTextLines("\n"), (V{""}));
    // Double-byte characters, one with a backslash trail byte, pass unchanged.
    EXPECT_EQ(SplitTextLines("\x95\x5c#\x83\x5c\r\n"), (V{"\x95\x5c#\x83\x5c"}));
}

TEST(Hints, LookupTakesTheTextAfterTheFirstHashOfTheFirstMatchingKey) {
    const std::vector<std::string> lines = {
        "this line has no key",
        "#include lines have an empty key",
        "printf#int printf(const char *format, ...);",
        "puts#int puts(const char *s); #1",
        "printf#second printf line is never reached",
        "\x95\x5c\x8e\xa6#\x95\x5c\x8e\xa6\x82\xb7\x82\xe9", // 表示#表示する
        "",
        "strlen#",
    };
    EXPECT_EQ(LookupHint(lines, "printf"), "int printf(const char *format, ...);");
    EXPECT_EQ(LookupHint(lines, "puts"), "int puts(const char *s); #1");
    EXPECT_EQ(LookupHint(lines, "Printf"), ""); // case-sensitive
    EXPECT_EQ(LookupHint(lines, "print"), "");  // whole key only
    EXPECT_EQ(LookupHint(lines, "printf "), "");
    EXPECT_EQ(LookupHint(lines, "scanf"), "");
    EXPECT_EQ(LookupHint(lines, "\x95\x5c\x8e\xa6"), "\x95\x5c\x8e\xa6\x82\xb7\x82\xe9");
    EXPECT_EQ(LookupHint(lines, "strlen"), "");
    // No word, no hint: neither the keyless line nor the "#include" line answers it.
    EXPECT_EQ(LookupHint(lines, ""), "");
    EXPECT_EQ(LookupHint({}, "printf"), "");
}

TEST(Hints, FileIsReadFromItsPathOrReportedMissing) {
    test::FakeFiles disk;
    disk.files["/data/LSIC86.TXT"] = "abs#int abs(int j);\r\nputs#int puts(const char *s);\r\n";
    disk.files["/data/empty.TXT"] = "";
    auto lines = ReadHintFile("/data/LSIC86.TXT", disk.Reader());
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->size(), 2u);
    EXPECT_EQ(LookupHint(*lines, "puts"), "int puts(const char *s);");
    EXPECT_FALSE(ReadHintFile("/data/missing.TXT", disk.Reader()));
    auto none = ReadHintFile("/data/empty.TXT", disk.Reader());
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());
}

// The shipped file: every line a short, well-formed key#prototype in code page 932, CR LF ended.
TEST(Hints, ShippedHintFileIsWellFormed) {
    const fs::path file = fs::path(MIREKA_FIXTURES).parent_path().parent_path() / "src" /
                          "resources" / "data" / std::string(kHintFileName);
    std::ifstream in(file, std::ios::binary);
    ASSERT_TRUE(in) << file;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty());
    ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
        }
    }

    const std::vector<std::string> lines = SplitTextLines(bytes);
    EXPECT_GE(lines.size(), 150u);
    EXPECT_LE(lines.size(), 260u);
    std::set<std::string> keys;
    for (const std::string& line : lines) {
        SCOPED_TRACE(line);
        EXPECT_LT(line.size(), 100u);
        EXPECT_EQ(line.find('\r'), std::string::npos);
        const std::size_t hash = line.find('#');
        ASSERT_NE(hash, std::string::npos);
        const std::string key = line.substr(0, hash);
        ASSERT_FALSE(key.empty());
        for (char c : key)
            EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '_');
        EXPECT_TRUE(keys.insert(key).second) << "duplicate key " << key;
        // The hint names its function and every double-byte character is complete.
        EXPECT_NE(line.find(key + "(", hash), std::string::npos);
        for (std::size_t i = 0; i < line.size(); i += dbcs::CharLength(line, i)) {
            unsigned char b = static_cast<unsigned char>(line[i]);
            EXPECT_TRUE(b >= 0x20 && b != 0x7F &&
                        (b < 0x80 || dbcs::CharLength(line, i) == 2 || dbcs::IsKana(b)))
                << "byte " << i;
        }
    }
    EXPECT_EQ(LookupHint(lines, "printf").substr(0, 36), "int printf(const char *format, ...);");
    for (const char* name : {"fopen", "malloc", "strcpy", "isdigit", "sqrt", "time", "va_start",
                             "assert", "signal", "setjmp", "snprintf", "strtol", "exit"})
        EXPECT_FALSE(LookupHint(lines, name).empty()) << name;
}

} // namespace
} // namespace mireka
